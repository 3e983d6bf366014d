#include "CaptureMap.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <thread>

#include "Input.h"
#include "Random.h"
#include "RunFrame.h"
#include "Seams.h"

namespace {

struct NoBeep final : BeepSink {
    void Beep() override {}
};

/// Draws every value as the same fixed number.
struct FixedRandom final : RandomSource {
    float Value = 0.5f;
    float RandomUnit() override { return Value; }
};

int Fly(World& world, RandomSource& random, const MapSettings& settings, int x, int y)
{
    NoBeep beep;
    // The launch frame, then frames with the count held just past a launch
    // frame, so no second shot is launched and nothing else is drawn.
    world.FrameCount = LaunchEvery - 1;
    for (int frame = 1; frame <= ShotLife + 1; ++frame) {
        if (frame > 1)
            world.FrameCount = LaunchEvery;
        const double t = frame - 1;
        MovePointer(world, float(x + double(settings.MarkerVX) * t), float(y + double(settings.MarkerVY) * t));
        const FrameOutcome outcome = RunFrame(world, random, beep);
        if (outcome.Caught & 1u)
            return frame;
        if (!world.Shots[0].Alive)
            return 0;
    }
    return 0;
}

} // namespace

std::uint64_t ShotSeed(std::uint64_t seed, int x, int y, SteeringMode mode, int shot)
{
    // Neighbouring places get unrelated seeds.
    std::uint64_t value = Mix64(seed);
    for (const std::uint64_t part :
         {std::uint64_t(std::uint32_t(x)), std::uint64_t(std::uint32_t(y)), std::uint64_t(mode), std::uint64_t(shot)})
        value = Mix64(value ^ part);
    return value;
}

int FlyShot(const MapSettings& settings, SteeringMode mode, int x, int y, int shot)
{
    World world;
    LoadWorld(world);
    SelectMode(world, mode);
    if (settings.Limit)
        ToggleSpeedLimit(world);
    if (settings.FixedDraws) {
        FixedRandom random;
        random.Value = settings.Draw;
        return Fly(world, random, settings, x, y);
    }
    PseudoRandom random;
    SeedRandom(random, ShotSeed(settings.Seed, x, y, mode, shot));
    return Fly(world, random, settings, x, y);
}

PlaceFigures MapPlace(const MapSettings& settings, SteeringMode mode, int x, int y)
{
    std::array<int, MaxMapShots> frames{};
    const int shots = std::clamp(settings.Shots, 1, MaxMapShots);
    PlaceFigures figures;
    figures.Shots = std::uint16_t(shots);
    double total = 0;
    for (int shot = 0; shot < shots; ++shot) {
        const int caught = FlyShot(settings, mode, x, y, shot);
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

CaptureMap ComputeMap(const MapSettings& settings, const std::function<void(double)>& progress)
{
    CaptureMap map;
    map.Columns = (PlayfieldSize - 1) / std::max(1, settings.Step) + 1;
    map.Rows = map.Columns;
    map.Places.resize(std::size_t(map.Columns) * map.Rows * SteeringModeCount);
    std::atomic<int> nextRow{0}, rowsDone{0};
    // Rows are handed out one at a time; each place's figures depend on its
    // own seeds only, so the map is the same for any number of threads.
    const auto work = [&](bool report) {
        for (int row; (row = nextRow.fetch_add(1)) < map.Rows;) {
            for (int column = 0; column < map.Columns; ++column)
                for (int mode = 0; mode < SteeringModeCount; ++mode)
                    map.At(column, row, mode) = MapPlace(settings, static_cast<SteeringMode>(mode),
                                                         column * settings.Step, row * settings.Step);
            const int done = rowsDone.fetch_add(1) + 1;
            if (report && done < map.Rows)
                progress(double(done) / map.Rows);
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

std::string MapCsvHeader() { return "x,y,method,shots,caught,median,p90,mean\n"; }

std::string MapCsvRows(const CaptureMap& map, const MapSettings& settings, int row)
{
    std::string rows;
    char line[96];
    for (int column = 0; column < map.Columns; ++column)
        for (int mode = 0; mode < SteeringModeCount; ++mode) {
            const PlaceFigures& f = map.At(column, row, mode);
            const auto value = [](int n) { return n ? std::to_string(n) : std::string(); };
            std::snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%s,%s,", column * settings.Step, row * settings.Step, mode,
                          f.Shots, f.Caught, value(f.Median).c_str(), value(f.P90).c_str());
            rows += line;
            if (f.Caught) {
                std::snprintf(line, sizeof line, "%.2f", double(f.Mean));
                rows += line;
            }
            rows += '\n';
        }
    return rows;
}
