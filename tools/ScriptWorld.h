#pragma once
// One world driven by script commands, as the window's handlers and frame loop
// would drive it, with a queue of exact random values in front of the
// generator. No pictures and no Qt: the runner adds those, and the web build
// and the window share the rest.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FrameObserver.h"
#include "Output.h"
#include "Random.h"
#include "Script.h"
#include "Seams.h"
#include "World.h"

struct CountingBeep final : BeepSink {
    std::uint64_t Beeps = 0;
    void Beep() override { ++Beeps; }
};

struct ScriptWorld {
    ::World World;
    QueuedRandom Random;
    CountingBeep Beep;
    std::vector<FrameObserver*> Observers; ///< told of every frame, in order
    CheckedOutput* Out = nullptr;          ///< a failed write to it stops the run
};

/// A world as the window's is once it has loaded, its generator seeded from the clock.
void StartWorld(ScriptWorld& sim);

/// The most random values that may wait in the queue, not yet drawn: a bound
/// on the memory a script's `random` lines take.
inline constexpr std::size_t MaxQueuedRandom = 1 << 20;

/// Carries out a command that changes the world between frames: every one but
/// `frames`, `png` and `trail`, for which it returns false and does nothing.
/// A `random` line that would queue more than MaxQueuedRandom values is
/// refused: nothing is queued and `error` says why.
bool ApplyBetweenFrames(World& world, QueuedRandom& random, const Command& command, std::string& error);

/// Hands each command of the script to `execute` until one fails, and returns
/// that error naming its line (a failed write to `out` as it is), or a read
/// error. A bad line stops it too and is left in `check`.
std::string RunScript(ScriptInput& script, ScriptCheck& check, const CheckedOutput* out,
                      const std::function<std::string(const Command&)>& execute);

/// Carries out one command but `png` and `trail`, which are the caller's.
/// Returns an error message, empty on success.
std::string RunCommand(ScriptWorld& sim, const Command& command);
