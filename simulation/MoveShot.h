#pragma once

#include "World.h"

struct BeepSink;

/// The movement pass of one frame: ages every flying shot, frees those that
/// reach the end of their life (they still take this one last move), steers
/// each by the world's mode and moves it by its velocity.
/// Returns the slots freed at the end of their life.
SlotMask MoveShot(World& world);

/// Frees every flying shot closer than 16 pixels to the marker, one beep each,
/// in slot order. Returns the slots it caught.
SlotMask HitTest(World& world, BeepSink& beep);
