#pragma once
// Our pixels as a canvas takes them.

#include <cstdint>
#include <vector>

#include "Damage.h"
#include "Raster.h"

/// Copies `rect` of `surface` (0xFFRRGGBB words) into `rgba`, which holds the
/// whole surface as R, G, B, A bytes, row by row.
void CopyRgba(const Surface& surface, const PixelRect& rect, std::vector<std::uint8_t>& rgba);

/// The whole of `surface` as R, G, B, A bytes in `rgba` (resized to hold them); returns them.
const std::uint8_t* WholeRgba(const Surface& surface, std::vector<std::uint8_t>& rgba);
