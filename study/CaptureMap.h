#pragma once
// Capture maps: for every place the marker could stand, what happens to shots
// launched towards it by each steering method. Each shot flies alone, by the
// simulation's own per-slot code (LoneShots.h), so a place's figures equal
// what the trace of the same scenario shows. No Qt: the runner draws them,
// and the page computes them too.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "LoneShots.h"
#include "MapSettings.h"
#include "World.h"

/// What the shots of one method did towards one place.
struct PlaceFigures {
    std::uint16_t Shots = 0;
    std::uint16_t Caught = 0;
    std::uint16_t Median = 0; ///< frames to the catch, with uncaught shots counted as never; 0 when not defined
    std::uint16_t P90 = 0;    ///< the 90th percentile, likewise
    float Mean = 0;           ///< mean frames to the catch of the caught shots; 0 when none was
    float Miss = 0;           ///< median closest approach of the shots not caught, pixels; 0 when all were

    /// At least half the shots are caught: the median is defined.
    bool MostlyCaught() const { return 2 * Caught >= Shots; }
};

/// Which of `count` values, from the smallest (1), a figure at `share` is:
/// k = ceil(share * count), so the median of 9 is the 5th, of 8 the 4th.
int FigureRank(int count, double share);

/// Frames from launch to catch of one shot (the launch frame counts as 1), or
/// 0 when it expires first.
int FlyShot(const MapSettings& settings, SteeringMode mode, int x, int y, int shot);

/// The figures of a place's shots (all of them flown side by side).
PlaceFigures MapPlace(const MapSettings& settings, SteeringMode mode, int x, int y);

/// The figures of `count` places for `mode`, their shots flown together.
void MapPlaces(const MapSettings& settings, SteeringMode mode, const PlacePoint* places, int count,
               PlaceFigures* figures);

/// The places of the settings' grid along row `row`, from the left.
std::vector<PlacePoint> RowPlaces(const MapSettings& settings, int row);

/// The figures of `shots` shots that ended as `ends` says.
PlaceFigures PlaceFiguresOf(const ShotEnd* ends, int shots);

/// Every place of the grid for every method, row by row, the methods of one
/// place together: [(row * columns + column) * SteeringModeCount + mode].
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

/// A map of the settings' grid with nothing computed yet.
CaptureMap EmptyMap(const MapSettings& settings);

/// The share of places where a method catches at least half its shots, in whole percent.
int MostlyCaughtPercent(const CaptureMap& map, SteeringMode mode);

/// Rows of the grid, both ends included.
struct MapRows {
    int First = 0, Last = -1; ///< Last -1: to the grid's last row
};

/// Computes the rows asked for (the others stay empty), for every method or
/// only `onlyMode`, spread over the settings' threads; the result does not
/// depend on how many. `progress` is told the share done (0 to 1) now and
/// then, from the calling thread, and 1 at the end. Once `stop` is set no
/// more rows start: the map is not whole, and it is the caller's to say so.
CaptureMap ComputeMap(const MapSettings& settings, const std::function<void(double)>& progress = {}, MapRows rows = {},
                      std::optional<SteeringMode> onlyMode = {}, const std::atomic<bool>* stop = nullptr);

/// Runs tasks 0 to `tasks - 1` on `threads` threads (0: one per core), each
/// once; `progress` is told the share done from the calling thread, and 1 at
/// the end. Once `stop` is set no task starts. Threads the system refuses
/// leave their tasks to those that started (LastThreadsRefused).
void RunTasks(int tasks, unsigned threads, const std::function<void(int task)>& run,
              const std::function<void(double)>& progress, const std::atomic<bool>* stop);

/// The threads a map asked for and those that started, the last time the
/// system refused to start some (both 0 when it never has): the work of those
/// refused went to the threads that started.
struct ThreadsRefused {
    unsigned Asked = 0, Started = 0;
};
ThreadsRefused LastThreadsRefused();
