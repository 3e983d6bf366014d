#pragma once
// What a window session reads and writes besides the screen: a recording of
// it as a scenario script, its CSV trace, and a script to replay in it.

#include <cstdint>
#include <memory>
#include <string>

#include "FrameObserver.h"
#include "Output.h"
#include "Random.h"
#include "Replay.h"
#include "ScriptReader.h"
#include "ScriptRecorder.h"
#include "TickCount.h"
#include "TraceWriter.h"

/// The paths given on the command line; empty when not asked for.
struct SessionFiles {
    std::string Record; ///< --record FILE
    std::string Trace;  ///< --trace FILE
    std::string Replay; ///< --replay FILE
};

/// Exit statuses of a session that did not end well.
inline constexpr int SessionCannotWrite = 1; ///< a file could not be written
inline constexpr int SessionBadInput = 2;    ///< a file or script that cannot be used

/// Told of every frame that runs; while a script plays, it plays the
/// script's commands at the frame loop's pump points, each once the frames
/// before it have run.
class Session final : public FrameObserver {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// Checks every file first (the script to replay read through, the
    /// folders of the files to write), and only then opens the files to
    /// write, the recording starting with `seed`: a refused session touches
    /// nothing. Returns what is wrong in one line, or nothing.
    [[nodiscard]] std::string Open(const SessionFiles& files, std::uint64_t seed);

    /// The recorder, or null when the session is not recorded.
    ScriptRecorder* Recorder() { return Recording.get(); }
    /// A script is playing: live input is ignored.
    bool Replaying() const { return Replay.Playing; }
    /// Applies at most `limit` of the replayed script's commands that are due
    /// now, recorded like clicks, and returns how many it applied. A replay
    /// that fails ends, and the session ends with SessionBadInput.
    int PlayDue(World& world, QueuedRandom& random, int limit);

    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    /// Writes out everything held back, the frames since the last line
    /// included, so both files are whole as they stand: called every second
    /// while frames run, and once more when the session ends however it ends.
    void Flush();
    /// 0, or the exit status the program owes for what went wrong.
    int Status() const { return FailedStatus; }

private:
    /// A file written by the session, its failure told once.
    struct OutputFile {
        int Fd = -1;
        std::unique_ptr<CheckedOutput> Out;
        std::string Path; ///< as given, for messages
        bool Reported = false;
    };
    OutputFile RecordFile, TraceFile;
    std::unique_ptr<ScriptRecorder> Recording;
    std::unique_ptr<TraceWriter> Trace;
    ReplayCursor Replay;
    SteadyClock Clock;
    std::uint32_t LastFlush = 0; ///< clock reading at the last flush, ms
    int FailedStatus = 0;

    std::string OpenFiles(const SessionFiles& files, std::uint64_t seed);
    void ReportWriteFailures(bool lookForRemoved = false);
    /// Says what went wrong in one line; the first failure sets the status.
    void Fail(const std::string& message, int status);
};
