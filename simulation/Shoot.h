#pragma once

struct World;
struct RandomSource;

/// Launches one shot from the centre into the lowest free slot, with flight
/// parameters drawn for the world's mode. With all slots in use it does nothing.
/// Returns the slot it filled, or -1.
int Shoot(World& world, RandomSource& random);
