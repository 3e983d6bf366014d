#pragma once
// One world driven by script commands, as the window's handlers and frame loop
// would drive it, with a queue of exact random values in front of the generator.

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "FrameObserver.h"
#include "Output.h"
#include "Random.h"
#include "Raster.h"
#include "RunFrame.h"
#include "Script.h"
#include "Seams.h"
#include "ShotHistory.h"
#include "World.h"

/// Draws queued values first, in order, then the generator's.
struct QueuedRandom final : RandomSource {
    std::deque<float> Queue; ///< values not drawn yet
    PseudoRandom Generator;
    float RandomUnit() override;
};

struct CountingBeep final : BeepSink {
    std::uint64_t Beeps = 0;
    void Beep() override { ++Beeps; }
};

struct TrailCanvas;

struct Scenario {
    Scenario();
    ~Scenario();

    ::World World;
    QueuedRandom Random;
    CountingBeep Beep;
    Surface Sheet;                        ///< the sprite sheet, for pictures
    Surface Playfield;                    ///< 300 x 300, for pictures
    std::unique_ptr<ShotHistory> History; ///< only when figures or trails need it
    std::unique_ptr<TrailCanvas> Trails;  ///< only when trail pictures are asked for
    std::vector<FrameObserver*> Observers;
    CheckedOutput* Out = nullptr;         ///< a failed write to it stops the run
};

/// A world as the window's is once it has loaded, its generator seeded from the
/// clock. With `keepHistory` every flying shot's figures are followed, and with
/// `keepTrails` the trail picture is drawn as the frames run.
void StartScenario(Scenario& scenario, bool keepHistory, bool keepTrails);

/// Carries out one command. Returns an error message, empty on success.
std::string Execute(Scenario& scenario, const Command& command);

/// Writes the CSV trace, buffered, to a checked output.
struct TraceWriter final : FrameObserver {
    explicit TraceWriter(CheckedOutput& out);

    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    /// Writes what is buffered; false once a write has failed.
    bool Flush();

private:
    CheckedOutput& Out;
    std::string Buffer;
};
