#pragma once
// A script replayed in a front end that runs its own frames (the window, the
// web page): each command is applied once the frames before it have run.

#include <cstdint>
#include <string>

#include "FrameObserver.h"
#include "Random.h"
#include "ScriptReader.h"
#include "ScriptRecorder.h"

struct ReplayCursor final : FrameObserver {
    ScriptInput Input; ///< the script, opened by the front end
    std::string Name;  ///< how messages name the script before "line N", or nothing
    ScriptReader Reader;
    long Line = 0;                ///< the line of the last command read
    bool Playing = false;         ///< started and not yet ended: live input is ignored
    std::uint64_t FramesLeft = 0; ///< frames to run before the next command
    std::string Error;            ///< why the replay ended early; empty while it plays or when it ran to its end

    /// Counts the frames the script asked for.
    void OnFrame(const World& world, const FrameOutcome& outcome) override;
};

/// Reads the opened script through once (a bad line refuses it, naming the
/// line) and starts the cursor at its beginning. Returns what is wrong in one
/// line, or nothing.
[[nodiscard]] std::string StartReplay(ReplayCursor& cursor);

/// Applies the commands due now, at most `limit` of them, through `Apply`
/// (recorded when `recorder` is set), and returns how many it applied. At the
/// end of the script, or at a command that fails, the replay ends: `Playing`
/// turns false and `Error` says what went wrong, if anything did.
int PlayDueCommands(ReplayCursor& cursor, World& world, QueuedRandom& random, ScriptRecorder* recorder, int limit);

/// Ends a replay whose file has changed since it was checked (its reader may
/// hold the rest of a short script already), with `Error` saying so.
void EndIfChanged(ReplayCursor& cursor);
