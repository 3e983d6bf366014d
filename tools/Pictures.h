#pragma once
// Picture output of the runner, written as PNG through Qt's image classes.

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
