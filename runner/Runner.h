#pragma once

/// The whole of `homing-sim`: arguments, script, trace. Returns the exit status.
int RunHomingSim(int argc, char** argv);

/// Exit status for a bad script, argument or file.
inline constexpr int BadInput = 2;
