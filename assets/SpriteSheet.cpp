#include "SpriteSheet.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SpriteSheetXpm.h"

namespace {

[[noreturn]] void BrokenSheet(const char* what)
{
    // The sheet is compiled in and checked by the tests; this is a build fault.
    std::fprintf(stderr, "built-in sprite sheet is broken: %s\n", what);
    std::abort();
}

/// Reads a colour line such as "Y c #FFFF00" into the palette index it names.
int PaletteIndexOf(const char* line)
{
    unsigned red = 0, green = 0, blue = 0;
    if (std::sscanf(line + 1, " c #%2x%2x%2x", &red, &green, &blue) != 3)
        BrokenSheet("colour line");
    const Pixel colour = MakePixel(std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue));
    for (std::size_t index = 0; index < SpritePalette.size(); ++index)
        if (SpritePalette[index] == colour)
            return int(index);
    BrokenSheet("colour outside the palette");
}

} // namespace

Surface LoadSpriteSheet()
{
    int width = 0, height = 0, colours = 0, perPixel = 0;
    if (std::sscanf(SpriteSheetXpm[0], "%d %d %d %d", &width, &height, &colours, &perPixel) != 4 ||
        width != SpriteSheetWidth || height != SpriteSheetHeight || perPixel != 1 ||
        SpriteSheetXpmLines != std::size_t(1 + colours + height))
        BrokenSheet("header");

    std::array<Pixel, 256> colourOf{};
    std::array<bool, 256> known{};
    for (int n = 1; n <= colours; ++n) {
        const auto key = static_cast<unsigned char>(SpriteSheetXpm[n][0]);
        colourOf[key] = SpritePalette[std::size_t(PaletteIndexOf(SpriteSheetXpm[n]))];
        known[key] = true;
    }

    Surface sheet = MakeSurface(width, height);
    for (int y = 0; y < height; ++y) {
        const char* row = SpriteSheetXpm[1 + colours + y];
        if (std::strlen(row) != std::size_t(width))
            BrokenSheet("row length");
        for (int x = 0; x < width; ++x) {
            const auto key = static_cast<unsigned char>(row[x]);
            if (!known[key])
                BrokenSheet("unknown pixel character");
            sheet.Pixels[std::size_t(y * width + x)] = colourOf[key];
        }
    }
    return sheet;
}
