// The raster layer: each raster operation on known pixels, clipping at every
// edge, and lines that stop one pixel short of their end.

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "Raster.h"

namespace {

constexpr Pixel Red = MakePixel(255, 0, 0);
constexpr Pixel Olive = MakePixel(128, 128, 0);

/// A source whose every pixel is distinct, so a misplaced read shows.
Surface NumberedSurface(int width, int height)
{
    Surface surface = MakeSurface(width, height);
    for (int n = 0; n < width * height; ++n)
        surface.Pixels[std::size_t(n)] = Black | Pixel(n + 1);
    return surface;
}

/// Every pixel of `dest` is `inside(x, y)` where `covered` says so, and `background` elsewhere.
template <typename Covered, typename Inside>
void ExpectPixels(const Surface& dest, Covered covered, Inside inside, Pixel background)
{
    for (int y = 0; y < dest.Height; ++y)
        for (int x = 0; x < dest.Width; ++x) {
            const Pixel expected = covered(x, y) ? inside(x, y) : background;
            ASSERT_EQ(PixelAt(dest, x, y), expected) << "at (" << x << ", " << y << ")";
        }
}

std::set<std::pair<int, int>> PixelsOf(const Surface& surface, Pixel colour)
{
    std::set<std::pair<int, int>> found;
    for (int y = 0; y < surface.Height; ++y)
        for (int x = 0; x < surface.Width; ++x)
            if (PixelAt(surface, x, y) == colour)
                found.insert({x, y});
    return found;
}

} // namespace

TEST(BitBlt, RasterOperationsOnKnownPixels)
{
    Surface dest = MakeSurface(4, 1, Olive);
    Surface source = MakeSurface(4, 1);
    source.Pixels = {Black, White, Red, MakePixel(0x0F, 0xF0, 0x55)};

    BitBlt(dest, 0, 0, 4, 1, &source, 0, 0, SRCAND);
    EXPECT_EQ(dest.Pixels, (std::vector<Pixel>{Black, Olive, MakePixel(128, 0, 0), MakePixel(0, 0x80, 0)}));

    dest = MakeSurface(4, 1, Olive);
    BitBlt(dest, 0, 0, 4, 1, &source, 0, 0, SRCINVERT);
    EXPECT_EQ(dest.Pixels, (std::vector<Pixel>{Olive, MakePixel(127, 127, 255), MakePixel(127, 128, 0),
                                               MakePixel(0x8F, 0x70, 0x55)}));

    BitBlt(dest, 1, 0, 2, 1, nullptr, 0, 0, WHITENESS);
    EXPECT_EQ(dest.Pixels[0], Olive);
    EXPECT_EQ(dest.Pixels[1], White);
    EXPECT_EQ(dest.Pixels[2], White);
    EXPECT_EQ(dest.Pixels[3], MakePixel(0x8F, 0x70, 0x55));
}

TEST(BitBlt, MaskThenImageDrawsAnOpaqueSpriteAndLeavesTheRest)
{
    Surface dest = MakeSurface(2, 1, Olive);
    Surface mask = MakeSurface(2, 1);
    mask.Pixels = {Black, White};
    Surface image = MakeSurface(2, 1);
    image.Pixels = {Red, Black};
    BitBlt(dest, 0, 0, 2, 1, &mask, 0, 0, SRCAND);
    BitBlt(dest, 0, 0, 2, 1, &image, 0, 0, SRCINVERT);
    EXPECT_EQ(dest.Pixels, (std::vector<Pixel>{Red, Olive}));
}

TEST(BitBlt, ClipsAtEveryEdgeAndCornerOfTheDestination)
{
    const Surface source = NumberedSurface(4, 4);
    const int places[][2] = {{-2, -2}, {3, -2}, {8, -2}, {-2, 3}, {8, 3}, {-2, 8}, {3, 8}, {8, 8}, {3, 3}};
    for (const auto& place : places) {
        const int x = place[0], y = place[1];
        SCOPED_TRACE(testing::Message() << "block at (" << x << ", " << y << ")");
        Surface dest = MakeSurface(10, 10, Olive);
        BitBlt(dest, x, y, 4, 4, &source, 0, 0, SRCINVERT);
        ExpectPixels(
            dest, [&](int px, int py) { return px >= x && px < x + 4 && py >= y && py < y + 4; },
            [&](int px, int py) { return Olive ^ (PixelAt(source, px - x, py - y) & RgbBits); }, Olive);
    }
}

TEST(BitBlt, ClipsAgainstTheSourceToo)
{
    const Surface source = NumberedSurface(4, 4);
    // Reading from (-1, 2) on a 4 x 4 source: only source columns 0-2, rows 2-3 exist.
    Surface dest = MakeSurface(10, 10, Olive);
    BitBlt(dest, 5, 5, 4, 4, &source, -1, 2, SRCAND);
    ExpectPixels(
        dest, [](int px, int py) { return px >= 6 && px < 9 && py >= 5 && py < 7; },
        [&](int px, int py) { return Olive & PixelAt(source, px - 6, py - 5 + 2); }, Olive);
}

