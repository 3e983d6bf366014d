#pragma once
// How commands drive a world: the one `Apply` every input goes through, and
// a world run by a script alone (the runners'), with a queue of exact random
// values in front of the generator. No pictures and no Qt.

#include <cstdint>
#include <functional>
#include <string>

#include "FrameObserver.h"
#include "Output.h"
#include "Random.h"
#include "ScriptReader.h"
#include "ScriptRecorder.h"
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
    FrameObservers Observers;     ///< told of every frame, in order
    CheckedOutput* Out = nullptr; ///< a failed write to it stops the run
};

/// A world as the window's is once it has loaded, its generator seeded from the clock.
void StartWorld(ScriptWorld& sim);

/// The most random values that may wait in the queue, not yet drawn: a bound
/// on the memory a script's `random` lines take.
inline constexpr std::size_t MaxQueuedRandom = 1 << 20;

/// The one way any input reaches the world: a click or key in the window or
/// the page, a replayed line, a runner's line. Carries out a command that
/// changes the world between frames (every one but `frames`, `png` and
/// `trail`, for which it returns false and does nothing) and hands it to the
/// recorder, if one is given. A `random` line that would queue more than
/// MaxQueuedRandom values is refused: nothing is queued or recorded, and
/// `error` says why.
bool Apply(World& world, QueuedRandom& random, const Command& command, std::string& error,
           ScriptRecorder* recorder = nullptr);

/// Hands each command of the script to `execute` until one fails, and returns
/// that error naming its line (a failed write to `out` as it is), or a read
/// error. A bad line stops it too and is left in `check`.
[[nodiscard]] std::string RunScript(ScriptInput& script, ScriptCheck& check, const CheckedOutput* out,
                                    const std::function<std::string(const Command&)>& execute);

/// Runs the script on a world started as the window's and writes its trace
/// to `out`, flushed at the end; `png` and `trail` lines are skipped (their
/// pictures are the native runner's). Returns what stopped it (a bad line is
/// left in `check`); a failed write shows in `out`.
[[nodiscard]] std::string TraceScript(ScriptInput& script, ScriptCheck& check, CheckedOutput& out);

/// Carries out one command but `png` and `trail`, which are the caller's:
/// `frames` runs the frame step without drawing. Returns an error message,
/// empty on success.
[[nodiscard]] std::string RunCommand(ScriptWorld& sim, const Command& command);
