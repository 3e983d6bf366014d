#include "Shoot.h"

#include <cmath>

#include "Numbers.h"
#include "Random.h"
#include "World.h"

namespace {

int LowestFreeSlot(const World& world)
{
    for (int slot = 0; slot < ShotSlots; ++slot)
        if (!world.Shots[slot].Alive)
            return slot;
    return -1;
}

/// r * scale + offset in double, stored as a float: a value in [offset, offset + scale).
float Draw(RandomSource& random, double scale, double offset)
{
    return ToFloat(double(random.RandomUnit()) * scale + offset);
}

} // namespace

int Shoot(World& world, RandomSource& random)
{
    const int slot = LowestFreeSlot(world);
    if (slot < 0)
        return -1;
    LaunchShot(world.Shots[slot], world.Mode, random);
    return slot;
}

void LaunchShot(Shot& shot, SteeringMode mode, RandomSource& random)
{
    shot.Alive = FlagTrue;
    shot.Age = 0;
    shot.X = LaunchX;
    shot.Y = LaunchY;
    shot.VX = 0;
    shot.VY = 0;

    // Each draw is a separate call, in the order speed, angle, turn.
    switch (mode) {
    case SteeringMode::PerAxisChase: shot.Speed = Draw(random, 3, 1); break;
    case SteeringMode::DirectChase: shot.Speed = Draw(random, 5, 2); break;
    case SteeringMode::AngleChase:
    case SteeringMode::AngleChase2:
        shot.Speed = Draw(random, 5, 2);
        shot.Angle = Draw(random, 360, 0);
        shot.Turn = Draw(random, 5, 2);
        // Launched at full speed in a random direction.
        shot.VX = ToFloat(double(shot.Speed) * std::cos(double(shot.Angle) * DegToRad));
        shot.VY = ToFloat(double(shot.Speed) * std::sin(double(shot.Angle) * DegToRad));
        break;
    case SteeringMode::PerAxisAccelChase:
        shot.Speed = Draw(random, 0.3, 0.1); // acceleration
        shot.Angle = Draw(random, 7, 3);     // speed limit
        break;
    case SteeringMode::AccelChase:
        shot.Speed = Draw(random, 0.5, 0.2); // acceleration
        shot.Angle = Draw(random, 7, 3);     // speed limit
        break;
    case SteeringMode::Count: break; // not a method
    }
}
