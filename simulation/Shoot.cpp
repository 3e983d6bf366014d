#include "Shoot.h"

#include <cmath>

#include "LibraryShortcuts.h"
#include "Methods.h"
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

} // namespace

int Shoot(World& world, RandomSource& random)
{
    const int slot = LowestFreeSlot(world);
    if (slot < 0)
        return -1;
    Shot& shot = world.Shots[slot];
    LaunchShot(shot, world.Mode, random);
    shot.NoiseKey = world.Noise > 0 ? NoiseKeyOf(world.NoiseSeed, world.FrameCount) : 0;
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
    shot.Sight = 0; // nothing seen yet
    shot.SeenX = shot.SeenY = shot.SeenVX = shot.SeenVY = 0;
    shot.Turned = 0;
    shot.NoiseKey = 0;

    if (int(mode) < 0 || int(mode) >= SteeringModeCount)
        return; // not a method
    // Each draw is a call of its own, in the table's order; what a method
    // does not draw keeps the slot's earlier value.
    bool headed = false;
    for (const MethodDraw& draw : MethodOf(mode).Draws) {
        if (draw.Draw == LaunchDraw::None)
            break;
        shot.*draw.Field = LaunchValue(draw, random.RandomUnit());
        headed |= draw.Draw == LaunchDraw::Heading;
    }
    if (headed) { // launched at full speed along its heading
        HeadingVelocity(shot.Speed, shot.Angle, shot.VX, shot.VY);
    }
}

float LaunchValue(const MethodDraw& draw, float r) { return ToFloat(double(r) * draw.Scale + draw.Offset); }
