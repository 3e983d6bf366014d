#pragma once
// One world driven by script commands, as the window's handlers and frame loop
// would drive it, with a queue of exact random values in front of the generator.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Random.h"
#include "RunFrame.h"
#include "Script.h"
#include "Seams.h"
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

/// Gets every frame as it is run, for traces and pictures.
struct FrameObserver {
    virtual void OnFrame(const World& world, const FrameOutcome& outcome) = 0;

protected:
    ~FrameObserver() = default;
};

struct Scenario {
    ::World World;
    QueuedRandom Random;
    CountingBeep Beep;
    std::vector<FrameObserver*> Observers;
};

/// A world as the window's is once it has loaded, its generator seeded from the clock.
void StartScenario(Scenario& scenario);

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
