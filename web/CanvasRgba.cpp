#include "CanvasRgba.h"

void CopyRgba(const Surface& surface, const PixelRect& rect, std::vector<std::uint8_t>& rgba)
{
    for (int y = rect.Top; y < rect.Top + rect.Height; ++y)
        for (int x = rect.Left; x < rect.Left + rect.Width; ++x) {
            const Pixel pixel = PixelAt(surface, x, y);
            std::uint8_t* to = &rgba[(std::size_t(y) * surface.Width + x) * 4];
            to[0] = std::uint8_t(pixel >> 16), to[1] = std::uint8_t(pixel >> 8), to[2] = std::uint8_t(pixel),
            to[3] = 255;
        }
}

const std::uint8_t* WholeRgba(const Surface& surface, std::vector<std::uint8_t>& rgba)
{
    rgba.resize(surface.Pixels.size() * 4);
    CopyRgba(surface, {0, 0, surface.Width, surface.Height}, rgba);
    return rgba.data();
}
