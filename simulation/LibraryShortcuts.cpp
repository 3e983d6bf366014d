#include "LibraryShortcuts.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "Numbers.h"
#include "World.h"

std::int32_t LibrarySlopeDegrees(std::int16_t dx, std::int16_t dy)
{
    const double a = RoundToFloat(std::atan(double(dy) / double(dx)));
    return RoundToInt16(a / DegToRad);
}

void LibraryHeadingVelocity(float speed, float degrees, float& vx, float& vy)
{
    const double radians = double(degrees) * DegToRad;
    vx = ToFloat(double(speed) * std::cos(radians));
    vy = ToFloat(double(speed) * std::sin(radians));
}

TurnTrig LibraryTrigOfDegrees(float degrees)
{
    const double radians = double(degrees) * DegToRad;
    return {std::sin(radians), std::cos(radians), std::tan(radians)};
}

namespace {

/// Hides a loop's counter from the optimiser, so a table is filled by the
/// library at run time and never by the compiler's own arithmetic.
int Opaque(int value)
{
#if defined(__GNUC__)
    asm("" : "+r"(value));
#endif
    return value;
}

/// Filled at first use with the running library (never folded at build time:
/// the compiler's own arctangent may differ from it in the last bit).
std::array<std::int8_t, SlopeTableIndex(SlopeTableReach, SlopeTableReach) + 1> SlopeTable;

bool FillSlopeTable()
{
    for (int dx = -SlopeTableReach; dx <= SlopeTableReach; ++dx)
        for (int dy = -SlopeTableReach; dy <= SlopeTableReach; ++dy)
            SlopeTable[std::size_t(SlopeTableIndex(dx, dy))] =
                dx == 0 ? 0 : std::int8_t(LibrarySlopeDegrees(std::int16_t(Opaque(dx)), std::int16_t(dy)));
    return true;
}

/// cos and sin of float(k) * DegToRad, as the library gives them.
std::array<WholeDegreeTrig, WholeDegreesHigh - WholeDegreesLow + 1> WholeDegrees;

bool FillWholeDegrees()
{
    for (int k = WholeDegreesLow; k <= WholeDegreesHigh; ++k) {
        const double radians = double(float(Opaque(k))) * DegToRad;
        WholeDegrees[std::size_t(k - WholeDegreesLow)] = {std::cos(radians), std::sin(radians)};
    }
    return true;
}

/// The float `product` rounds to, when every double within `margin` of it
/// rounds to that same float; so the library's product, which lies there, does too.
bool SureFloat(double product, double margin, float& out)
{
    const float low = ToFloat(product - margin);
    const float high = ToFloat(product + margin);
    if (!std::isfinite(product) || BitsOf(low) != BitsOf(high))
        return false;
    out = low;
    return true;
}

/// A shot keeps its turn for its whole flight: its sin, cos and tan are kept
/// here by the turn's bits, per thread, a few hundred turns at once.
struct TurnEntry {
    std::uint32_t Bits = 0;
    bool Filled = false;
    TurnTrig Trig{};
};
constexpr int TurnCacheBits = 8;
thread_local std::array<TurnEntry, 1u << TurnCacheBits> Turns;

thread_local LibraryCalls Passed;

} // namespace

std::int32_t SlopeDegrees(std::int16_t dx, std::int16_t dy)
{
    if (std::abs(dx) > SlopeTableReach || std::abs(dy) > SlopeTableReach) {
        ++Passed.Slope;
        return LibrarySlopeDegrees(dx, dy);
    }
    return SlopeDegreesTable()[SlopeTableIndex(dx, dy)];
}

void HeadingVelocity(float speed, float degrees, float& vx, float& vy)
{
    const double d = degrees;
    const double s = speed;
    // Not -0, whose sine is -0 (nor NaN, which fails the range test).
    if (d >= WholeDegreesLow + 0.5 && d <= WholeDegreesHigh - 0.5 && (d != 0 || !std::signbit(d))) {
        const long k = std::lrint(d); // ties to even
        const double whole = double(k);
        const WholeDegreeTrig& at = WholeDegreesTable()[k - WholeDegreesLow];
        if (d == whole) { // the library's own values: the same products
            vx = ToFloat(s * at.Cos);
            vy = ToFloat(s * at.Sin);
            return;
        }
        // The angle past the whole degree, exactly (the two radians lie
        // within a factor of two of each other), then its cos and sin by
        // their series: |r| <= 0.0088, so the terms left out are below 1e-18.
        const double r = d * DegToRad - whole * DegToRad;
        const double r2 = r * r;
        const double r4 = r2 * r2;
        const double cosR = (1 - 0.5 * r2) + r4 * (1.0 / 24 - r2 * (1.0 / 720));
        const double sinR = r + (r * r2) * (-1.0 / 6 + r2 * (1.0 / 120));
        const double cosine = at.Cos * cosR - at.Sin * sinR;
        const double sine = at.Sin * cosR + at.Cos * sinR;
        // The products may differ by the bound times the speed, and by a few
        // ulps of their own rounding (they are at most the speed).
        const double margin = std::fabs(s) * (HeadingCosSinBound + 0x1p-50);
        float x = 0, y = 0;
        if (SureFloat(s * cosine, margin, x) && SureFloat(s * sine, margin, y)) {
            vx = x;
            vy = y;
            return;
        }
    }
    ++Passed.Heading;
    LibraryHeadingVelocity(speed, degrees, vx, vy);
}

TurnTrig TrigOfDegrees(float degrees)
{
    const std::uint32_t bits = BitsOf(degrees);
    TurnEntry& entry = Turns[(bits * 0x9E3779B1u) >> (32 - TurnCacheBits)];
    if (!entry.Filled || entry.Bits != bits) {
        ++Passed.Turn;
        entry.Trig = LibraryTrigOfDegrees(degrees);
        entry.Bits = bits;
        entry.Filled = true;
    }
    return entry.Trig;
}

const std::int8_t* SlopeDegreesTable()
{
    static const bool filled = FillSlopeTable();
    (void)filled;
    return SlopeTable.data();
}

const WholeDegreeTrig* WholeDegreesTable()
{
    static const bool filled = FillWholeDegrees();
    (void)filled;
    return WholeDegrees.data();
}

LibraryCalls LibraryCallsMade() { return Passed; }
