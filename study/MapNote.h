#pragma once
// A map's settings in words, for the title of its picture.

#include <string>

#include "MapSettings.h"

/// "8 shots a place, every 4 pixels; each shot's own random draws, seed 1; ...".
std::string MapNote(const MapSettings& map);
