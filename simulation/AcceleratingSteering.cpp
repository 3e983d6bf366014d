// Modes 4 and 5: a push towards the marker is added to the velocity, so shots
// build up speed, overshoot and swing back, unless the speed limit is on.

#include <cmath>

#include "Numbers.h"
#include "Steering.h"
#include "World.h"

namespace {

/// Caps the velocity (vx, vy) at `limit` while the world's speed limit is on.
void LimitSpeed(float& vx, float& vy, float limit, const World& world)
{
    if (!world.SpeedLimitOn)
        return;
    const double v = RoundToFloat(std::sqrt(double(vx) * double(vx) + double(vy) * double(vy)));
    if (v > double(limit)) {
        const double scale = double(limit) / v;
        vx = ToFloat(scale * double(vx));
        vy = ToFloat(scale * double(vy));
    }
}

} // namespace

void PerAxisAccelChase(Shot& shot, const World& world)
{
    // Worked on in locals and stored once, as a pair: the speed limit reads
    // VX and VY back as one 8-byte vector load, which cannot be forwarded from
    // two separate 4-byte stores just before it; that stall made this step
    // four times slower once GCC vectorized the limit.
    float vx = shot.VX;
    float vy = shot.VY;
    // Level with the marker on an axis: that component is left as it is.
    if (world.MeX > shot.X)
        vx = ToFloat(double(shot.Speed) + double(vx));
    if (world.MeX < shot.X)
        vx = ToFloat(double(vx) - double(shot.Speed));
    if (world.MeY > shot.Y)
        vy = ToFloat(double(shot.Speed) + double(vy));
    if (world.MeY < shot.Y)
        vy = ToFloat(double(vy) - double(shot.Speed));
    LimitSpeed(vx, vy, shot.Angle, world);
    shot.VX = vx;
    shot.VY = vy;
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

void ApplySpeedLimit(Shot& shot, const World& world) { LimitSpeed(shot.VX, shot.VY, shot.Angle, world); }
