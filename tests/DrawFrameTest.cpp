// The sprite sheet's invariants and whole frames drawn from it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "Damage.h"
#include "DrawFrame.h"
#include "Icon.h"
#include "Input.h"
#include "Numbers.h"
#include "Random.h"
#include "RunFrame.h"
#include "SpriteSheet.h"
#include "TestSupport.h"

namespace {

constexpr Pixel Yellow = SpritePalette[11];

struct CountPresents final : Presenter {
    int Presents = 0;
    void Present(const Surface&, const ChangeBounds&) override { ++Presents; }
};

const Surface& Sheet()
{
    static const Surface sheet = LoadSpriteSheet();
    return sheet;
}

bool Opaque(const SpriteRegion& sprite, int x, int y)
{
    return PixelAt(Sheet(), sprite.MaskX + x, sprite.MaskY + y) == Black;
}

Surface Draw(const World& world)
{
    Surface playfield = MakeSurface(PlayfieldSize, PlayfieldSize, Black);
    CountPresents presenter;
    DrawFrame(world, playfield, Sheet(), presenter);
    EXPECT_EQ(presenter.Presents, 1);
    return playfield;
}

/// What a sprite placed with its corner at (left, top) puts at playfield (x, y)
/// over a white background, or white where it is transparent or absent.
Pixel SpritePixel(const SpriteRegion& sprite, int left, int top, int x, int y)
{
    const int sx = x - left, sy = y - top;
    if (sx < 0 || sy < 0 || sx >= sprite.Size || sy >= sprite.Size || !Opaque(sprite, sx, sy))
        return White;
    return PixelAt(Sheet(), sprite.ImageX + sx, sprite.ImageY + sy);
}

/// Every pixel of the frame equals the layering of the given sprites over white.
void ExpectLayers(const Surface& frame, std::initializer_list<std::tuple<SpriteRegion, int, int>> layers)
{
    for (int y = 0; y < PlayfieldSize; ++y)
        for (int x = 0; x < PlayfieldSize; ++x) {
            Pixel expected = White;
            for (const auto& [sprite, left, top] : layers) {
                const Pixel drawn = SpritePixel(sprite, left, top, x, y);
                const int sx = x - left, sy = y - top;
                if (sx >= 0 && sy >= 0 && sx < sprite.Size && sy < sprite.Size && Opaque(sprite, sx, sy))
                    expected = drawn;
            }
            ASSERT_EQ(PixelAt(frame, x, y), expected) << "at (" << x << ", " << y << ")";
        }
}

int CountOpaque(const SpriteRegion& sprite)
{
    int count = 0;
    for (int y = 0; y < sprite.Size; ++y)
        for (int x = 0; x < sprite.Size; ++x)
            count += Opaque(sprite, x, y);
    return count;
}

} // namespace

TEST(SpriteSheet, UsesOnlyThePaletteAndIsWhiteWhereUnused)
{
    const Surface& sheet = Sheet();
    ASSERT_EQ(sheet.Width, 80);
    ASSERT_EQ(sheet.Height, 64);
    for (const Pixel pixel : sheet.Pixels)
        ASSERT_NE(std::find(SpritePalette.begin(), SpritePalette.end(), pixel), SpritePalette.end());
    for (int y = 32; y < 64; ++y)
        for (int x = 64; x < 80; ++x)
            ASSERT_EQ(PixelAt(sheet, x, y), White) << x << "," << y;
}

TEST(SpriteSheet, MasksAreBlackOrWhiteAndImagesBlackWhereTransparent)
{
    for (const SpriteRegion& sprite : {MarkerSprite, LauncherSprite, ShotSprite})
        for (int y = 0; y < sprite.Size; ++y)
            for (int x = 0; x < sprite.Size; ++x) {
                const Pixel mask = PixelAt(Sheet(), sprite.MaskX + x, sprite.MaskY + y);
                ASSERT_TRUE(mask == Black || mask == White);
                if (mask == White) {
                    ASSERT_EQ(PixelAt(Sheet(), sprite.ImageX + x, sprite.ImageY + y), Black) << x << "," << y;
                }
            }
}

