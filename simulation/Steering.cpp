// The steering steps flown by one shot alone: the window, the traces and the
// frame's per-slot code. The steps themselves are in steps/, written once for
// a shot alone and for the maps' vector lanes.

#include "Steering.h"

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

#include "LoneNumbers.h"
#include "Random.h"

namespace Lone {
#include "Steps.inc"
} // namespace Lone

template <SteeringMode Mode>
void StepAlone(Shot& shot, const World& world)
{
    Lone::Step(Mode, shot, Lone::InputsOf(shot, world));
}

namespace {

template <std::size_t... Mode>
constexpr std::array<void (*)(Shot&, const World&), sizeof...(Mode)> EveryStep(std::index_sequence<Mode...>)
{
    return {&StepAlone<SteeringMode(Mode)>...};
}

} // namespace

// Made here, for every mode: the per-slot code calls them by their mode.
const std::array<void (*)(Shot&, const World&), SteeringModeCount> StepsAlone =
    EveryStep(std::make_index_sequence<SteeringModeCount>());

std::int32_t GetDegree(float EEX, float EEY, float MEX, float MEY)
{
    return std::int32_t(Lone::DegreesToMarker(true, EEX, EEY, MEX, MEY));
}

void ApplySpeedLimit(Shot& shot, const World& world) { Lone::LimitStoredSpeed(shot, world.SpeedLimitOn); }

bool LeadPoint(const Shot& shot, const World& world, double& x, double& y)
{
    const Lone::Seen seen = Lone::Look(shot, Lone::InputsOf(shot, world));
    const double t = Lone::InterceptTime(seen.X, seen.Y, seen.VX, seen.VY, shot.Speed);
    x = world.MeX;
    y = world.MeY;
    if (!(t > 0))
        return false;
    x += seen.VX * t;
    y += seen.VY * t;
    return true;
}

double SightDirection(double x, double y)
{
    if (x > 0)
        return std::atan(y / x);
    if (x < 0)
        return y >= 0 ? std::atan(y / x) + std::numbers::pi : std::atan(y / x) - std::numbers::pi;
    return y > 0 ? std::numbers::pi / 2 : y < 0 ? -std::numbers::pi / 2 : 0;
}

double HalfTurn(double angle)
{
    // Within half a turn already (the commonest case) the remainder is the
    // angle itself, ties going to the even quotient 0.
    const double wrapped = std::fabs(angle) <= std::numbers::pi
                               ? angle
                               : std::remainder(angle, 2 * std::numbers::pi); // exact, and NaN for infinity
    return wrapped == -std::numbers::pi ? std::numbers::pi : wrapped;
}

double SeekerErrorDraw(std::uint32_t key, double age)
{
    const std::uint64_t bits = Mix64((std::uint64_t(key) << 32) | std::uint32_t(std::int32_t(age)));
    double sum = 0; // four draws in (0, 1), each 16 bits
    for (int draw = 0; draw < 4; ++draw)
        sum += (double((bits >> (16 * draw)) & 0xFFFFu) + 0.5) / 65536.0;
    return (sum - 2.0) * 1.7320508075688772; // the sum's spread is 1 / sqrt(3)
}
