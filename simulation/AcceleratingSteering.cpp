// Modes 4 and 5: a push towards the marker is added to the velocity, so shots
// build up speed, overshoot and swing back, unless the speed limit is on.

#include <cmath>

#include "Numbers.h"
#include "Steering.h"
#include "World.h"

void PerAxisAccelChase(Shot& shot, const World& world)
{
    // Level with the marker on an axis: that component is left as it is.
    if (world.MeX > shot.X)
        shot.VX = ToFloat(double(shot.Speed) + double(shot.VX));
    if (world.MeX < shot.X)
        shot.VX = ToFloat(double(shot.VX) - double(shot.Speed));
    if (world.MeY > shot.Y)
        shot.VY = ToFloat(double(shot.Speed) + double(shot.VY));
    if (world.MeY < shot.Y)
        shot.VY = ToFloat(double(shot.VY) - double(shot.Speed));
    ApplySpeedLimit(shot, world);
}

void AccelChase(Shot& shot, const World& world)
{
    const double ox = double(world.MeX) - double(shot.X);
    const double oy = double(world.MeY) - double(shot.Y);
    const double dist = std::sqrt(ox * ox + oy * oy);
    // On the marker there is no direction to push in: no push this frame.
    if (dist > 0) {
        shot.VX = ToFloat(ox * double(shot.Speed) / dist + double(shot.VX));
        shot.VY = ToFloat(oy * double(shot.Speed) / dist + double(shot.VY));
    }
    ApplySpeedLimit(shot, world);
}

void ApplySpeedLimit(Shot& shot, const World& world)
{
    if (!world.SpeedLimitOn)
        return;
    const double vx = shot.VX;
    const double vy = shot.VY;
    const double v = RoundToFloat(std::sqrt(vx * vx + vy * vy));
    const double limit = shot.Angle;
    if (v > limit) {
        shot.VX = ToFloat(limit / v * vx);
        shot.VY = ToFloat(limit / v * vy);
    }
}
