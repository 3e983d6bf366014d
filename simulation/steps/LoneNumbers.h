#pragma once
// The numbers of one shot flown alone, for the steering steps (Steps.inc):
// a number is a double, a choice a bool, the record the shot's own (its
// fields floats). The vector lanes give the same names to registers of shots
// (study/LaneFlight.inc), so each step is written once for both.
//
// What a step asks of its numbers beyond arithmetic: Num (a field as a
// number), Keep (a number stored back, rounded to float), Round (rounded to
// float for more arithmetic), Select, Not, Any and All (one choice here), and the
// maths library's calls and exact shortcuts, each behind one function below.

#include <cmath>
#include <cstdint>

#include "LibraryShortcuts.h"
#include "Numbers.h"
#include "Steering.h"
#include "World.h"

namespace Lone {

using N = double; ///< a number
using Record = Shot;

/// A choice: a bool that takes & and | as the lanes' masks do (the bool's
/// own would be ints, and warned of).
struct M {
    bool Is = false;
    constexpr M(bool is = false) : Is(is) {}
    constexpr explicit operator bool() const { return Is; }
};
inline M operator&(M a, M b) { return a.Is && b.Is; }
inline M operator|(M a, M b) { return a.Is || b.Is; }

// Each step's helpers inlined into it, as the lanes' are: a helper shared by
// several steps is no call of its own in any.
#define STEP_INLINE [[gnu::always_inline]] inline
/// A helper that reads back fields its step has just stored is called, not
/// inlined (see LimitStoredSpeed), and reads them one at a time: a pair read as one
/// 8-byte load cannot be forwarded from two 4-byte stores just before it, a
/// stall that made mode 4 1.2 times slower.
#if defined(__clang__)
#define STEP_APART [[gnu::noinline]]
#else
#define STEP_APART [[gnu::noinline, gnu::optimize("no-tree-slp-vectorize")]]
#endif

/// What a step knows of the world besides its shot.
struct StepInputs {
    N MeX, MeY;      ///< the marker, pixels
    M Flying;        ///< the shot flies (always, alone)
    N Age;           ///< frames flown, this one counted
    bool SpeedLimit; ///< modes 4 and 5 cap their speed
    double Lag;      ///< the guidance laws' turn lag, frames
    double Noise;    ///< their seeker's error spread, radians
};

inline StepInputs InputsOf(const Shot& shot, const World& world)
{
    return {double(world.MeX),
            double(world.MeY),
            true,
            double(shot.Age),
            bool(world.SpeedLimitOn),
            double(world.Lag),
            double(world.Noise) * DegToRad};
}

/// The shot's seeker error this frame, before its spread (SeekerErrorDraw).
inline N SeekerError(const Record& s, const StepInputs& in) { return SeekerErrorDraw(s.NoiseKey, in.Age); }

inline N Num(float field) { return field; }
inline void Keep(float& field, N value) { field = ToFloat(value); }
inline void KeepWhere(M where, float& field, N value)
{
    if (where)
        field = ToFloat(value);
}
inline N Round(N value) { return RoundToFloat(value); }
inline N Select(M where, N chosen, N otherwise) { return where.Is ? chosen : otherwise; }
inline M Not(M where) { return !where.Is; }
inline bool Any(M where) { return where.Is; }
/// Whether to work out what only `where` needs: alone, only where it holds
/// (the lanes work out every way and choose, as a branch there costs more).
inline bool Some(M where) { return where.Is; }
inline bool All(M where) { return where.Is; }
inline N Sqrt(N value) { return std::sqrt(value); }
inline N Magnitude(N value) { return std::fabs(value); }
inline N Negative(N value) { return -value; }
inline M SameBits(N a, N b) { return BitsOf(a) == BitsOf(b); }
inline M IsNaN(N value) { return std::isnan(value); }
/// fmin and fmax, where the sign of a zero cannot matter.
inline N Least(N a, N b) { return std::fmin(a, b); }
inline N Most(N a, N b) { return std::fmax(a, b); }

/// A whole number of pixels, as a 16-bit offset holds it (saturating).
inline N WholePixels(N value) { return RoundToInt16(value); }

/// SlopeDegrees of whole-pixel offsets where `where` says (dx not 0), else `otherwise`.
inline N SlopeDegreesWhere(M where, N dx, N dy, N otherwise)
{
    return where ? SlopeDegrees(std::int16_t(dx), std::int16_t(dy)) : otherwise;
}

/// The signed turn in whole degrees from `heading` to `target`, -179 to 180,
/// taken the short way round however far the heading has wound up.
inline N ShortTurn(N target, N heading)
{
    std::int32_t d = RoundToInt32(target - heading + 720) % 360;
    if (d < 0)
        d += 360;
    if (d > 180)
        d -= 360;
    return d;
}

/// The velocity at the shot's speed along its heading `Angle`, where `where` says.
inline void HeadingVelocityWhere(Record& s, M where)
{
    if (where)
        HeadingVelocity(s.Speed, s.Angle, s.VX, s.VY);
}

/// sin, cos and tan of the shot's turn a frame (kept for its flight).
inline TurnTrig TurnTrigOf(const Record& s) { return TrigOfDegrees(s.Turn); }
/// The most the shot turns a frame, radians.
inline N TurnLimitOf(const Record& s) { return double(s.Turn) * DegToRad; }

/// cos and sin of a turn by `angle` radians: the shot's kept turn for the
/// whole limit either way, the maths library's for any other angle.
inline void TurnCosSin(const Record& s, M where, N angle, N& c, N& sn)
{
    if (!where)
        return;
    const double limit = TurnLimitOf(s);
    const bool left = SameBits(angle, limit).Is, right = SameBits(angle, -limit).Is;
    if (left || right) {
        const TurnTrig turn = TrigOfDegrees(left ? s.Turn : -s.Turn);
        c = turn.Cos, sn = turn.Sin;
    } else {
        c = std::cos(angle), sn = std::sin(angle);
    }
}

/// An angle wrapped to (-pi, pi].
inline N HalfTurnOf(N angle) { return HalfTurn(angle); }

/// A turn cut to at most `limit` either way, as fmin and fmax cut it.
inline N CutTurn(M, N turn, N limit) { return std::fmax(-limit, std::fmin(limit, turn)); }

/// The line of sight as a step first has it: here the maths library's own.
struct Sight {
    N Value;
    M Known; ///< where Value is the line of sight within the lanes' bound
};
inline Sight FirstSight(N x, N y) { return {SightDirection(x, y), true}; }
/// Where the line of sight is sure to be stored as the library's would be.
inline M SureStored(const Sight&) { return true; }
/// Where the cut turn is the same for the library's line of sight: here
/// nowhere to find out, the line of sight being the library's already.
inline N SureCutOf(const Record&, const Sight&, N, bool, M& sure)
{
    sure = false;
    return 0;
}
/// The library's line of sight, where `exact` says (here it is everywhere).
inline N ExactSight(M, N, N, const Sight& sight) { return sight.Value; }

} // namespace Lone
