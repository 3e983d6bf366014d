#pragma once
// The sprite sheet, decoded from its text form, and where each sprite lies on it.

#include <array>

#include "Raster.h"

inline constexpr int SpriteSheetWidth = 80;
inline constexpr int SpriteSheetHeight = 64;

/// The 16 colours of the sheet, by palette index.
inline constexpr std::array<Pixel, 16> SpritePalette = {
    MakePixel(0, 0, 0),       MakePixel(128, 0, 0),   MakePixel(0, 128, 0),   MakePixel(128, 128, 0),
    MakePixel(0, 0, 128),     MakePixel(128, 0, 128), MakePixel(0, 128, 128), MakePixel(192, 192, 192),
    MakePixel(128, 128, 128), MakePixel(255, 0, 0),   MakePixel(0, 255, 0),   MakePixel(255, 255, 0),
    MakePixel(0, 0, 255),     MakePixel(255, 0, 255), MakePixel(0, 255, 255), MakePixel(255, 255, 255),
};

/// Where one sprite's image and mask lie on the sheet, in sheet pixels.
struct SpriteRegion {
    int Size;           ///< width and height, pixels
    int ImageX, ImageY; ///< top-left of the image
    int MaskX, MaskY;   ///< top-left of the mask
};

inline constexpr SpriteRegion MarkerSprite{32, 0, 0, 0, 32};
inline constexpr SpriteRegion LauncherSprite{32, 32, 0, 32, 32};
inline constexpr SpriteRegion ShotSprite{16, 64, 0, 64, 16};

/// Decodes the built-in sheet into an 80 x 64 surface.
Surface LoadSpriteSheet();
