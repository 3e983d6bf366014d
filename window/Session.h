#pragma once
// What a window session reads and writes besides the screen: a recording of
// it as a scenario script, its CSV trace, and a script to replay in it.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "FrameObserver.h"
#include "Output.h"
#include "Script.h"
#include "ScriptRecorder.h"
#include "TickCount.h"
#include "TraceWriter.h"

/// The paths given on the command line; empty when not asked for.
struct SessionFiles {
    std::string Record; ///< --record FILE
    std::string Trace;  ///< --trace FILE
    std::string Replay; ///< --replay FILE
};

/// Told of every frame that runs; while a script plays, it hands out the
/// script's commands at the frame loop's pump points, each once the frames
/// before it have run.
class Session final : public FrameObserver {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// Opens the files, the recording starting with `seed`, and checks the
    /// script to replay. Returns what is wrong in one line, or nothing.
    std::string Open(const SessionFiles& files, std::uint64_t seed);

    /// The recorder, or null when the session is not recorded.
    ScriptRecorder* Recorder() { return Recording.get(); }
    /// A script is playing: live input is ignored.
    bool Replaying() const { return Playing; }
    /// The next command due now, or false when none is (frames to run first,
    /// or the script has ended: then `Replaying` turns false).
    bool NextReplayCommand(Command& command);

    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    /// Ends the recording and the trace cleanly; once is enough.
    void Finish();

private:
    std::FILE* RecordFile = nullptr;
    std::FILE* TraceFile = nullptr;
    std::unique_ptr<CheckedOutput> RecordOut, TraceOut;
    std::unique_ptr<ScriptRecorder> Recording;
    std::unique_ptr<TraceWriter> Trace;
    ScriptInput ReplayInput;
    ScriptReader Reader;
    bool Playing = false;
    std::uint64_t FramesLeft = 0; ///< frames to run before the next command
    SteadyClock Clock;
    bool Reported = false;

    void ReportWriteFailure();
};
