#pragma once

#include <array>

#include "Damage.h"
#include "Raster.h"
#include "World.h"

struct Presenter;

/// Paints one whole frame of the playfield from the world and the sprite sheet:
/// white, the launcher, the marker, then every flying shot with its velocity
/// line (five times the velocity) when those are on; then presents it.
void DrawFrame(const World& world, Surface& playfield, const Surface& sheet, Presenter& presenter);

/// The same picture without presenting it.
void PaintFrame(const World& world, Surface& playfield, const Surface& sheet);

/// What the last paint drew on a playfield that nothing else draws on, so the
/// next one clears only that instead of the whole playfield.
struct PaintedArea {
    static constexpr int MaxBoxes = 2 + 2 * ShotSlots; ///< the launcher, the marker, each shot and its line
    std::array<PixelRect, MaxBoxes> Boxes{};           ///< clipped to the playfield
    int Count = 0;
    bool Known = false;   ///< false: the playfield holds anything, and is cleared whole
    ChangeBounds Changed; ///< where the last paint can have changed the playfield: what it cleared and drew
};

/// `PaintFrame`'s picture, pixel for pixel, painted over the one `painted`
/// describes: only its boxes are cleared, and `painted` then describes this one.
void RepaintFrame(const World& world, Surface& playfield, const Surface& sheet, PaintedArea& painted);
