#pragma once

#include <cstdint>

/// Milliseconds from a monotonic clock as a 32-bit count that wraps after
/// about 49.7 days; changes of the wall-clock time never move it.
std::uint32_t GetTickCount();

#include "Seams.h"

/// The real clock, for the window's frame loop.
struct SteadyClock final : Clock {
    std::uint32_t GetTickCount() override { return ::GetTickCount(); }
};
