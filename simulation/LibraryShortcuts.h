#pragma once
// Exact shortcuts past the maths library for the arguments the steering steps
// meet again and again. Each answer is the library's own bits: made by the
// same call on the same argument, once, and looked up (a table filled at first
// use, or a small cache of the last turns seen), or, for a heading between
// whole degrees, worked out from the table and taken only where it cannot
// round to another float than the library's would; anything else is the
// library's call as before. So a shot flies to the same bits.

#include <cstdint>

/// The whole degrees of a slope of whole-pixel offsets, dx != 0:
/// RoundToInt16(RoundToFloat(atan(dy / dx)) / DegToRad), -90 to 90.
std::int32_t SlopeDegrees(std::int16_t dx, std::int16_t dy);

/// A velocity of `speed` along the heading `degrees`:
/// vx = ToFloat(speed * cos(degrees * DegToRad)), vy likewise with sin.
void HeadingVelocity(float speed, float degrees, float& vx, float& vy);

/// sin, cos and tan of a turn of `degrees` * DegToRad: a shot's turn per
/// frame, the same for its whole flight, so kept once met.
struct TurnTrig {
    double Sin, Cos, Tan;
};
TurnTrig TrigOfDegrees(float degrees);

/// The shortcuts' tables, filled at first use, for code that works out many
/// shots at once (the map's vector lanes) to look up as the shortcuts do.
///
/// SlopeDegrees(dx, dy) for |dx|, |dy| <= SlopeTableReach (dx != 0), at
/// SlopeTableIndex(dx, dy): most of the playfield, so nearly every frame of
/// a shot chasing the marker is looked up (the degrees, -90 to 90, fit in a byte).
inline constexpr int SlopeTableReach = 255;
inline constexpr int SlopeTableIndex(int dx, int dy)
{
    return (dx + SlopeTableReach) * (2 * SlopeTableReach + 1) + dy + SlopeTableReach;
}
const std::int8_t* SlopeDegreesTable();
/// The library's cos and sin of float(k) * DegToRad at k - WholeDegreesLow:
/// where an angle chase aims its shot (-90 to 270), and far enough either
/// way for a heading wound round by turning at the most (7 degrees a frame)
/// for a shot's whole life (500 frames).
inline constexpr int WholeDegreesLow = -4096, WholeDegreesHigh = 4096;
struct WholeDegreeTrig {
    double Cos, Sin;
};
const WholeDegreeTrig* WholeDegreesTable();
/// How far HeadingVelocity's cos and sin of a heading between whole degrees
/// may lie from the library's: its own error (under 1 ulp, 1.2e-16) and
/// ours (the table's 1 ulp, the series' roundings, about 4e-16), taken four
/// times over.
inline constexpr double HeadingCosSinBound = 2e-15;

/// The library's own calls, as the shortcuts stand for them.
std::int32_t LibrarySlopeDegrees(std::int16_t dx, std::int16_t dy);
void LibraryHeadingVelocity(float speed, float degrees, float& vx, float& vy);
TurnTrig LibraryTrigOfDegrees(float degrees);

/// How many calls the shortcuts passed on to the library, on this thread so
/// far: what a benchmark reads to see how much is left to the library.
struct LibraryCalls {
    std::uint64_t Slope = 0;   ///< offsets beyond the table's reach
    std::uint64_t Heading = 0; ///< headings out of reach, or too near a float's rounding edge
    std::uint64_t Turn = 0;    ///< turns not met before (or pushed out of the cache)
};
LibraryCalls LibraryCallsMade();
