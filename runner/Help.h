#pragma once
// homing-sim's usage: its options and the script language, as --help prints it.

/// The usage text, as `--help` prints it.
extern const char* const RunnerHelp;
