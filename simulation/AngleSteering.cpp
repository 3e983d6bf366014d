// Mode 2: a stored heading, turned towards the marker by at most `Turn` degrees.

#include <cmath>
#include <cstdlib>

#include "LibraryShortcuts.h"
#include "Numbers.h"
#include "Steering.h"
#include "World.h"

std::int32_t GetDegree(float EEX, float EEY, float MEX, float MEY)
{
    // Whole-pixel offsets; far-off markers saturate rather than overflow.
    const std::int16_t dx = RoundToInt16(double(MEX) - double(EEX));
    const std::int16_t dy = RoundToInt16(double(MEY) - double(EEY));

    std::int32_t deg;
    if (std::abs(dx) > 0.000001) {
        deg = SlopeDegrees(dx, dy);
    } else {
        deg = dy > 0 ? 90 : dy < 0 ? 270 : 0;
    }
    if (dx < 0)
        deg += 180;
    return deg;
}

namespace {

/// The signed turn in whole degrees from `heading` to `target`, -179 to 180,
/// taken the short way round however far the heading has wound up.
std::int32_t TurnTowards(std::int32_t target, float heading)
{
    std::int32_t d = RoundToInt32(double(target) - double(heading) + 720) % 360;
    if (d < 0)
        d += 360;
    if (d > 180)
        d -= 360;
    return d;
}

} // namespace

void AngleChase(Shot& shot, const World& world)
{
    const std::int32_t t = GetDegree(shot.X, shot.Y, world.MeX, world.MeY);
    const std::int32_t d = TurnTowards(t, shot.Angle);
    if (double(d) > double(shot.Turn))
        shot.Angle = ToFloat(double(shot.Angle) + double(shot.Turn));
    else if (double(d) < -double(shot.Turn))
        shot.Angle = ToFloat(double(shot.Angle) - double(shot.Turn));
    else
        shot.Angle = ToFloat(t);

    HeadingVelocity(shot.Speed, shot.Angle, shot.VX, shot.VY);
}
