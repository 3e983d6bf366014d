#pragma once

/// The whole program: checks for a display, opens the window, runs until it closes.
int RunHoming(int argc, char** argv);
