// The simulation soak: many frames in every mode with a wandering marker,
// clicks, mode changes and limit toggles, starting near the frame counter's
// wrap so that the wrap is crossed. HOMING_SOAK_FRAMES sets the length.

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include "SimulationSoak.h"

TEST(Soak, InvariantsHoldAcrossTheFrameCounterWrap)
{
    const char* setting = std::getenv("HOMING_SOAK_FRAMES");
    const std::int64_t frames = setting ? std::atoll(setting) : 1000000;
    const std::int32_t nearWrap = std::numeric_limits<std::int32_t>::max() - std::int32_t(frames / 2);
    SoakAllModes(frames, 20261207, nearWrap);
}
