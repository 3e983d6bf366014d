#pragma once
// The program's icon, made from its own artwork: a sprite of the sheet scaled
// by nearest neighbour, transparent wherever the sprite's mask is.

#include <cstdint>
#include <vector>

#include "SpriteSheet.h"

/// The sprite the icon shows: the smiling marker.
inline constexpr SpriteRegion IconSprite = MarkerSprite;

/// The icon sizes a desktop asks for, pixels.
inline constexpr int IconSizes[] = {16, 24, 32, 48, 64, 128, 256};

/// `sprite` scaled to `size` x `size` pixels: each icon pixel takes the sprite
/// pixel under its centre. Pixels are 0xAARRGGBB (not premultiplied), rows top
/// to bottom; alpha is 0 where the mask is white and 255 where it is black.
std::vector<std::uint32_t> SpriteIcon(const Surface& sheet, const SpriteRegion& sprite, int size);