TEST(BitBlt, BlocksEntirelyOutsideOrEmptyChangeNothing)
{
    const Surface source = NumberedSurface(4, 4);
    constexpr int Min = -2147483647 - 1, Max = 2147483647;
    // x, y, width, height on the destination; source ignored by WHITENESS.
    const int outsideDest[][4] = {{-4, 0, 4, 4}, {10, 0, 4, 4}, {0, -4, 4, 4},    {0, 10, 4, 4},
                                  {0, 0, 0, 4},  {0, 0, -3, 4}, {Min, Min, 4, 4}, {Max, Max, Max, Max}};
    for (const auto& b : outsideDest) {
        Surface dest = MakeSurface(10, 10, Olive);
        BitBlt(dest, b[0], b[1], b[2], b[3], &source, 0, 0, SRCAND);
        BitBlt(dest, b[0], b[1], b[2], b[3], &source, 0, 0, SRCINVERT);
        BitBlt(dest, b[0], b[1], b[2], b[3], nullptr, 0, 0, WHITENESS);
        EXPECT_EQ(PixelsOf(dest, Olive).size(), 100u) << b[0] << "," << b[1] << " " << b[2] << "x" << b[3];
    }
    // Source x, y of a 4 x 4 block that lies wholly outside the 4 x 4 source.
    const int outsideSource[][2] = {{4, 0}, {0, 4}, {-4, 0}, {0, -4}, {Max, 0}, {Min, Min}};
    for (const auto& from : outsideSource) {
        Surface dest = MakeSurface(10, 10, Olive);
        BitBlt(dest, 2, 2, 4, 4, &source, from[0], from[1], SRCAND);
        BitBlt(dest, 2, 2, 4, 4, &source, from[0], from[1], SRCINVERT);
        EXPECT_EQ(PixelsOf(dest, Olive).size(), 100u) << "from " << from[0] << "," << from[1];
    }
}

TEST(BitBlt, WhitenessFillsOnlyTheClippedBlock)
{
    Surface dest = MakeSurface(6, 6, Olive);
    BitBlt(dest, -3, 4, 5, 100, nullptr, 0, 0, WHITENESS);
    ExpectPixels(
        dest, [](int x, int y) { return x < 2 && y >= 4; }, [](int, int) { return White; }, Olive);
}

TEST(FillRect, FillsOnlyTheClippedBlockWhateverItsExtent)
{
    Surface dest = MakeSurface(6, 6, Olive);
    FillRect(dest, 4, -7, 100, 9, Black);
    FillRect(dest, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, White); // ends at -2: nothing
    FillRect(dest, 1, 1, -5, 3, White);                                // negative: nothing
    ExpectPixels(
        dest, [](int x, int y) { return x >= 4 && y < 2; }, [](int, int) { return Black; }, Olive);
}

TEST(LineTo, DrawsEveryPixelButTheEndOne)
{
    const struct {
        int X0, Y0, X1, Y1;
        const char* Kind;
    } lines[] = {
        {2, 2, 17, 7, "shallow"},    {3, 1, 6, 18, "steep"},    {15, 15, 3, 3, "diagonal"},
        {18, 4, 2, 4, "horizontal"}, {9, 18, 9, 1, "vertical"}, {17, 2, 4, 11, "shallow backwards"},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.Kind);
        Surface surface = MakeSurface(20, 20);
        MoveToEx(surface, line.X0, line.Y0);
        LineTo(surface, line.X1, line.Y1);
        const auto drawn = PixelsOf(surface, Black);
        const int dx = std::abs(line.X1 - line.X0), dy = std::abs(line.Y1 - line.Y0);
        EXPECT_EQ(drawn.size(), std::size_t(std::max(dx, dy)));
        EXPECT_TRUE(drawn.count({line.X0, line.Y0}));
        EXPECT_FALSE(drawn.count({line.X1, line.Y1}));
        EXPECT_EQ(surface.PenX, line.X1);
        EXPECT_EQ(surface.PenY, line.Y1);
        // 8-connected: every pixel but the first touches one drawn a step before it.
        for (const auto& [x, y] : drawn) {
            bool touches = x == line.X0 && y == line.Y0;
            for (int ny = y - 1; ny <= y + 1; ++ny)
                for (int nx = x - 1; nx <= x + 1; ++nx)
                    touches = touches || ((nx != x || ny != y) && drawn.count({nx, ny}));
            EXPECT_TRUE(touches) << x << "," << y;
        }
    }
}

TEST(LineTo, ZeroLengthDrawsNothing)
{
    Surface surface = MakeSurface(5, 5);
    MoveToEx(surface, 2, 2);
    LineTo(surface, 2, 2);
    EXPECT_TRUE(PixelsOf(surface, Black).empty());
}

TEST(LineTo, ClippedLinesDrawExactlyTheirVisiblePart)
{
    // On a 10 x 10 surface a line must agree pixel for pixel with the same
    // line drawn whole on a surface large enough to hold it.
    const int lines[][4] = {{-30, -7, 25, 12}, {12, -40, 3, 30}, {-5000, 5, 5000, 6}, {9, 20, 9, -3}};
    for (const auto& l : lines) {
        Surface clipped = MakeSurface(10, 10);
        MoveToEx(clipped, l[0], l[1]);
        LineTo(clipped, l[2], l[3]);

        const int shiftX = std::max(0, -std::min(l[0], l[2])), shiftY = std::max(0, -std::min(l[1], l[3]));
        Surface whole = MakeSurface(std::max({l[0], l[2], 9}) + shiftX + 1, std::max({l[1], l[3], 9}) + shiftY + 1);
        MoveToEx(whole, l[0] + shiftX, l[1] + shiftY);
        LineTo(whole, l[2] + shiftX, l[3] + shiftY);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(PixelAt(clipped, x, y), PixelAt(whole, x + shiftX, y + shiftY))
                    << "line " << l[0] << "," << l[1] << " at " << x << "," << y;
    }
}

TEST(LineTo, ExtremeCoordinatesAreSafeAndQuick)
{
    Surface surface = MakeSurface(10, 10);
    MoveToEx(surface, 4, 4);
    LineTo(surface, -2147483647 - 1, 2147483647);
    LineTo(surface, 2147483647, -2147483647 - 1);
    const auto drawn = PixelsOf(surface, Black);
    EXPECT_TRUE(drawn.count({4, 4}));
    EXPECT_LE(drawn.size(), 20u);
}
