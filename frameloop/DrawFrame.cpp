#include "DrawFrame.h"

#include <algorithm>
#include <cstdint>

#include "Numbers.h"
#include "Seams.h"
#include "SpriteSheet.h"

static_assert(2 * PaintedArea::MaxBoxes <= ChangeBounds::MaxRects, "a repaint's bounds: the boxes cleared and drawn");

namespace {

/// Adds the box [left, right) x [top, bottom), clipped to the playfield, to
/// what a repaint drew; nothing when only the whole picture is painted.
void Record(PaintedArea* painted, const Surface& playfield, std::int64_t left, std::int64_t top, std::int64_t right,
            std::int64_t bottom)
{
    if (!painted)
        return;
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, playfield.Width);
    bottom = std::min<std::int64_t>(bottom, playfield.Height);
    if (left < right && top < bottom)
        painted->Boxes[std::size_t(painted->Count++)] = {int(left), int(top), int(right - left), int(bottom - top)};
}

/// A masked sprite: the mask blacks out its opaque area, the image is XORed in.
void DrawSprite(Surface& playfield, const Surface& sheet, const SpriteRegion& sprite, int left, int top)
{
    BitBlt(playfield, left, top, sprite.Size, sprite.Size, &sheet, sprite.MaskX, sprite.MaskY, SRCAND);
    BitBlt(playfield, left, top, sprite.Size, sprite.Size, &sheet, sprite.ImageX, sprite.ImageY, SRCINVERT);
}

/// A sprite centred on (x, y), its corner rounded ties to even.
void DrawSpriteAt(Surface& playfield, const Surface& sheet, const SpriteRegion& sprite, float x, float y,
                  PaintedArea* painted)
{
    const double half = sprite.Size / 2;
    const int left = RoundToInt32(double(x) - half), top = RoundToInt32(double(y) - half);
    DrawSprite(playfield, sheet, sprite, left, top);
    Record(painted, playfield, left, top, std::int64_t{left} + sprite.Size, std::int64_t{top} + sprite.Size);
}

/// Everything on the white: the launcher, the marker, every flying shot and its line.
void DrawPieces(const World& world, Surface& playfield, const Surface& sheet, PaintedArea* painted)
{
    DrawSpriteAt(playfield, sheet, LauncherSprite, LaunchX, LaunchY, painted);
    DrawSpriteAt(playfield, sheet, MarkerSprite, world.MeX, world.MeY, painted);
    for (const Shot& shot : world.Shots) {
        if (!shot.Alive)
            continue;
        DrawSpriteAt(playfield, sheet, ShotSprite, shot.X, shot.Y, painted);
        if (world.ShowVectors) {
            const int fromX = RoundToInt32(shot.X), fromY = RoundToInt32(shot.Y);
            const int toX = RoundToInt32(double(shot.X) + double(shot.VX) * 5);
            const int toY = RoundToInt32(double(shot.Y) + double(shot.VY) * 5);
            MoveToEx(playfield, fromX, fromY);
            LineTo(playfield, toX, toY);
            // The line's pixels lie between its ends.
            Record(painted, playfield, std::min(fromX, toX), std::min(fromY, toY),
                   std::int64_t{std::max(fromX, toX)} + 1, std::int64_t{std::max(fromY, toY)} + 1);
        }
    }
}

} // namespace

void PaintFrame(const World& world, Surface& playfield, const Surface& sheet)
{
    BitBlt(playfield, 0, 0, PlayfieldSize, PlayfieldSize, nullptr, 0, 0, WHITENESS);
    DrawPieces(world, playfield, sheet, nullptr);
}

void RepaintFrame(const World& world, Surface& playfield, const Surface& sheet, PaintedArea& painted)
{
    // Outside the last paint's boxes the playfield is white already.
    ChangeBounds& changed = painted.Changed;
    changed.Anywhere = !painted.Known;
    changed.Count = 0;
    if (!painted.Known)
        BitBlt(playfield, 0, 0, PlayfieldSize, PlayfieldSize, nullptr, 0, 0, WHITENESS);
    else
        for (int n = 0; n < painted.Count; ++n) {
            const PixelRect& box = painted.Boxes[std::size_t(n)];
            BitBlt(playfield, box.Left, box.Top, box.Width, box.Height, nullptr, 0, 0, WHITENESS);
            changed.Rects[std::size_t(changed.Count++)] = box;
        }
    painted.Count = 0;
    painted.Known = true;
    DrawPieces(world, playfield, sheet, &painted);
    for (int n = 0; n < painted.Count; ++n)
        changed.Rects[std::size_t(changed.Count++)] = painted.Boxes[std::size_t(n)];
}

void DrawFrame(const World& world, Surface& playfield, const Surface& sheet, Presenter& presenter)
{
    PaintFrame(world, playfield, sheet);
    presenter.Present(playfield, AnyChange);
}
