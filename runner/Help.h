#pragma once
// homing-sim's usage: its options and the script language, as --help prints it.

#include <string>

/// The usage text, as `--help` prints it, its lists of methods and draws
/// made from the method table.
const std::string& RunnerHelp();

struct Shot;

// Parts of it made from the method table, which the man page must say alike.
/// "speed (modes 0 to 3), heading (modes 2 and 3), ...": the draws and who makes them.
std::string HoldList();
/// What a trace's column for `field` holds in each mode.
std::string TraceColumnText(float Shot::*field);
/// "modes 4 and 5": the methods that draw a speed limit, which --limit switches on.
std::string LimitModes();
/// "0 per-axis chase, 1 direct chase, ...".
std::string ModeList();
