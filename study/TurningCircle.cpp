#include "TurningCircle.h"

#include <cmath>
#include <numbers>

#include "World.h"

namespace {
const double CatchRadius = std::sqrt(HitRadiusSquared); ///< pixels
}

double TurningRadius(double speed, double turn) { return turn != 0 ? speed / (std::abs(turn) * DegToRad) : 0; }

bool OutOfReach(double speed, double turn, double ahead, double beside)
{
    const double radius = TurningRadius(speed, turn);
    if (!(radius > CatchRadius))
        return false;
    // The circle on the marker's side touches the heading at the shot.
    const double fromCentre = std::hypot(ahead, std::abs(beside) - radius);
    return fromCentre < radius - CatchRadius;
}

double TurnToReach(double speed, double beside)
{
    return 360 * speed / (std::numbers::pi * (std::abs(beside) + CatchRadius));
}
