#pragma once
// The CSV trace: one row per flying shot after every frame, every float as
// the shortest decimal that reads back to the same 32-bit float.

#include <string>

#include "FloatText.h"
#include "FrameObserver.h"
#include "Output.h"

/// Writes the trace, buffered, to a checked output.
struct TraceWriter final : FrameObserver {
    explicit TraceWriter(CheckedOutput& out);

    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    /// Writes what is buffered; false once a write has failed.
    bool Flush();

private:
    CheckedOutput& Out;
    std::string Buffer;
};
