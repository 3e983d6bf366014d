// Modes 0 and 1: the velocity is set afresh each frame at the shot's speed.

#include <cmath>

#include "Numbers.h"
#include "Steering.h"
#include "World.h"

namespace {

/// One axis of mode 0. The three tests round separately and may each overwrite
/// the one before; where the roundings disagree (the offset within one float
/// step of the speed) none may apply, and the component keeps last frame's value.
void ChaseAxis(float position, float target, float speed, float& velocity)
{
    const double offset = double(target) - double(position);
    if (ToFloat(double(position) + double(speed)) < target)
        velocity = speed;
    if (ToFloat(double(position) - double(speed)) > target)
        velocity = -speed;
    if (ToFloat(std::fabs(offset)) <= speed)
        velocity = ToFloat(offset);
}

} // namespace

void PerAxisChase(Shot& shot, const World& world)
{
    ChaseAxis(shot.X, world.MeX, shot.Speed, shot.VX);
    ChaseAxis(shot.Y, world.MeY, shot.Speed, shot.VY);
}

void DirectChase(Shot& shot, const World& world)
{
    const double ox = double(world.MeX) - double(shot.X);
    const double oy = double(world.MeY) - double(shot.Y);
    const double dist = std::sqrt(ox * ox + oy * oy);
    if (dist == 0) {
        // On the marker there is no direction: stand still (the hit test
        // of this frame catches the shot).
        shot.VX = 0;
        shot.VY = 0;
        return;
    }
    shot.VX = ToFloat(ox * double(shot.Speed) / dist);
    shot.VY = ToFloat(oy * double(shot.Speed) / dist);
}
