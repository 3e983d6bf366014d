#pragma once
// Shots that fly alone: each launched into a world as the window's after
// `mode M` (and `limit`) and flown by the per-slot code of the frame
// (simulation/ShotStep.h), with no table of 21 slots around it, several
// side by side.

#include <cstdint>
#include <vector>

#include "MapSettings.h"
#include "World.h"

/// The generator seed of shot `shot` towards (x, y) in `mode`: a script
/// `seed N`, `mode M`, `move X Y` and `frames` flies the same shot first.
std::uint64_t ShotSeed(std::uint64_t seed, int x, int y, SteeringMode mode, int shot);

/// Where the marker whose place is (x, y) stands in frame `frame` of a
/// flight (1, the launch frame), moving as `settings` say: worked out in
/// double and stored as the pointer stores it, so a script of `move` lines
/// at these positions flies the same shots.
struct MarkerPoint {
    float X = 0, Y = 0; ///< pixels
};
MarkerPoint MarkerAt(const MapSettings& settings, int x, int y, int frame);

/// The same, for every frame of one place's flights: the way from the
/// launcher worked out once.
struct MarkerPath {
    MarkerPath(const MapSettings& settings, int x, int y);
    MarkerPoint At(int frame) const;
    /// The marker stays at its place: At is the same every frame.
    bool Still() const;

private:
    const MapSettings& Settings;
    int X, Y;
    double UX, UY; ///< the unit way from the launcher to the place
};

/// Launches the map's shot `shot` towards (x, y) into `launched`, drawing
/// as the map draws for it (its own seed, fixed draws, a held draw).
void LaunchMapShot(Shot& launched, const MapSettings& settings, SteeringMode mode, int x, int y, int shot);

/// The values that launch draws, in order: what a script's `random` line
/// gives a world's launch to make the same shot.
std::vector<float> LaunchDrawsOf(const MapSettings& settings, SteeringMode mode, int x, int y, int shot);

/// What one shot did.
struct ShotEnd {
    int Frames = 0;    ///< from launch to the catch (the launch frame counts as 1); 0: it expired first
    float Closest = 0; ///< its closest approach to the marker as the hit test measured it, pixels
};

/// Flies shots `first` to `first + count - 1` (count at most MaxMapShots)
/// towards the marker at (x, y), moving as `settings` say, each as the first
/// shot of its own script, and says how each ended. Shots that launch with
/// the same bits are flown once; enough of them to keep vector lanes full
/// (LaneShots.h) fly there.
void FlyShots(const MapSettings& settings, SteeringMode mode, int x, int y, int first, int count, ShotEnd* ends);
/// The same, never in lanes: each shot by the frame's per-slot code, which
/// the lanes are held to.
void FlyShotsBySlotCode(const MapSettings& settings, SteeringMode mode, int x, int y, int first, int count,
                        ShotEnd* ends);

/// A place the marker stands at, pixels.
struct PlacePoint {
    int X = 0, Y = 0;
};

/// Flies shots 0 to `shots` - 1 towards each of `count` places, as FlyShots
/// flies each place's; place n's ends at `ends` + n * `shots`. The places'
/// shots fly side by side in vector lanes together.
void FlyPlaces(const MapSettings& settings, SteeringMode mode, const PlacePoint* places, int count, int shots,
               ShotEnd* ends);
