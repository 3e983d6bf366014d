#pragma once
// Writes what a user does in the window as a scenario script, in the order
// the frame loop met it, so the runner replays the same session exactly.

#include <cstdint>
#include <string>
#include <vector>

#include "FrameObserver.h"
#include "Output.h"
#include "Script.h"

struct ScriptRecorder final : FrameObserver {
    /// Starts the script with the seed the window's generator was given.
    ScriptRecorder(CheckedOutput& out, std::uint64_t seed);

    /// Writes a command that changed the world, after the frames before it
    /// (frames, png and trail are not recorded: frames are counted as they run).
    void Record(const Command& command);

    /// Counts a frame: runs of frames are written as one `frames K`.
    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    /// Writes the frames run since the last line and flushes: the script is
    /// complete as it stands, and replays to the frame it was flushed at.
    void Flush();

private:
    CheckedOutput& Out;
    std::uint64_t FramesRun = 0; ///< frames since the last line written

    void Line(const std::string& text);
    void WriteFramesRun();
};
