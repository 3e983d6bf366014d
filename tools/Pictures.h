#pragma once
// Picture output of the runner, written as PNG through Qt's image classes.

#include <array>
#include <string>

#include "Raster.h"

class QImage;
struct World;
struct ShotHistory;

/// Saves a surface as a PNG file. Returns what went wrong, or nothing.
std::string SavePng(const Surface& surface, const std::string& path);

/// The trail picture: the playfield with the launcher and the marker, and
/// every recorded shot's path in a colour of its own, a dot where it was caught
/// and a cross where it expired; `SaveTrail` saves it.
QImage TrailImage(const World& world, const Surface& sheet, const ShotHistory& history);
std::string SaveTrail(const World& world, const Surface& sheet, const ShotHistory& history, const std::string& path);

/// One method's panel of the comparison picture.
struct ComparePanel {
    const char* Caption = ""; ///< UTF-8, as the window's option button shows it
    std::string Figures;      ///< the line of figures under the trail
    const ::World* World = nullptr;
    const Surface* Sheet = nullptr;
    const ShotHistory* History = nullptr;
};

/// Saves the six trail pictures in a 3 x 2 grid, each headed by its caption
/// in the window's Japanese face and with its figures underneath.
std::string SaveComparison(const std::array<ComparePanel, 6>& panels, const std::string& path);
