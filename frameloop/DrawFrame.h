#pragma once

#include "Raster.h"

struct World;
struct Presenter;

/// Paints one whole frame of the playfield from the world and the sprite sheet:
/// white, the launcher, the marker, then every flying shot with its velocity
/// line (five times the velocity) when those are on; then presents it.
void DrawFrame(const World& world, Surface& playfield, const Surface& sheet, Presenter& presenter);

/// The same picture without presenting it.
void PaintFrame(const World& world, Surface& playfield, const Surface& sheet);
