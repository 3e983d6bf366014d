#pragma once
// One world driven by script commands, as the window's handlers and frame loop
// would drive it, with a queue of exact random values in front of the generator.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FrameObserver.h"
#include "Random.h"
#include "Raster.h"
#include "RunFrame.h"
#include "Script.h"
#include "Seams.h"
#include "ShotHistory.h"
#include "World.h"

/// Draws queued values first, in order, then the generator's.
struct QueuedRandom final : RandomSource {
    std::vector<float> Queue;
    std::size_t Next = 0;
    PseudoRandom Generator;
    float RandomUnit() override;
};

struct CountingBeep final : BeepSink {
    std::uint64_t Beeps = 0;
    void Beep() override { ++Beeps; }
};

struct Scenario {
    ::World World;
    QueuedRandom Random;
    CountingBeep Beep;
    Surface Sheet;                        ///< the sprite sheet, for pictures
    Surface Playfield;                    ///< 300 x 300, for pictures
    std::unique_ptr<ShotHistory> History; ///< kept only when pictures or figures need it
    std::vector<FrameObserver*> Observers;
};

/// A world as the window's is once it has loaded, its generator seeded from the
/// clock. With `keepHistory` every shot's figures are followed, and with
/// `keepPaths` also its whole path, for trail pictures.
void StartScenario(Scenario& scenario, bool keepHistory, bool keepPaths);

/// Carries out one command. Returns an error message, empty on success.
std::string Execute(Scenario& scenario, const Command& command);

/// Writes the CSV trace, buffered, to a stream.
struct TraceWriter final : FrameObserver {
    explicit TraceWriter(std::FILE* out);
    ~TraceWriter();
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    void Flush();

private:
    std::FILE* Out;
    std::string Buffer;
};
