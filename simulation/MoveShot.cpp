#include "MoveShot.h"

#include "ShotStep.h"

SlotMask MoveShot(World& world)
{
    SlotMask expired = 0;
    for (int slot = 0; slot < ShotSlots; ++slot) {
        Shot& shot = world.Shots[slot];
        if (shot.Alive && MoveFlyingShot(shot, world))
            expired |= SlotMask{1} << slot;
    }
    return expired;
}
