#include "Icon.h"

std::vector<std::uint32_t> SpriteIcon(const Surface& sheet, const SpriteRegion& sprite, int size)
{
    std::vector<std::uint32_t> icon(std::size_t(size) * std::size_t(size), 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int sx = (2 * x + 1) * sprite.Size / (2 * size), sy = (2 * y + 1) * sprite.Size / (2 * size);
            // The mask is black where the sprite is opaque.
            if ((PixelAt(sheet, sprite.MaskX + sx, sprite.MaskY + sy) & RgbBits) == 0)
                icon[std::size_t(y) * std::size_t(size) + x] = PixelAt(sheet, sprite.ImageX + sx, sprite.ImageY + sy);
        }
    return icon;
}
