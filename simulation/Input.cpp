#include "Input.h"

void LoadWorld(World& world)
{
    world.ShowVectors = FlagTrue;
    world.Running = FlagTrue;
}

void SelectMode(World& world, SteeringMode mode)
{
    world.Mode = mode;
    ClearShots(world);
}

void PressOnPlayfield(World& world, MouseButton button)
{
    if (static_cast<std::int16_t>(button) >= 2)
        ClearShots(world);
}

void MovePointer(World& world, float x, float y)
{
    world.MeX = x;
    world.MeY = y;
}

void ToggleSpeedLimit(World& world) { world.SpeedLimitOn = Invert(world.SpeedLimitOn); }

void ToggleVectors(World& world) { world.ShowVectors = Invert(world.ShowVectors); }
