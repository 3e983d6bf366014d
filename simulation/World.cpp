#include "World.h"

void ClearShots(World& world)
{
    for (Shot& shot : world.Shots)
        shot.Alive = FlagFalse;
}

int FlyingShots(const World& world)
{
    int flying = 0;
    for (const Shot& shot : world.Shots)
        flying += shot.Alive ? 1 : 0;
    return flying;
}
