#include "World.h"

#include "Seams.h"

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
        if (!shot.Alive)
            continue;
        const double dy = double(world.MeY) - double(shot.Y);
        const double dx = double(world.MeX) - double(shot.X);
        if (dy * dy + dx * dx < HitRadiusSquared) {
            beep.Beep();
            shot.Alive = FlagFalse;
            caught |= SlotMask{1} << slot;
        }
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