TEST(SpriteSheet, ArtworkIsWhatItSays)
{
    // Marker and shot masks are discs filling their squares: about pi r^2.
    EXPECT_NEAR(CountOpaque(MarkerSprite), M_PI * 16 * 16, 40);
    EXPECT_NEAR(CountOpaque(ShotSprite), M_PI * 8 * 8, 16);
    // The sun is pointed: eight points reach the rim, and round its middle
    // ring (radius 12) it is opaque on the points and transparent between them.
    int rimPoints = 0, ringGaps = 0;
    for (int step = 0; step < 360; ++step) {
        const double a = step * M_PI / 180;
        rimPoints += Opaque(LauncherSprite, int(15.5 + 15 * std::cos(a)), int(15.5 + 15 * std::sin(a)));
        ringGaps += !Opaque(LauncherSprite, int(15.5 + 12 * std::cos(a)), int(15.5 + 12 * std::sin(a)));
    }
    EXPECT_GT(rimPoints, 8);
    EXPECT_GT(ringGaps, 90);
    EXPECT_LT(ringGaps, 270);
    EXPECT_FALSE(Opaque(LauncherSprite, 0, 0));
    // Mostly yellow: the face, the sun and the trefoil.
    auto yellowShare = [](const SpriteRegion& sprite) {
        int yellow = 0;
        for (int y = 0; y < sprite.Size; ++y)
            for (int x = 0; x < sprite.Size; ++x)
                yellow += PixelAt(Sheet(), sprite.ImageX + x, sprite.ImageY + y) == Yellow;
        return double(yellow) / CountOpaque(sprite);
    };
    EXPECT_GT(yellowShare(MarkerSprite), 0.6);
    EXPECT_GT(yellowShare(LauncherSprite), 0.4);
    EXPECT_GT(yellowShare(ShotSprite), 0.25);
    EXPECT_LT(yellowShare(ShotSprite), 0.75); // a trefoil on a black disc
    EXPECT_EQ(PixelAt(Sheet(), LauncherSprite.ImageX + 16 + 5, LauncherSprite.ImageY + 16), White); // the ring
}

TEST(DrawFrame, EmptyWorldShowsTheLauncherAndAQuarterMarker)
{
    const World world; // marker never moved: (0, 0)
    ExpectLayers(Draw(world), {{LauncherSprite, 134, 134}, {MarkerSprite, -16, -16}});
}

TEST(DrawFrame, PlacesSpritesRoundingTiesToEven)
{
    World world = WorldWithMarker(10.5f, 20.5f);
    world.Shots[0] = FlyingShot(100.5f, 201.5f); // corner 92.5 -> 92, 193.5 -> 194
    ExpectLayers(Draw(world), {{LauncherSprite, 134, 134}, {MarkerSprite, -6, 4}, {ShotSprite, 92, 194}});
}

TEST(DrawFrame, LayersLauncherUnderMarkerUnderShotsHigherSlotsOnTop)
{
    World world = WorldWithMarker(150, 150);
    world.Shots[2] = FlyingShot(152, 148);
    world.Shots[9] = FlyingShot(158, 150);
    world.Shots[0] = FlyingShot(300, 300);
    ExpectLayers(Draw(world), {{LauncherSprite, 134, 134},
                               {MarkerSprite, 134, 134},
                               {ShotSprite, 292, 292},
                               {ShotSprite, 144, 140},
                               {ShotSprite, 150, 142}});
}

TEST(DrawFrame, VelocityLineRunsFiveTimesTheVelocityFromTheCentre)
{
    World world = WorldWithMarker(280, 280);
    LoadWorld(world);
    world.Shots[0] = FlyingShot(100, 100, 2, -3);
    const Surface frame = Draw(world);
    // Outside the shot's sprite the line is black on white, from (100, 100) to (110, 85).
    int blackOutside = 0;
    for (int y = 80; y < 100; ++y)
        for (int x = 100; x < 115; ++x)
            if (PixelAt(frame, x, y) == Black && (std::abs(x - 100) > 8 || std::abs(y - 100) > 8))
                ++blackOutside;
    EXPECT_GT(blackOutside, 3);
    EXPECT_EQ(PixelAt(frame, 109, 86), Black);
    EXPECT_EQ(PixelAt(frame, 110, 85), White); // the end pixel itself is not drawn

    // The end is round(X + 5 VX): 100.25 + 10.3125 ends at 111, so pixel 110 is
    // drawn; rounding each part alone (100 + 10) would stop a pixel short.
    world.Shots[0] = FlyingShot(100.25f, 100, 2.0625f, 0);
    const Surface fractional = Draw(world);
    EXPECT_EQ(PixelAt(fractional, 110, 100), Black);
    EXPECT_EQ(PixelAt(fractional, 111, 100), White);

    world.ShowVectors = FlagFalse;
    ExpectLayers(Draw(world), {{LauncherSprite, 134, 134}, {MarkerSprite, 264, 264}, {ShotSprite, 92, 92}});
}

