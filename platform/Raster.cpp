#include "Raster.h"

#include <algorithm>
#include <cstdlib>

Surface MakeSurface(int width, int height, Pixel fill)
{
    Surface surface;
    surface.Width = width;
    surface.Height = height;
    surface.Pixels.assign(std::size_t(width) * std::size_t(height), fill);
    return surface;
}

namespace {

/// Clips one axis of a transfer: the span [to, to + length) on a surface of
/// `toSize`, fed from [from, from + length) on one of `fromSize`. Moves both
/// starts together and shortens the span; false when nothing is left.
bool ClipSpan(std::int64_t& to, std::int64_t& from, std::int64_t& length, std::int64_t toSize, std::int64_t fromSize)
{
    const std::int64_t skip = std::max({std::int64_t{0}, -to, -from});
    to += skip;
    from += skip;
    length = std::min({length - skip, toSize - to, fromSize - from});
    return length > 0;
}

} // namespace

void BitBlt(Surface& dest, int x, int y, int width, int height, const Surface* source, int sourceX, int sourceY,
            RasterOp op)
{
    // Without a source, clip against the destination alone.
    const bool usesSource = op != WHITENESS;
    if (usesSource && !source)
        return;
    std::int64_t toX = x, toY = y, fromX = usesSource ? sourceX : 0, fromY = usesSource ? sourceY : 0;
    std::int64_t spanX = width, spanY = height;
    const std::int64_t fromWidth = usesSource ? source->Width : INT64_MAX / 4;
    const std::int64_t fromHeight = usesSource ? source->Height : INT64_MAX / 4;
    if (!ClipSpan(toX, fromX, spanX, dest.Width, fromWidth) || !ClipSpan(toY, fromY, spanY, dest.Height, fromHeight))
        return;

    for (std::int64_t row = 0; row < spanY; ++row) {
        Pixel* to = &dest.Pixels[std::size_t((toY + row) * dest.Width + toX)];
        const Pixel* from = usesSource ? &source->Pixels[std::size_t((fromY + row) * source->Width + fromX)] : nullptr;
        switch (op) {
        case WHITENESS: std::fill_n(to, spanX, White); break;
        case SRCAND:
            for (std::int64_t n = 0; n < spanX; ++n)
                to[n] &= from[n];
            break;
        case SRCINVERT:
            for (std::int64_t n = 0; n < spanX; ++n)
                to[n] ^= from[n] & RgbBits;
            break;
        }
    }
}

void FillRect(Surface& surface, int x, int y, int width, int height, Pixel colour)
{
    std::int64_t toX = x, toY = y, fromX = 0, fromY = 0, spanX = width, spanY = height;
    if (!ClipSpan(toX, fromX, spanX, surface.Width, INT64_MAX / 4) ||
        !ClipSpan(toY, fromY, spanY, surface.Height, INT64_MAX / 4))
        return;
    for (std::int64_t row = 0; row < spanY; ++row)
        std::fill_n(&surface.Pixels[std::size_t((toY + row) * surface.Width + toX)], spanX, colour);
}

void MoveToEx(Surface& surface, int x, int y)
{
    surface.PenX = x;
    surface.PenY = y;
}

namespace {

__extension__ using Wide = unsigned __int128;

/// The step range [first, last) along the major axis whose pixels fall inside
/// [0, size), for a line starting at `start` and moving by `step` (+1 or -1).
void VisibleSteps(std::int64_t start, int step, std::int64_t size, std::int64_t& first, std::int64_t& last)
{
    if (step > 0) {
        first = std::max(first, -start);
        last = std::min(last, size - start);
    } else {
        first = std::max(first, start - (size - 1));
        last = std::min(last, start + 1);
    }
}

} // namespace

void LineTo(Surface& surface, int x, int y)
{
    const std::int64_t x0 = surface.PenX, y0 = surface.PenY;
    MoveToEx(surface, x, y);
    const std::int64_t dx = x - x0, dy = y - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy); // also the pixel count
    const std::int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    if (major == 0)
        return;
    const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const std::int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const std::int64_t majorSize = xMajor ? surface.Width : surface.Height;
    const std::int64_t minorSize = xMajor ? surface.Height : surface.Width;

    // Pixel i lies at major + i and minor + round(i * minor / major), halves
    // rounding towards the end; only the steps inside the surface are visited.
    std::int64_t first = 0, last = major;
    VisibleSteps(majorStart, majorStep, majorSize, first, last);
    if (first >= last)
        return;
    const Wide numerator = Wide(2) * Wide(first) * Wide(minor) + Wide(major);
    std::int64_t offset = std::int64_t(numerator / Wide(2 * major));
    std::int64_t remainder = std::int64_t(numerator % Wide(2 * major));
    for (std::int64_t i = first; i < last; ++i) {
        const std::int64_t m = majorStart + i * majorStep;
        const std::int64_t n = minorStart + offset * minorStep;
        if (n >= 0 && n < minorSize) {
            const std::int64_t px = xMajor ? m : n, py = xMajor ? n : m;
            surface.Pixels[std::size_t(py * surface.Width + px)] = surface.PenColor;
        }
        remainder += 2 * minor;
        if (remainder >= 2 * major) {
            remainder -= 2 * major;
            ++offset;
        }
    }
}
