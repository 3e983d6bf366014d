#pragma once
// What changed on a surface since it was last presented, found by comparing
// it with a copy of what was presented, tile by tile: exact by construction
// (a changed pixel always lies in a damaged tile), one pass over the pixels.

#include <array>

#include "Raster.h"

/// A rectangle of pixels.
struct PixelRect {
    int Left = 0, Top = 0;     ///< pixels
    int Width = 0, Height = 0; ///< pixels
};

/// Tiles are compared whole: a square this many pixels on a side (narrower at
/// the right and bottom edges).
inline constexpr int DamageTile = 16;

/// The changed area: runs of changed tiles in each row of tiles, as rectangles.
struct Damage {
    static constexpr int MaxRects = 256;
    std::array<PixelRect, MaxRects> Rects{};
    int Count = 0; ///< 0 when nothing changed
};

/// Where a surface can differ from what was last presented of it, when its
/// painter knows: only tiles these rectangles touch are compared. Rectangles
/// may reach past the surface; `Anywhere` means every tile.
struct ChangeBounds {
    static constexpr int MaxRects = 96;
    std::array<PixelRect, MaxRects> Rects{};
    int Count = 0;
    bool Anywhere = true;
};
/// Bounds that leave every tile to be compared.
inline const ChangeBounds AnyChange{};

/// Compares `now` with `shown`, the copy of what was last presented, within
/// `bounds`, records each changed tile in `damage` and brings `shown` up to
/// date there. A `shown` of another size (nothing presented yet) makes the
/// whole surface damaged.
void TakeDamage(const Surface& now, Surface& shown, Damage& damage, const ChangeBounds& bounds = AnyChange);

/// What a screen shows of a surface, so that a presenter sends it only what
/// changed: the window's and the page's presenters both keep one.
struct ScreenCopy {
    Surface Shown;  ///< what the screen shows
    Damage Changed; ///< what the last present sent

    /// Nothing shown yet, made at full size now so that no frame allocates:
    /// drawn pixels always have their top byte set, so the first present sends every tile.
    ScreenCopy(int width, int height) : Shown(MakeSurface(width, height, 0)) {}

    /// Takes what changed on `now`, within `bounds`, since the last present, and returns it.
    const Damage& TakeChanges(const Surface& now, const ChangeBounds& bounds)
    {
        TakeDamage(now, Shown, Changed, bounds);
        return Changed;
    }
};
