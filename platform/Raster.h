#pragma once
// Our raster layer: surfaces of 32-bit pixels with a persistent image, the block
// transfer with its three raster operations, and a pen that draws lines.

#include <cstdint>
#include <vector>

/// Pixels are 0xFFRRGGBB: the top byte is always 0xFF, so the buffer can be
/// shown as it is; the raster operations act on the red, green and blue bits.
using Pixel = std::uint32_t;
inline constexpr Pixel Black = 0xFF000000;
inline constexpr Pixel White = 0xFFFFFFFF;
inline constexpr Pixel RgbBits = 0x00FFFFFF;

constexpr Pixel MakePixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return Black | Pixel{red} << 16 | Pixel{green} << 8 | Pixel{blue};
}

/// A drawing surface: a persistent image and the current pen position.
struct Surface {
    int Width = 0;             ///< pixels
    int Height = 0;            ///< pixels
    std::vector<Pixel> Pixels; ///< rows top to bottom, Width pixels each
    int PenX = 0;              ///< current pen position, pixels
    int PenY = 0;
    Pixel PenColor = Black; ///< the pen: one pixel wide, solid
};

/// A surface of `width` x `height` pixels filled with `fill`; the only allocation.
Surface MakeSurface(int width, int height, Pixel fill = White);

inline Pixel PixelAt(const Surface& surface, int x, int y)
{
    return surface.Pixels[std::size_t(y) * surface.Width + x];
}

/// Raster operations of the block transfer.
enum RasterOp : std::uint32_t {
    WHITENESS = 0xFF0062, ///< destination = white, no source
    SRCAND = 0x8800C6,    ///< destination = destination AND source
    SRCINVERT = 0x660046, ///< destination = destination XOR source
};

/// Copies a `width` x `height` block from `source` at (sourceX, sourceY) onto
/// `dest` at (x, y), combining pixels by `op`. The block is clipped against both
/// surfaces, so nothing outside either is read or written. `source` may be null
/// for WHITENESS.
void BitBlt(Surface& dest, int x, int y, int width, int height, const Surface* source, int sourceX, int sourceY,
            RasterOp op);

/// Fills a `width` x `height` block at (x, y) with `colour`, clipped to the surface.
void FillRect(Surface& surface, int x, int y, int width, int height, Pixel colour);

/// Sets the current pen position.
void MoveToEx(Surface& surface, int x, int y);

/// Draws an 8-connected line with the surface's pen from the current position
/// up to, but not including, (x, y), clipped to the surface; (x, y) becomes
/// the current position.
void LineTo(Surface& surface, int x, int y);
