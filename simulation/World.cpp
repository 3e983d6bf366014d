#include "World.h"

#include "Seams.h"
#include "ShotStep.h"

void ClearShots(World& world)
{
    for (Shot& shot : world.Shots)
        shot.Alive = FlagFalse;
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

int FlyingShots(const World& world)
{
    int flying = 0;
    for (const Shot& shot : world.Shots)
        flying += shot.Alive ? 1 : 0;
    return flying;
}
