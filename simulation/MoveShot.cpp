#include "MoveShot.h"

#include "Numbers.h"
#include "Steering.h"

void Steer(Shot& shot, const World& world)
{
    switch (world.Mode) {
    case SteeringMode::PerAxisChase: return PerAxisChase(shot, world);
    case SteeringMode::DirectChase: return DirectChase(shot, world);
    case SteeringMode::AngleChase: return AngleChase(shot, world);
    case SteeringMode::AngleChase2: return AngleChase2(shot, world);
    case SteeringMode::PerAxisAccelChase: return PerAxisAccelChase(shot, world);
    case SteeringMode::AccelChase: return AccelChase(shot, world);
    case SteeringMode::Count: return; // not a method
    }
}

SlotMask MoveShot(World& world)
{
    SlotMask expired = 0;
    for (int slot = 0; slot < ShotSlots; ++slot) {
        Shot& shot = world.Shots[slot];
        if (!shot.Alive)
            continue;
        shot.Age += 1;
        if (shot.Age >= ShotLife) {
            shot.Alive = FlagFalse;
            expired |= SlotMask{1} << slot;
        }
        Steer(shot, world);
        // Compiled without the SLP vectorizer (CMakeLists.txt): VX and VY are
        // read one at a time, as the steering steps may have stored them.
        shot.X = ToFloat(double(shot.VX) + double(shot.X));
        shot.Y = ToFloat(double(shot.VY) + double(shot.Y));
    }
    return expired;
}
