#pragma once
// The option buttons' captions, shared by the window and the runner's pictures.

#include <array>

#include "World.h"

/// The caption of each steering mode's option button, in UTF-8, by mode number.
inline constexpr std::array<const char*, SteeringModeCount> ModeCaptions = {
    "XY別通常追尾", // per-axis chase
    "通常追尾",     // direct chase
    "角度追尾",     // angle chase
    "角度追尾2",    // angle chase 2
    "XY別加速追尾", // per-axis accelerating chase
    "加速追尾",     // accelerating chase
};

inline const char* ModeCaption(SteeringMode mode) { return ModeCaptions[static_cast<std::size_t>(mode)]; }
