#pragma once
// The system's number rules in one place: records hold 32-bit floats,
// arithmetic is double, and whole numbers round to nearest with ties to even.

#include <cmath>
#include <cstdint>
#include <limits>

/// A number's bits, telling apart what == does not (-0 and 0, one NaN and
/// another). The builtin, as the page's C++ library has no std::bit_cast.
constexpr std::uint32_t BitsOf(float value) { return __builtin_bit_cast(std::uint32_t, value); }
constexpr std::uint64_t BitsOf(double value) { return __builtin_bit_cast(std::uint64_t, value); }

/// Stores a double result into a 32-bit record field (round to nearest).
constexpr float ToFloat(double value) { return static_cast<float>(value); }

/// Rounds a double to float for more double arithmetic. The rounding must
/// happen whatever the optimiser does: GCC 12 folds a vector float-to-double
/// conversion pair into nothing, so two neighbouring `double(float(x))` lines
/// may silently lose it. An empty asm that claims to change the float in its
/// register (or WebAssembly local) makes the rounded value opaque at no cost;
/// elsewhere a volatile store and load do the same, at the price of a trip
/// through memory.
inline double RoundToFloat(double value)
{
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__SSE2_MATH__))
    float rounded = static_cast<float>(value);
    asm("" : "+x"(rounded));
#elif defined(__wasm__)
    float rounded = static_cast<float>(value);
    asm("" : "+r"(rounded)); // the same barrier on a WebAssembly local
#else
    volatile float rounded = static_cast<float>(value);
#endif
    return rounded;
}

/// Rounds to the nearest whole number, ties to even, saturating at the ends of
/// the type's range instead of overflowing; NaN becomes 0.
template <typename Int>
Int RoundTiesToEven(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (value >= static_cast<double>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    // In range now; llrint rounds in the default mode, ties to even, and
    // compiles to one instruction (with -fno-math-errno).
    return static_cast<Int>(std::llrint(value));
}

inline std::int32_t RoundToInt32(double value) { return RoundTiesToEven<std::int32_t>(value); }
inline std::int16_t RoundToInt16(double value) { return RoundTiesToEven<std::int16_t>(value); }
