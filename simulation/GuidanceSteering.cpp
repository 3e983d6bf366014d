// Modes 6 to 8: the guidance field's own laws. Each flies at its constant
// speed and turns its velocity by at most `Turn` degrees a frame; a wanted
// direction within that limit is taken exactly. The marker is seen only
// through its positions: its velocity is its position now minus its position
// at the shot's last step, its acceleration the change of that velocity, so
// a shot's first step sees a still marker and its second no acceleration.

#include <cmath>
#include <cstdint>
#include <numbers>

#include "LibraryShortcuts.h"
#include "Numbers.h"
#include "Steering.h"
#include "World.h"

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

namespace {

/// Sets the velocity to the shot's speed along (x, y), which is not zero.
void FlyAlong(Shot& shot, double x, double y, double length)
{
    shot.VX = ToFloat(x / length * double(shot.Speed));
    shot.VY = ToFloat(y / length * double(shot.Speed));
}

double TurnLimit(const Shot& shot) { return double(shot.Turn) * DegToRad; }

bool SameBits(double a, double b) { return BitsOf(a) == BitsOf(b); }

/// Turns the velocity by `angle` radians (positive from x towards y), at the
/// shot's speed. The whole limit either way, the commonest turn, is the shot's
/// kept turn (its cos and sin are those of the very same radians).
void TurnBy(Shot& shot, double angle)
{
    const double vx = shot.VX, vy = shot.VY;
    const double v = std::sqrt(vx * vx + vy * vy);
    if (!(v > 0))
        return; // no direction to turn
    const double limit = TurnLimit(shot);
    const bool left = SameBits(angle, limit), right = SameBits(angle, -limit);
    double c, s;
    if (left || right) {
        const TurnTrig turn = TrigOfDegrees(left ? shot.Turn : -shot.Turn);
        c = turn.Cos, s = turn.Sin;
    } else {
        c = std::cos(angle), s = std::sin(angle);
    }
    FlyAlong(shot, vx * c - vy * s, vx * s + vy * c, v);
}

/// Turns towards the direction (x, y): straight onto it when it lies within
/// the turn limit, else by the whole limit towards its side (the positive
/// side when it lies straight behind).
void TurnTowards(Shot& shot, double x, double y)
{
    const double vx = shot.VX, vy = shot.VY;
    const double v = std::sqrt(vx * vx + vy * vy), w = std::sqrt(x * x + y * y);
    if (!(v > 0) || !(w > 0) || !std::isfinite(w))
        return; // on the marker, or nothing to turn: fly on as before
    const double limit = TurnLimit(shot);
    if ((vx * x + vy * y) / (v * w) >= TrigOfDegrees(shot.Turn).Cos)
        return FlyAlong(shot, x, y, w);
    TurnBy(shot, vx * y - vy * x >= 0 ? limit : -limit);
}

/// What a shot sees of the marker this step.
struct Sighting {
    double X, Y;   ///< the marker's offset from the shot, pixels
    double VX, VY; ///< the marker's velocity, pixels a frame (0 on the first step)
    double AX, AY; ///< its acceleration, pixels a frame per frame (0 on the first two steps)
};

Sighting Look(const Shot& shot, const World& world)
{
    Sighting seen{double(world.MeX) - double(shot.X), double(world.MeY) - double(shot.Y), 0, 0, 0, 0};
    if (shot.Age >= 2) {
        seen.VX = double(world.MeX) - double(shot.SeenX);
        seen.VY = double(world.MeY) - double(shot.SeenY);
    }
    if (shot.Age >= 3) {
        seen.AX = seen.VX - double(shot.SeenVX);
        seen.AY = seen.VY - double(shot.SeenVY);
    }
    return seen;
}

/// Remembers this step's sighting for the next.
void Remember(Shot& shot, const World& world, const Sighting& seen, double sight)
{
    shot.SeenX = world.MeX;
    shot.SeenY = world.MeY;
    shot.SeenVX = ToFloat(seen.VX);
    shot.SeenVY = ToFloat(seen.VY);
    shot.Sight = ToFloat(sight);
}

/// The earliest time t > 0, frames, at which a shot at `speed` from the
/// origin meets a marker at (x, y) moving by (vx, vy): |(x, y) + t (vx, vy)|
/// = speed t. Negative when there is none.
double InterceptTime(double x, double y, double vx, double vy, double speed)
{
    const double a = vx * vx + vy * vy - speed * speed;
    const double b = 2 * (x * vx + y * vy);
    const double c = x * x + y * y;
    if (a == 0)
        return b < 0 ? -c / b : -1;
    const double disc = b * b - 4 * a * c;
    if (disc < 0)
        return -1;
    const double root = std::sqrt(disc);
    const double early = (-b - root) / (2 * a), late = (-b + root) / (2 * a);
    const double first = std::fmin(early, late), second = std::fmax(early, late);
    return first > 0 ? first : second > 0 ? second : -1;
}

/// The turn proportional navigation asks for, radians: N times the line of
/// sight's turn since the last step (none on the first).
double NavigationTurn(const Shot& shot, double sight)
{
    return shot.Age >= 2 ? double(shot.Gain) * HalfTurn(sight - double(shot.Sight)) : 0;
}

/// Turns by `turn` radians, at most the limit; a shot heading more than 90
/// degrees off the line of sight (out of its seeker's view) turns towards
/// the marker at its full limit instead.
void Navigate(Shot& shot, const Sighting& seen, double turn)
{
    if (double(shot.VX) * seen.X + double(shot.VY) * seen.Y < 0)
        return TurnTowards(shot, seen.X, seen.Y);
    const double limit = TurnLimit(shot);
    TurnBy(shot, std::fmax(-limit, std::fmin(limit, turn)));
}

} // namespace

bool LeadPoint(const Shot& shot, const World& world, double& x, double& y)
{
    const Sighting seen = Look(shot, world);
    const double t = InterceptTime(seen.X, seen.Y, seen.VX, seen.VY, shot.Speed);
    x = world.MeX;
    y = world.MeY;
    if (!(t > 0))
        return false;
    x += seen.VX * t;
    y += seen.VY * t;
    return true;
}

void LeadChase(Shot& shot, const World& world)
{
    const Sighting seen = Look(shot, world);
    const double t = InterceptTime(seen.X, seen.Y, seen.VX, seen.VY, shot.Speed);
    if (t > 0)
        TurnTowards(shot, seen.X + seen.VX * t, seen.Y + seen.VY * t);
    else
        TurnTowards(shot, seen.X, seen.Y); // no meeting point: at the marker itself
    Remember(shot, world, seen, SightDirection(seen.X, seen.Y));
}

void ProportionalNavigation(Shot& shot, const World& world)
{
    const Sighting seen = Look(shot, world);
    const double sight = SightDirection(seen.X, seen.Y);
    Navigate(shot, seen, NavigationTurn(shot, sight));
    Remember(shot, world, seen, sight);
}

void AugmentedProportionalNavigation(Shot& shot, const World& world)
{
    const Sighting seen = Look(shot, world);
    const double sight = SightDirection(seen.X, seen.Y);
    const double distance = std::sqrt(seen.X * seen.X + seen.Y * seen.Y);
    // The marker's acceleration across the line of sight, positive on the
    // side a positive turn goes to, as a turn at the shot's speed.
    const double across = distance > 0 ? (seen.AY * seen.X - seen.AX * seen.Y) / distance : 0;
    const double push = double(shot.Speed) > 0 ? double(shot.Gain) / 2 * across / double(shot.Speed) : 0;
    Navigate(shot, seen, NavigationTurn(shot, sight) + push);
    Remember(shot, world, seen, sight);
}
