// DrawFrame with 21 shots and their velocity lines.

#include <benchmark/benchmark.h>

#include <cmath>

#include "DrawFrame.h"
#include "Input.h"
#include "Seams.h"
#include "SpriteSheet.h"

namespace {

struct NoPresent final : Presenter {
    void Present(const Surface&, const ChangeBounds&) override {}
};

void BM_DrawFrame(benchmark::State& state)
{
    World world;
    LoadWorld(world);
    MovePointer(world, 200, 120);
    for (int slot = 0; slot < ShotSlots; ++slot) {
        Shot& shot = world.Shots[slot];
        shot.Alive = FlagTrue;
        shot.X = static_cast<float>(150 + 110 * std::cos(slot * 0.3));
        shot.Y = static_cast<float>(150 + 110 * std::sin(slot * 0.3));
        shot.VX = static_cast<float>(5 * std::cos(slot * 0.7));
        shot.VY = static_cast<float>(5 * std::sin(slot * 0.7));
    }
    const Surface sheet = LoadSpriteSheet();
    Surface playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    NoPresent presenter;
    for (auto _ : state) {
        DrawFrame(world, playfield, sheet, presenter);
        benchmark::DoNotOptimize(playfield.Pixels.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_DrawFrame);