TEST(DrawFrame, SpritesHangingOffEveryEdgeShowExactlyTheirInsidePart)
{
    // Sprites cut by each edge and corner; every pixel is checked, so a clip
    // one pixel off on any side shows (and the sanitizer build sees any write
    // outside the surface).
    World world = WorldWithMarker(299, -5);
    LoadWorld(world);
    world.ShowVectors = FlagFalse;
    world.Shots[0] = FlyingShot(-3, 302);
    world.Shots[1] = FlyingShot(305, 150);
    world.Shots[2] = FlyingShot(150, -7);
    world.Shots[3] = FlyingShot(-7, 150);
    world.Shots[4] = FlyingShot(150, 306);
    ExpectLayers(Draw(world), {{LauncherSprite, 134, 134},
                               {MarkerSprite, 283, -21},
                               {ShotSprite, -11, 294},
                               {ShotSprite, 297, 142},
                               {ShotSprite, 142, -15},
                               {ShotSprite, -15, 142},
                               {ShotSprite, 142, 298}});
}

namespace {

std::uint64_t PixelHash(const Surface& surface)
{
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const Pixel pixel : surface.Pixels)
        hash = (hash ^ pixel) * 0x100000001B3u;
    return hash;
}

} // namespace

// One scripted frame, every pixel hashed. When the artwork or the drawing
// changes on purpose, look at the picture (homing-sim png) and put the printed
// hash here.
TEST(DrawFrame, GoldenFrame)
{
    World world;
    LoadWorld(world);
    PseudoRandom random;
    SeedRandom(random, 11);
    CountBeeps beep;
    SelectMode(world, SteeringMode::AngleChase2);
    for (int frame = 0; frame < 240; ++frame) {
        MovePointer(world, ToFloat(150 + 100 * std::cos(frame * 0.02)), ToFloat(150 + 80 * std::sin(frame * 0.03)));
        RunFrame(world, random, beep);
    }
    ASSERT_GT(FlyingShots(world), 5);
    const std::uint64_t actual = PixelHash(Draw(world));
    std::printf("frame hash: 0x%016" PRIx64 "\n", actual);
    EXPECT_EQ(actual, 0xc97a4b659287771du);
}

namespace {

/// Copies only the presented tiles onto a screen of its own, as the window's
/// presenter repaints only them.
struct TilePresenter final : Presenter {
    Surface Shown = MakeSurface(PlayfieldSize, PlayfieldSize, 0);
    Surface Screen = MakeSurface(PlayfieldSize, PlayfieldSize, 0);
    Damage Changed;
    std::int64_t PresentedPixels = 0;
    void Present(const Surface& playfield, const ChangeBounds& bounds) override
    {
        TakeDamage(playfield, Shown, Changed, bounds);
        for (int n = 0; n < Changed.Count; ++n) {
            const PixelRect& rect = Changed.Rects[std::size_t(n)];
            for (int y = rect.Top; y < rect.Top + rect.Height; ++y)
                for (int x = rect.Left; x < rect.Left + rect.Width; ++x)
                    Screen.Pixels[std::size_t(y) * PlayfieldSize + x] = PixelAt(playfield, x, y);
            PresentedPixels += std::int64_t(rect.Width) * rect.Height;
        }
    }
};

} // namespace

