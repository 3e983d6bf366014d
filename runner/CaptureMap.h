#pragma once
// Capture maps: for every place the marker could stand, what happens to shots
// launched towards it by each steering method. Each shot is the simulation's
// own: launched, steered, moved and hit-tested by `RunFrame` in a world of its
// own, so a place's figures equal what the trace of the same scenario shows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "World.h"

/// The most shots a place may take.
inline constexpr int MaxMapShots = 256;

struct MapSettings {
    int Step = 1;            ///< pixels between the places mapped, across and down
    int Shots = 32;          ///< shots per place and method
    std::uint64_t Seed = 1;  ///< the seed every shot's own seed is made from
    bool FixedDraws = false; ///< every random draw is `Draw` instead of the shot's own
    float Draw = 0.5f;       ///< in [0, 1)
    bool Limit = false;      ///< the speed limit on (modes 4 and 5)
    float MarkerVX = 0;      ///< the marker's velocity from its place, pixels per frame
    float MarkerVY = 0;      ///< pixels per frame
    unsigned Threads = 0;    ///< 0: one per core
};

/// What the shots of one method did towards one place.
struct PlaceFigures {
    std::uint16_t Shots = 0;
    std::uint16_t Caught = 0;
    std::uint16_t Median = 0; ///< frames to the catch, with uncaught shots counted as never; 0 when not defined
    std::uint16_t P90 = 0;    ///< the 90th percentile, likewise
    float Mean = 0;           ///< mean frames to the catch of the caught shots; 0 when none was

    /// At least half the shots are caught: the median is defined.
    bool MostlyCaught() const { return 2 * Caught >= Shots; }
};

/// The generator seed of shot `shot` towards (x, y) in `mode`: a script
/// `seed N`, `mode M`, `move X Y` and `frames` flies the same shot first.
std::uint64_t ShotSeed(std::uint64_t seed, int x, int y, SteeringMode mode, int shot);

/// Frames from launch to catch of one shot (the launch frame counts as 1), or
/// 0 when it expires first.
int FlyShot(const MapSettings& settings, SteeringMode mode, int x, int y, int shot);

PlaceFigures MapPlace(const MapSettings& settings, SteeringMode mode, int x, int y);

/// Every place of the grid for all six methods, row by row, the methods of
/// one place together: [(row * columns + column) * SteeringModeCount + mode]. The work is
/// spread over the threads; the result does not depend on how many.
struct CaptureMap {
    int Columns = 0, Rows = 0;
    std::vector<PlaceFigures> Places;

    /// Where a place's figures for `mode` lie in `Places`.
    std::size_t Index(int column, int row, int mode) const
    {
        return (std::size_t(row) * std::size_t(Columns) + std::size_t(column)) * SteeringModeCount + std::size_t(mode);
    }
    PlaceFigures& At(int column, int row, int mode) { return Places[Index(column, row, mode)]; }
    const PlaceFigures& At(int column, int row, int mode) const { return Places[Index(column, row, mode)]; }
};

/// The share of places where a method catches at least half its shots, in whole percent.
int MostlyCaughtPercent(const CaptureMap& map, SteeringMode mode);

/// `progress` is told the share done (0 to 1) now and then, from the calling thread.
CaptureMap ComputeMap(const MapSettings& settings, const std::function<void(double)>& progress = {});

/// The map as CSV: x, y, method, shots, caught, median, p90, mean.
std::string MapCsvHeader();
std::string MapCsvRows(const CaptureMap& map, const MapSettings& settings, int row);
