#pragma once
// The runner's study outputs: one row per shot, and the six methods side by
// side on one scenario.

#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "Scenario.h"
#include "Script.h"
#include "ShotHistory.h"

/// Writes one CSV row per shot ever launched.
void WriteSummary(const ShotHistory& history, std::FILE* out);

/// The figures under each method's picture.
struct MethodFigures {
    int Launched = 0;
    int Caught = 0;
    int Expired = 0;
    std::optional<double> MedianFramesToCatch; ///< none when nothing was caught
};

MethodFigures Figures(const ShotHistory& history);

/// The median frames to catch as written under a picture and in the table
/// (17.5 stays 17.5), or "-" when nothing was caught.
std::string MedianText(const MethodFigures& figures);

/// Runs the script's inputs under one steering mode, in a fresh scenario seeded
/// with `seed`, ignoring its mode, png and trail lines; every shot's history is kept.
std::string RunMethod(const Script& script, std::uint64_t seed, SteeringMode mode, Scenario& run);

/// Runs the script's inputs once under each steering mode, from the same world
/// and the same random values (`mode`, `png` and `trail` lines are ignored),
/// writes the 3 x 2 picture to `picturePath` and the figures as a table to
/// `out`. Returns what went wrong, or nothing.
std::string CompareMethods(const Script& script, std::uint64_t seed, const std::string& picturePath, std::FILE* out);
