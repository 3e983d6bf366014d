// What a steering step copied from the page stands on, in one piece with no
// header of the simulation: the shot's record, the number rules, and the
// maths library's calls as the simulation makes them (its shortcuts give
// the same bits, looked up). Put before the step by "Copy the step"; built
// and held to the simulation's own by a test (StepPrelude.*).
#include <cmath>
#include <cstdint>
#include <limits>

/// The one factor between degrees and radians: 3.1415926535 / 180, not the exact pi / 180.
inline constexpr double DegToRad = 0.017453292519444445;

/// A missile: floats stored, worked out in double. What Speed, Angle, Turn
/// and Gain hold is each method's own.
struct Shot {
    float X = 0, Y = 0;   ///< position, pixels
    float VX = 0, VY = 0; ///< velocity, pixels per frame
    float Speed = 0, Angle = 0, Turn = 0, Gain = 0;
    float Sight = 0;              ///< the line of sight at the last step, radians
    float SeenX = 0, SeenY = 0;   ///< the marker as last seen, pixels
    float SeenVX = 0, SeenVY = 0; ///< its velocity as last seen, pixels per frame
    float Turned = 0;             ///< the turn taken last frame through a guidance lag, radians
    std::uint32_t NoiseKey = 0;   ///< the key of the shot's seeker errors
    std::int32_t Age = 0;         ///< frames flown
    std::int16_t Alive = 0;       ///< -1 while it flies
};

using N = double; ///< a number: every sum and product in double
using Record = Shot;
#define STEP_INLINE inline
#define STEP_APART inline

inline std::uint32_t BitsOf(float value) { return __builtin_bit_cast(std::uint32_t, value); }
inline std::uint64_t BitsOf(double value) { return __builtin_bit_cast(std::uint64_t, value); }
/// A result stored into a float field (round to nearest).
inline float ToFloat(double value) { return static_cast<float>(value); }
/// Rounded to float for more double arithmetic, whatever the optimiser does.
inline double RoundToFloat(double value)
{
    volatile float rounded = static_cast<float>(value);
    return rounded;
}
/// To the nearest whole number, ties to even, saturating; NaN to 0.
template <typename Int>
Int RoundTiesToEven(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (value >= static_cast<double>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(std::llrint(value));
}
inline std::int32_t RoundToInt32(double value) { return RoundTiesToEven<std::int32_t>(value); }
inline std::int16_t RoundToInt16(double value) { return RoundTiesToEven<std::int16_t>(value); }

/// sin, cos and tan of a turn of `degrees`.
struct TurnTrig {
    double Sin, Cos, Tan;
};
inline TurnTrig TrigOfDegrees(float degrees)
{
    const double radians = double(degrees) * DegToRad;
    return {std::sin(radians), std::cos(radians), std::tan(radians)};
}
/// The whole degrees of a slope of whole-pixel offsets, dx != 0, -90 to 90.
inline std::int32_t SlopeDegrees(std::int16_t dx, std::int16_t dy)
{
    const double a = RoundToFloat(std::atan(double(dy) / double(dx)));
    return RoundToInt16(a / DegToRad);
}
/// A velocity of `speed` along the heading `degrees`.
inline void HeadingVelocity(float speed, float degrees, float& vx, float& vy)
{
    const double radians = double(degrees) * DegToRad;
    vx = ToFloat(double(speed) * std::cos(radians));
    vy = ToFloat(double(speed) * std::sin(radians));
}
/// The direction of (x, y), radians in [-pi, pi]: the line of sight.
inline double SightDirection(double x, double y)
{
    const double pi = 3.141592653589793;
    if (x > 0)
        return std::atan(y / x);
    if (x < 0)
        return y >= 0 ? std::atan(y / x) + pi : std::atan(y / x) - pi;
    return y > 0 ? pi / 2 : y < 0 ? -pi / 2 : 0;
}
/// An angle wrapped to (-pi, pi].
inline double HalfTurn(double angle)
{
    const double pi = 3.141592653589793;
    const double wrapped = std::fabs(angle) <= pi ? angle : std::remainder(angle, 2 * pi);
    return wrapped == -pi ? pi : wrapped;
}
/// SplitMix64's finaliser, of the value one step on.
inline std::uint64_t Mix64(std::uint64_t value)
{
    std::uint64_t z = value + 0x9E3779B97F4A7C15u;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}
/// A seeker's error before its spread: four even draws from the key and the frame, mean 0, spread 1.
inline double SeekerErrorDraw(std::uint32_t key, double age)
{
    const std::uint64_t bits = Mix64((std::uint64_t(key) << 32) | std::uint32_t(std::int32_t(age)));
    double sum = 0;
    for (int draw = 0; draw < 4; ++draw)
        sum += (double((bits >> (16 * draw)) & 0xFFFFu) + 0.5) / 65536.0;
    return (sum - 2.0) * 1.7320508075688772;
}
