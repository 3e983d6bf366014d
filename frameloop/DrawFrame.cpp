#include "DrawFrame.h"

#include "Numbers.h"
#include "Seams.h"
#include "SpriteSheet.h"
#include "World.h"

namespace {

/// A masked sprite: the mask blacks out its opaque area, the image is XORed in.
void DrawSprite(Surface& playfield, const Surface& sheet, const SpriteRegion& sprite, int left, int top)
{
    BitBlt(playfield, left, top, sprite.Size, sprite.Size, &sheet, sprite.MaskX, sprite.MaskY, SRCAND);
    BitBlt(playfield, left, top, sprite.Size, sprite.Size, &sheet, sprite.ImageX, sprite.ImageY, SRCINVERT);
}

/// A sprite centred on (x, y), its corner rounded ties to even.
void DrawSpriteAt(Surface& playfield, const Surface& sheet, const SpriteRegion& sprite, float x, float y)
{
    const double half = sprite.Size / 2;
    DrawSprite(playfield, sheet, sprite, RoundToInt32(double(x) - half), RoundToInt32(double(y) - half));
}

} // namespace

void PaintFrame(const World& world, Surface& playfield, const Surface& sheet)
{
    BitBlt(playfield, 0, 0, PlayfieldSize, PlayfieldSize, nullptr, 0, 0, WHITENESS);
    DrawSpriteAt(playfield, sheet, LauncherSprite, LaunchX, LaunchY);
    DrawSpriteAt(playfield, sheet, MarkerSprite, world.MeX, world.MeY);
    for (const Shot& shot : world.Shots) {
        if (!shot.Alive)
            continue;
        DrawSpriteAt(playfield, sheet, ShotSprite, shot.X, shot.Y);
        if (world.ShowVectors) {
            MoveToEx(playfield, RoundToInt32(shot.X), RoundToInt32(shot.Y));
            LineTo(playfield, RoundToInt32(double(shot.X) + double(shot.VX) * 5),
                   RoundToInt32(double(shot.Y) + double(shot.VY) * 5));
        }
    }
}

void DrawFrame(const World& world, Surface& playfield, const Surface& sheet, Presenter& presenter)
{
    PaintFrame(world, playfield, sheet);
    presenter.Present(playfield);
}
