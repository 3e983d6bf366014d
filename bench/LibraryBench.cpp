// A world's frame through the C API beside the same frame run directly:
// the same world (method, seed, marker far off in a corner, the table filling
// and emptying on its rhythm), one frame an iteration.

#include <benchmark/benchmark.h>

#include "Input.h"
#include "Random.h"
#include "RunFrame.h"
#include "ScriptWorld.h"
#include "homing/homing.h"

namespace {

constexpr float FarX = 0, FarY = 0;

void BM_LibraryFrame(benchmark::State& state)
{
    homing_world_def def = homing_world_default();
    def.mode = int(state.range(0));
    def.speed_limit = 1;
    def.marker_x = FarX;
    def.marker_y = FarY;
    homing_world* world = nullptr;
    if (homing_world_create(&def, &world) != HOMING_OK) {
        state.SkipWithError(homing_last_error());
        return;
    }
    for (auto _ : state)
        homing_world_step(world, 1, nullptr);
    homing_world_destroy(world);
}

void BM_DirectFrame(benchmark::State& state)
{
    ScriptWorld sim;
    StartWorld(sim);
    SeedRandom(sim.Random.Generator, 1);
    SelectMode(sim.World, SteeringMode(state.range(0)));
    ToggleSpeedLimit(sim.World);
    MovePointer(sim.World, FarX, FarY);
    for (auto _ : state)
        benchmark::DoNotOptimize(RunFrame(sim.World, sim.Random, sim.Beep));
}

} // namespace

BENCHMARK(BM_LibraryFrame)->DenseRange(0, SteeringModeCount - 1);
BENCHMARK(BM_DirectFrame)->DenseRange(0, SteeringModeCount - 1);
