#pragma once

#include <cstddef>

/// The sheet as XPM lines: the header "80 64 16 1", 16 colour lines, 64 pixel rows.
extern const char* const SpriteSheetXpm[];
extern const std::size_t SpriteSheetXpmLines;