TEST(Damage, FindsEveryChangedTileAndNothingElse)
{
    Surface now = MakeSurface(PlayfieldSize, PlayfieldSize);
    Surface shown = MakeSurface(PlayfieldSize, PlayfieldSize, 0);
    Damage damage;
    TakeDamage(now, shown, damage);
    EXPECT_EQ(damage.Count, 19); // every tile: one run for each of the 19 rows of tiles
    TakeDamage(now, shown, damage);
    EXPECT_EQ(damage.Count, 0);

    // Single pixels at the far edges of tiles, the narrow last ones included.
    now.Pixels[std::size_t(290) * PlayfieldSize + 31] = Black;
    now.Pixels[std::size_t(299) * PlayfieldSize + 299] = Black;
    now.Pixels[std::size_t(15) * PlayfieldSize + 32] = Black;
    now.Pixels[std::size_t(0) * PlayfieldSize + 48] = Black;
    TakeDamage(now, shown, damage);
    ASSERT_EQ(damage.Count, 3);
    const auto same = [](const PixelRect& a, const PixelRect& b) {
        return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
    };
    EXPECT_TRUE(same(damage.Rects[0], {32, 0, 32, 16})); // two neighbouring tiles: one run
    EXPECT_TRUE(same(damage.Rects[1], {16, 288, 16, 12}));
    EXPECT_TRUE(same(damage.Rects[2], {288, 288, 12, 12}));
    EXPECT_EQ(shown.Pixels, now.Pixels);
}

TEST(Damage, TheScreenEqualsTheSurfaceAfterEveryFrame)
{
    // A long randomised run in every mode: mode changes, clears, both
    // switches, a marker wandering over and past every edge.
    World world;
    LoadWorld(world);
    PseudoRandom random, events;
    SeedRandom(random, 21);
    SeedRandom(events, 22);
    CountBeeps beep;
    Surface playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    TilePresenter presenter;
    // And repainted over the frame before, compared only where that repaint
    // can have changed it: the same pixels, the same tiles presented.
    Surface repainted = MakeSurface(PlayfieldSize, PlayfieldSize);
    PaintedArea painted;
    TilePresenter within;
    constexpr int Frames = 20000;
    for (int frame = 0; frame < Frames; ++frame) {
        const float roll = events.RandomUnit();
        if (roll < 0.003f)
            SelectMode(world, static_cast<SteeringMode>(int(events.RandomUnit() * SteeringModeCount)));
        else if (roll < 0.005f)
            PressOnPlayfield(world, MouseButton::Right);
        else if (roll < 0.008f)
            ToggleVectors(world);
        else if (roll < 0.010f)
            ToggleSpeedLimit(world);
        else if (roll < 0.3f)
            MovePointer(world, ToFloat(events.RandomUnit() * 340.0 - 20), ToFloat(events.RandomUnit() * 340.0 - 20));
        RunFrame(world, random, beep);
        DrawFrame(world, playfield, Sheet(), presenter);
        ASSERT_EQ(presenter.Screen.Pixels, playfield.Pixels) << "frame " << frame;
        RepaintFrame(world, repainted, Sheet(), painted);
        within.Present(repainted, painted.Changed);
        ASSERT_EQ(repainted.Pixels, playfield.Pixels) << "repainted, frame " << frame;
        ASSERT_EQ(within.PresentedPixels, presenter.PresentedPixels) << "within bounds, frame " << frame;
    }
    // And it presents far less than whole frames.
    EXPECT_LT(presenter.PresentedPixels, std::int64_t(Frames) * PlayfieldSize * PlayfieldSize / 3);
}

TEST(SpriteSheet, IconIsTheMarkerScaledByNearestNeighbour)
{
    const auto icon = [](int size) { return SpriteIcon(Sheet(), IconSprite, size); };
    const std::vector<std::uint32_t> actual = icon(32), doubled = icon(64), halved = icon(16);
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            // At the sprite's own size: its pixels where the mask is black, clear elsewhere.
            const std::uint32_t pixel = actual[std::size_t(y) * 32 + x];
            const Pixel sprite = PixelAt(Sheet(), IconSprite.ImageX + x, IconSprite.ImageY + y);
            EXPECT_EQ(pixel, Opaque(IconSprite, x, y) ? sprite : 0u) << x << ", " << y;
            opaque += pixel != 0;
            // Twice the size: each pixel a 2 x 2 block; half: every second pixel.
            for (int n = 0; n < 4; ++n)
                EXPECT_EQ(doubled[std::size_t(2 * y + n / 2) * 64 + 2 * x + n % 2], pixel);
            if (x % 2 && y % 2) {
                EXPECT_EQ(halved[std::size_t(y / 2) * 16 + x / 2], pixel);
            }
        }
    EXPECT_GT(opaque, 500);
    EXPECT_LT(opaque, 32 * 32);
}
