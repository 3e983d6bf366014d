#include "CaptureMap.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

int FlyShot(const MapSettings& settings, SteeringMode mode, int x, int y, int shot)
{
    int frames = 0;
    FlyShots(settings, mode, x, y, shot, 1, &frames);
    return frames;
}

PlaceFigures MapPlace(const MapSettings& settings, SteeringMode mode, int x, int y)
{
    std::array<int, MaxMapShots> frames{};
    const int shots = std::clamp(settings.Shots, 1, MaxMapShots);
    PlaceFigures figures;
    figures.Shots = std::uint16_t(shots);
    double total = 0;
    FlyShots(settings, mode, x, y, 0, shots, frames.data());
    for (int shot = 0; shot < shots; ++shot) {
        const int caught = frames[std::size_t(shot)];
        frames[std::size_t(shot)] = caught > 0 ? caught : ShotLife + 100; // never, after every catch
        if (caught > 0) {
            ++figures.Caught;
            total += caught;
        }
    }
    std::sort(frames.begin(), frames.begin() + shots);
    // The k-th smallest with k = ceil(share * shots): the median of 9 is the 5th, of 8 the 4th.
    const auto at = [&](double share) {
        const int value = frames[std::size_t(std::max(0, int(share * shots + 0.999999) - 1))];
        return std::uint16_t(value > ShotLife ? 0 : value);
    };
    figures.Median = at(0.5);
    figures.P90 = at(0.9);
    figures.Mean = figures.Caught ? float(total / figures.Caught) : 0.f;
    return figures;
}

CaptureMap ComputeMap(const MapSettings& settings, const std::function<void(double)>& progress, MapRows rows)
{
    CaptureMap map;
    map.Columns = MapGridSize(settings.Step);
    map.Rows = map.Columns;
    map.Places.resize(std::size_t(map.Columns) * map.Rows * SteeringModeCount);
    const int first = std::clamp(rows.First, 0, map.Rows - 1);
    const int last = rows.Last < 0 ? map.Rows - 1 : std::clamp(rows.Last, first, map.Rows - 1);
    const int count = last - first + 1;
    std::atomic<int> nextRow{first}, rowsDone{0};
    // Rows are handed out one at a time; each place's figures depend on its
    // own seeds only, so the map is the same for any number of threads.
    const auto work = [&](bool report) {
        for (int row; (row = nextRow.fetch_add(1)) <= last;) {
            for (int column = 0; column < map.Columns; ++column)
                for (int mode = 0; mode < SteeringModeCount; ++mode)
                    map.At(column, row, mode) = MapPlace(settings, static_cast<SteeringMode>(mode),
                                                         column * settings.Step, row * settings.Step);
            const int done = rowsDone.fetch_add(1) + 1;
            if (report && done < count)
                progress(double(done) / count);
        }
    };
    const unsigned threads = settings.Threads ? settings.Threads : std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (unsigned n = 1; n < threads; ++n)
        helpers.emplace_back(work, false);
    work(bool(progress));
    for (std::thread& helper : helpers)
        helper.join();
    if (progress)
        progress(1); // whichever thread finished the last row
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
