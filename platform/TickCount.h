#pragma once

#include <cstdint>

/// Milliseconds from a monotonic clock as a 32-bit count that wraps after
/// about 49.7 days; changes of the wall-clock time never move it.
std::uint32_t GetTickCount();
