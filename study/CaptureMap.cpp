#include "CaptureMap.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <system_error>
#include <thread>

namespace {

/// The k-th smallest of `count` values with k = FigureRank(count, share).
/// Sorts them.
template <typename Value>
Value Rank(Value* values, int count, double share)
{
    std::sort(values, values + count);
    return values[FigureRank(count, share) - 1];
}

} // namespace

int FigureRank(int count, double share) { return std::max(1, int(share * count + 0.999999)); }

int FlyShot(const MapSettings& settings, SteeringMode mode, int x, int y, int shot)
{
    ShotEnd end;
    FlyShots(settings, mode, x, y, shot, 1, &end);
    return end.Frames;
}

PlaceFigures MapPlace(const MapSettings& settings, SteeringMode mode, int x, int y)
{
    std::array<ShotEnd, MaxMapShots> ends;
    const int shots = std::clamp(settings.Shots, 1, MaxMapShots);
    FlyShots(settings, mode, x, y, 0, shots, ends.data());
    return PlaceFiguresOf(ends.data(), shots);
}

void MapPlaces(const MapSettings& settings, SteeringMode mode, const PlacePoint* places, int count,
               PlaceFigures* figures)
{
    const int shots = std::clamp(settings.Shots, 1, MaxMapShots);
    std::vector<ShotEnd> ends(std::size_t(count) * std::size_t(shots));
    FlyPlaces(settings, mode, places, count, shots, ends.data());
    for (int place = 0; place < count; ++place)
        figures[place] = PlaceFiguresOf(ends.data() + std::size_t(place) * std::size_t(shots), shots);
}

PlaceFigures PlaceFiguresOf(const ShotEnd* ends, int shots)
{
    std::array<int, MaxMapShots> frames;
    std::array<float, MaxMapShots> missed;
    PlaceFigures figures;
    figures.Shots = std::uint16_t(shots);
    double total = 0;
    int misses = 0;
    for (int shot = 0; shot < shots; ++shot) {
        const int caught = ends[shot].Frames;
        frames[std::size_t(shot)] = caught > 0 ? caught : ShotLife + 100; // never, after every catch
        if (caught > 0) {
            ++figures.Caught;
            total += caught;
        } else {
            missed[std::size_t(misses++)] = ends[shot].Closest;
        }
    }
    const auto frameRank = [&](double share) {
        const int value = Rank(frames.data(), shots, share);
        return std::uint16_t(value > ShotLife ? 0 : value);
    };
    figures.Median = frameRank(0.5);
    figures.P90 = frameRank(0.9);
    figures.Mean = figures.Caught ? float(total / figures.Caught) : 0.f;
    figures.Miss = misses ? Rank(missed.data(), misses, 0.5) : 0.f;
    return figures;
}

namespace {

std::atomic<unsigned> RefusedAsked{0}, RefusedStarted{0};

void NoteThreadsRefused(unsigned asked, unsigned started)
{
    RefusedAsked = asked;
    RefusedStarted = started;
}

} // namespace

void RunTasks(int tasks, unsigned threads, const std::function<void(int task)>& run,
              const std::function<void(double)>& progress, const std::atomic<bool>* stop)
{
    std::atomic<int> next{0}, done{0};
    const auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };
    // Tasks are handed out one at a time; each depends on its own seeds only,
    // so what they make is the same for any number of threads.
    const auto work = [&](bool report) {
        for (int task; !stopped() && (task = next.fetch_add(1)) < tasks;) {
            run(task);
            const int finished = done.fetch_add(1) + 1;
            if (report && finished < tasks)
                progress(double(finished) / tasks);
        }
    };
    threads = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    // A thread the system refuses (too little memory or too many processes)
    // leaves its tasks to those that started: the same map, more slowly.
    try {
        helpers.reserve(threads - 1);
        for (unsigned n = 1; n < threads; ++n)
            helpers.emplace_back(work, false);
    } catch (const std::system_error&) {
        NoteThreadsRefused(threads, unsigned(helpers.size()) + 1);
    } catch (const std::bad_alloc&) {
        NoteThreadsRefused(threads, unsigned(helpers.size()) + 1);
    }
    work(bool(progress));
    for (std::thread& helper : helpers)
        helper.join();
    if (progress && !stopped())
        progress(1); // whichever thread finished the last task
}

namespace {

/// Computes one row of the map, for every method or only `onlyMode`.
void ComputeRow(CaptureMap& map, const MapSettings& settings, int row, std::optional<SteeringMode> onlyMode)
{
    const std::vector<PlacePoint> places = RowPlaces(settings, row);
    std::vector<PlaceFigures> figures(places.size());
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        if (onlyMode && int(*onlyMode) != mode)
            continue;
        MapPlaces(settings, SteeringMode(mode), places.data(), int(places.size()), figures.data());
        for (int column = 0; column < map.Columns; ++column)
            map.At(column, row, mode) = figures[std::size_t(column)];
    }
}

} // namespace

std::vector<PlacePoint> RowPlaces(const MapSettings& settings, int row)
{
    std::vector<PlacePoint> places(std::size_t(MapGridSize(settings.Step)));
    for (std::size_t column = 0; column < places.size(); ++column)
        places[column] = {int(column) * settings.Step, row * settings.Step};
    return places;
}

CaptureMap EmptyMap(const MapSettings& settings)
{
    CaptureMap map;
    map.Columns = map.Rows = MapGridSize(settings.Step);
    map.Places.resize(std::size_t(map.Columns) * map.Rows * SteeringModeCount);
    return map;
}

CaptureMap ComputeMap(const MapSettings& settings, const std::function<void(double)>& progress, MapRows rows,
                      std::optional<SteeringMode> onlyMode, const std::atomic<bool>* stop)
{
    CaptureMap map = EmptyMap(settings);
    const int first = std::clamp(rows.First, 0, map.Rows - 1);
    const int last = rows.Last < 0 ? map.Rows - 1 : std::clamp(rows.Last, first, map.Rows - 1);
    RunTasks(
        last - first + 1, settings.Threads, [&](int task) { ComputeRow(map, settings, first + task, onlyMode); },
        progress, stop);
    return map;
}

int MostlyCaughtPercent(const CaptureMap& map, SteeringMode mode)
{
    const int places = map.Columns * map.Rows;
    int mostly = 0;
    for (int row = 0; row < map.Rows; ++row)
        for (int column = 0; column < map.Columns; ++column)
            mostly += map.At(column, row, int(mode)).MostlyCaught();
    return (100 * mostly + places / 2) / places;
}

ThreadsRefused LastThreadsRefused() { return {RefusedAsked.load(), RefusedStarted.load()}; }
