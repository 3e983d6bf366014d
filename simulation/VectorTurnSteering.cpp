// Mode 3: no stored heading and no arctangent. A cross product decides whether
// to swing the velocity by exactly `Turn` degrees or to aim it at the marker;
// either way its length, the shot's speed, is kept.

#include <cmath>

#include "LibraryShortcuts.h"
#include "Numbers.h"
#include "Steering.h"
#include "World.h"

void AngleChase2(Shot& shot, const World& world)
{
    const double vx = shot.VX;
    const double vy = shot.VY;
    const double ox = RoundToFloat(double(world.MeX) - double(shot.X));
    const double oy = RoundToFloat(double(world.MeY) - double(shot.Y));
    const double dist = RoundToFloat(std::sqrt(ox * ox + oy * oy));
    const double v = RoundToFloat(std::sqrt(vx * vx + vy * vy));
    // On the marker (or with no speed to keep) there is nothing to aim at:
    // keep flying as before; this frame's hit test catches a shot on the marker.
    if (!(dist > 0) || !std::isfinite(dist) || !(v > 0))
        return;

    const auto aimAtMarker = [&] {
        shot.VX = ToFloat(ox / dist * v);
        shot.VY = ToFloat(oy / dist * v);
    };

    const TurnTrig turn = TrigOfDegrees(shot.Turn); // the same for every frame of the shot's flight
    // Positive when the marker lies to the left of the direction of flight (y down).
    const float cross = ToFloat(vy * ox - vx * oy);
    const float limit = ToFloat(v * dist * turn.Sin);
    if (limit >= cross)
        return aimAtMarker();

    // The part of the offset at right angles to the velocity.
    const double dot = vy * oy + vx * ox;
    const double v2 = v * v;
    const double px = ToFloat(ox - (vx / v2) * dot);
    const double py = ToFloat(oy - (vy / v2) * dot);
    const double plen = RoundToFloat(std::sqrt(px * px + py * py));
    if (!(plen > 0))
        return aimAtMarker(); // too nearly parallel to tell a side: a float underflow

    // A sideways push of length tan(Turn) * v swings the velocity by exactly Turn.
    const double k = turn.Tan;
    const double nx = RoundToFloat(px / plen * k * v + vx);
    const double ny = RoundToFloat(py / plen * k * v + vy);
    const double nlen = RoundToFloat(std::sqrt(nx * nx + ny * ny));
    shot.VX = ToFloat(nx / nlen * v);
    shot.VY = ToFloat(ny / nlen * v);
}
