#pragma once
// Shots that fly alone: each launched into a world as the window's after
// `mode M` (and `limit`) and flown by the per-slot code of the frame
// (simulation/ShotStep.h), with no table of 21 slots around it, several
// side by side.

#include <cstdint>

#include "MapSettings.h"
#include "World.h"

/// The generator seed of shot `shot` towards (x, y) in `mode`: a script
/// `seed N`, `mode M`, `move X Y` and `frames` flies the same shot first.
std::uint64_t ShotSeed(std::uint64_t seed, int x, int y, SteeringMode mode, int shot);

/// Flies shots `first` to `first + count - 1` (count at most MaxMapShots)
/// towards the marker at (x, y), moving as `settings` say, each as the first
/// shot of its own script, and gives each one's frames from launch to catch
/// in `frames` (the launch frame counts as 1), or 0 when it expired first.
void FlyShots(const MapSettings& settings, SteeringMode mode, int x, int y, int first, int count, int* frames);
