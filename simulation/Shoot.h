#pragma once

#include "World.h"

struct RandomSource;

/// Launches one shot from the centre into the lowest free slot, with flight
/// parameters drawn for the world's mode. With all slots in use it does nothing.
/// Returns the slot it filled, or -1.
int Shoot(World& world, RandomSource& random);

/// One slot's part of the launch: the shot placed at the centre, flying, age 0,
/// with its flight parameters drawn for `mode` (each draw a call of its own,
/// in the order speed, angle, turn). Capture maps launch lone shots with it.
void LaunchShot(Shot& shot, SteeringMode mode, RandomSource& random);
