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
