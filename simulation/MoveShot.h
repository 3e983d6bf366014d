#pragma once

#include "World.h"

/// The movement pass of one frame: ages every flying shot, frees those that
/// reach the end of their life (they still take this one last move), steers
/// each by the world's mode and moves it by its velocity.
/// Returns the slots freed at the end of their life.
SlotMask MoveShot(World& world);
