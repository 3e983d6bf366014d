#pragma once
// Writes what a user does in the window as a scenario script, in the order
// the frame loop met it, so the runner replays the same session exactly.

#include <cstdint>
#include <string>
#include <vector>

#include "FrameObserver.h"
#include "Input.h"
#include "Output.h"
#include "Script.h"

struct ScriptRecorder final : FrameObserver {
    /// Starts the script with the seed the window's generator was given.
    ScriptRecorder(CheckedOutput& out, std::uint64_t seed);

    // What changed the world, each written after the frames before it.
    void Seed(std::uint64_t seed);
    void Random(const std::vector<float>& values);
    void Move(float x, float y);
    void Press(MouseButton button);
    void Mode(SteeringMode mode);
    void Limit();
    void Vectors();
    /// Any of the above, as a script command says it (frames, png and trail are not recorded).
    void Record(const Command& command);

    /// Counts a frame: runs of frames are written as one `frames K`.
    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    /// Writes out what is buffered and flushes, at most `interval` ms apart;
    /// `now` is any millisecond clock.
    void FlushEvery(std::uint32_t now, std::uint32_t interval = 1000);
    /// Writes the frames not yet written and flushes: the script is complete.
    void Finish();

private:
    CheckedOutput& Out;
    std::uint64_t FramesRun = 0; ///< frames since the last line written
    std::uint32_t LastFlush = 0;

    void Line(const std::string& text);
};
