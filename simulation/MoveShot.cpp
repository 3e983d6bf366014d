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

SlotMask HitTest(World& world, BeepSink& beep)
{
    SlotMask caught = 0;
    for (int slot = 0; slot < ShotSlots; ++slot) {
        Shot& shot = world.Shots[slot];
        if (shot.Alive && HitTestFlyingShot(shot, world, beep))
            caught |= SlotMask{1} << slot;
    }
    return caught;
}
