// RunFrame with a full table of 21 flying shots, and with one, per steering
// mode; beside them, a capture map's cost per shot-frame of the same mode.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "CaptureMap.h"
#include "Input.h"
#include "LaneShots.h"
#include "LibraryShortcuts.h"
#include "Random.h"
#include "RunFrame.h"
#include "Seams.h"
#include "Shoot.h"

namespace {

/// A world with 21 shots launched in `mode`, scattered round the centre and
/// chasing a marker far enough away that none is caught within `FramesPerReset`.
World FullTable(SteeringMode mode)
{
    World world;
    LoadWorld(world);
    SelectMode(world, mode);
    world.SpeedLimitOn = FlagTrue;
    MovePointer(world, 5000, 4000);
    PseudoRandom random;
    SeedRandom(random, 99);
    for (int slot = 0; slot < ShotSlots; ++slot) {
        Shoot(world, random);
        Shot& shot = world.Shots[slot];
        shot.X = static_cast<float>(150 + 100 * std::cos(slot * 0.3));
        shot.Y = static_cast<float>(150 + 100 * std::sin(slot * 0.3));
    }
    return world;
}

constexpr int FramesPerReset = 64;

void BM_RunFrame(benchmark::State& state)
{
    const World start = FullTable(static_cast<SteeringMode>(state.range(0)));
    World world = start;
    PseudoRandom random;
    NoBeep beep;
    int frame = 0;
    for (auto _ : state) {
        if (++frame == FramesPerReset) { // keep the table full: the copy is counted too
            world = start;
            frame = 0;
        }
        benchmark::DoNotOptimize(RunFrame(world, random, beep));
    }
    if (FlyingShots(world) != ShotSlots)
        state.SkipWithError("the table did not stay full");
    // What one shot of the 21 costs: the figure a map's shot-frame is held to.
    state.counters["per_shot"] = benchmark::Counter(double(state.iterations()) * ShotSlots,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// The places both map benchmarks fly towards: an 8 x 8 grid across the playfield.
template <typename Visit>
void ForEachBenchPlace(Visit visit)
{
    for (int y = 10; y < PlayfieldSize; y += 40)
        for (int x = 10; x < PlayfieldSize; x += 40)
            visit(x, y);
}
constexpr int BenchShots = 32; ///< a place's shots, each with its own draws, as the map's default

/// A capture map's shots of one mode on one thread: the cost of a shot-frame
/// (a caught shot's frames to the catch, an expired one's 500).
void BM_MapShotFrame(benchmark::State& state)
{
    const auto mode = static_cast<SteeringMode>(state.range(0));
    const MapSettings settings;
    double shotFrames = 0;
    const LibraryCalls before = LibraryCallsMade();
    for (auto _ : state)
        ForEachBenchPlace([&](int x, int y) {
            ShotEnd ends[BenchShots];
            FlyShots(settings, mode, x, y, 0, BenchShots, ends);
            for (const ShotEnd& end : ends)
                shotFrames += end.Frames > 0 ? end.Frames : ShotLife;
        });
    state.counters["per_shot_frame"] =
        benchmark::Counter(shotFrames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // What is still left to the maths library after its shortcuts, per shot-frame.
    const LibraryCalls after = LibraryCallsMade();
    state.counters["library_atan"] = double(after.Slope - before.Slope) / shotFrames;
    state.counters["library_heading"] = double(after.Heading - before.Heading) / shotFrames;
    state.counters["library_turn"] = double(after.Turn - before.Turn) / shotFrames;
}

/// The same shots as the map flies them: each row of the grid's places
/// together, in vector lanes (FlyPlaces), as a map's row is.
void BM_MapRowShotFrame(benchmark::State& state)
{
    const auto mode = static_cast<SteeringMode>(state.range(0));
    const MapSettings settings;
    double shotFrames = 0;
    std::vector<PlacePoint> row;
    std::vector<ShotEnd> ends;
    for (auto _ : state)
        for (int y = 10; y < PlayfieldSize; y += 40) {
            row.clear();
            ForEachBenchPlace([&](int x, int placeY) {
                if (placeY == y)
                    row.push_back({x, y});
            });
            ends.resize(row.size() * BenchShots);
            FlyPlaces(settings, mode, row.data(), int(row.size()), BenchShots, ends.data());
            for (const ShotEnd& end : ends)
                shotFrames += end.Frames > 0 ? end.Frames : ShotLife;
        }
    state.counters["per_shot_frame"] =
        benchmark::Counter(shotFrames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// The lanes alone at a width this processor has (the SSE2 lanes beside the
/// AVX2 ones, say): the same rows' shots, launched beforehand.
void BM_LaneShotFrame(benchmark::State& state)
{
    const auto mode = static_cast<SteeringMode>(state.range(0));
    const int width = int(state.range(1));
    const std::vector<int> widths = LaneWidths();
    if (std::find(widths.begin(), widths.end(), width) == widths.end())
        return state.SkipWithError("this processor has no lanes of that width");
    const MapSettings settings;
    std::vector<MarkerPath> paths;
    std::vector<Shot> launched;
    ForEachBenchPlace([&](int x, int y) {
        paths.emplace_back(settings, x, y);
        for (int n = 0; n < BenchShots; ++n)
            LaunchMapShot(launched.emplace_back(), settings, mode, x, y, n);
    });
    std::vector<ShotEnd> ends(launched.size());
    std::vector<LanePlace> places;
    for (std::size_t place = 0; place < paths.size(); ++place)
        places.push_back({&paths[place], &launched[place * BenchShots], BenchShots, &ends[place * BenchShots]});
    constexpr int rowPlaces = 8; // as ForEachBenchPlace's rows
    double shotFrames = 0;
    for (auto _ : state)
        for (std::size_t row = 0; row < places.size(); row += rowPlaces) {
            FlyShotsInLanes(mode, FlightRulesOf(settings), &places[row], rowPlaces, width);
            for (std::size_t n = row * BenchShots; n < (row + rowPlaces) * BenchShots; ++n)
                shotFrames += ends[n].Frames > 0 ? ends[n].Frames : ShotLife;
        }
    state.counters["per_shot_frame"] =
        benchmark::Counter(shotFrames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// The same shots flown by RunFrame in a full table: 21 of a place's shots
/// launched into the slots at once, then frames until all have ended (the
/// count held past a launch frame). Its cost per shot-frame is the table's
/// own for the very geometry the map flies, beside BM_RunFrame's far marker.
void BM_TableShotFrame(benchmark::State& state)
{
    const auto mode = static_cast<SteeringMode>(state.range(0));
    const MapSettings settings;
    double shotFrames = 0;
    PseudoRandom unused;
    NoBeep beep;
    for (auto _ : state)
        ForEachBenchPlace([&](int x, int y) {
            for (int first = 0; first < BenchShots; first += ShotSlots) {
                World world;
                LoadWorld(world);
                SelectMode(world, mode);
                MovePointer(world, float(x), float(y));
                for (int n = first; n < std::min(BenchShots, first + ShotSlots); ++n) {
                    PseudoRandom random;
                    SeedRandom(random, ShotSeed(settings.Seed, x, y, mode, n));
                    LaunchShot(world.Shots[std::size_t(n - first)], mode, random);
                }
                for (int flying; (flying = FlyingShots(world)) > 0;) {
                    shotFrames += flying;
                    world.FrameCount = LaunchEvery;
                    benchmark::DoNotOptimize(RunFrame(world, unused, beep));
                }
            }
        });
    state.counters["per_shot_frame"] =
        benchmark::Counter(shotFrames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// One shot's step alone, the same work as a capture map's shot-frame without
/// the map's machinery: a world whose only flying shot chases a far marker.
void BM_RunFrameOneShot(benchmark::State& state)
{
    World start = FullTable(static_cast<SteeringMode>(state.range(0)));
    for (int slot = 1; slot < ShotSlots; ++slot)
        start.Shots[std::size_t(slot)].Alive = FlagFalse;
    start.FrameCount = LaunchEvery; // held just past a launch frame, as the map holds it
    World world = start;
    PseudoRandom random;
    NoBeep beep;
    int frame = 0;
    for (auto _ : state) {
        if (++frame == FramesPerReset) {
            world = start;
            frame = 0;
        }
        world.FrameCount = LaunchEvery;
        benchmark::DoNotOptimize(RunFrame(world, random, beep));
    }
    if (FlyingShots(world) != 1)
        state.SkipWithError("the shot did not stay in flight");
}

/// Mode 2's C library share: per shot the arctangent of its heading to the
/// marker and the cosine and sine of its new heading, as `AngleChase` takes
/// them, on the same 21 shots, without the rest of the step.
void BM_AngleChaseLibm(benchmark::State& state)
{
    const World world = FullTable(SteeringMode::AngleChase);
    for (auto _ : state)
        for (const Shot& shot : world.Shots) {
            double ratio = (double(world.MeY) - shot.Y) / (double(world.MeX) - shot.X);
            double radians = double(shot.Angle) * DegToRad;
            benchmark::DoNotOptimize(ratio); // opaque, so no call is hoisted out of the loop
            benchmark::DoNotOptimize(radians);
            benchmark::DoNotOptimize(std::atan(ratio));
            benchmark::DoNotOptimize(std::cos(radians));
            benchmark::DoNotOptimize(std::sin(radians));
        }
}

} // namespace

BENCHMARK(BM_RunFrame)->DenseRange(0, SteeringModeCount - 1)->ArgName("mode");
BENCHMARK(BM_RunFrameOneShot)->DenseRange(0, SteeringModeCount - 1)->ArgName("mode");
BENCHMARK(BM_MapShotFrame)->DenseRange(0, SteeringModeCount - 1)->ArgName("mode")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRowShotFrame)->DenseRange(0, SteeringModeCount - 1)->ArgName("mode")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaneShotFrame)
    ->ArgsProduct({benchmark::CreateDenseRange(0, SteeringModeCount - 1, 1), {8, 4}})
    ->ArgNames({"mode", "width"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableShotFrame)->DenseRange(0, SteeringModeCount - 1)->ArgName("mode")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AngleChaseLibm);
