#pragma once
// A method's launch draws in words, as the runner's help and the page's shot
// view both say them.

#include <string>

#include "Methods.h"

/// A launch draw in three parts: "speed = 2 + 5 r", "[2, 7)" and
/// ", pixels a frame", from a random r in [0, 1).
struct LaunchDrawWords {
    std::string Formula;
    std::string Range;
    std::string Unit;
};
LaunchDrawWords LaunchDrawText(const MethodDraw& draw);

/// Every draw of `method`, each as "speed = 2 + 5 r (in [2, 7), pixels a
/// frame)", joined by "; ".
std::string LaunchText(const Method& method);
