// The presentation path under the offscreen platform: the playfield image
// handed to its picture box and repainted, alone and as part of a whole frame.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cmath>

#include "DrawFrame.h"
#include "FrameStep.h"
#include "Input.h"
#include "PictureBox.h"
#include "QtSeams.h"
#include "Random.h"
#include "RunFrame.h"
#include "Shoot.h"
#include "SpriteSheet.h"

namespace {

/// A shown picture box over a playfield surface, as the window has it.
struct ShownPlayfield {
    Surface Playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    PictureBox Picture{Playfield, nullptr};
    PlayfieldPresenter Presenter{Picture};
    ShownPlayfield()
    {
        Picture.resize(304, 304);
        Picture.show();
        QApplication::processEvents();
    }
};

/// The compare alone: a playfield that has not changed since it was last presented.
void BM_PresentUnchanged(benchmark::State& state)
{
    ShownPlayfield shown;
    for (auto _ : state)
        shown.Presenter.Present(shown.Playfield, AnyChange);
}

/// Simulate, draw and present one frame with all 21 slots flying: the whole
/// playfield painted (repaint 0), or only what the frame before drew (1).
void BM_WholeFrame(benchmark::State& state)
{
    ShownPlayfield shown;
    const Surface sheet = LoadSpriteSheet();
    World start;
    LoadWorld(start);
    SelectMode(start, static_cast<SteeringMode>(state.range(0)));
    MovePointer(start, 5000, 4000); // far off: nothing is caught, the table stays full
    PseudoRandom random;
    SeedRandom(random, 5);
    for (int slot = 0; slot < ShotSlots; ++slot)
        Shoot(start, random);
    World world = start;
    NoBeep beep;
    PaintedArea painted;
    PaintedArea* repaint = state.range(1) ? &painted : nullptr;
    int frame = 0;
    for (auto _ : state) {
        if (++frame == 64) {
            world = start;
            frame = 0;
        }
        StepFrame({world, random, beep, nullptr, &shown.Playfield, &sheet, &shown.Presenter, repaint});
    }
}

} // namespace

BENCHMARK(BM_PresentUnchanged);
BENCHMARK(BM_WholeFrame)->ArgsProduct({{2, 3}, {0, 1}})->ArgNames({"mode", "repaint"});

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
