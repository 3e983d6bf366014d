#pragma once
// What the window's controls do to the world, shared by the window's handlers
// and the headless runner so both mean the same by a click.

#include "World.h"

/// The window has loaded: velocity lines on, the frame loop may run.
void LoadWorld(World& world);

/// An option button: the new mode, and every flying shot vanishes (no beep).
void SelectMode(World& world, SteeringMode mode);

/// Mouse buttons as the playfield reports them.
enum class MouseButton : std::int16_t { Left = 1, Right = 2, Middle = 4 };

/// A press on the playfield: right or middle clears the shots, left does nothing.
void PressOnPlayfield(World& world, MouseButton button);

/// The pointer over the playfield, in playfield pixels, unclamped.
void MovePointer(World& world, float x, float y);

/// The speed-limit check box.
void ToggleSpeedLimit(World& world);

/// The velocity-lines check box.
void ToggleVectors(World& world);
