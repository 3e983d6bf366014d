#include "Session.h"

#include <cerrno>
#include <cstring>

namespace {

/// Opens `path` for writing; returns what is wrong, or nothing.
std::string OpenForWriting(const std::string& path, std::FILE*& file)
{
    file = std::fopen(path.c_str(), "w");
    if (!file)
        return "cannot write " + Quoted(path) + ": " + std::strerror(errno);
    return {};
}

} // namespace

Session::~Session()
{
    Finish();
    if (RecordFile)
        std::fclose(RecordFile);
    if (TraceFile)
        std::fclose(TraceFile);
}

std::string Session::Open(const SessionFiles& files, std::uint64_t seed)
{
    if (!files.Replay.empty()) {
        ScriptCheck check;
        if (std::string error = OpenScript(files.Replay.c_str(), ReplayInput); !error.empty())
            return error;
        if (std::string error = CheckScript(ReplayInput, check); !error.empty())
            return error;
        if (check.BadLine)
            return Quoted(files.Replay) + " line " + std::to_string(check.BadLine) + ": " + check.Error;
        if (std::string error = Reader.Start(ReplayInput); !error.empty())
            return error;
        Playing = true;
    }
    if (!files.Record.empty()) {
        if (std::string error = OpenForWriting(files.Record, RecordFile); !error.empty())
            return error;
        RecordOut = std::make_unique<CheckedOutput>(RecordFile, "the recording");
        Recording = std::make_unique<ScriptRecorder>(*RecordOut, seed);
        Recording->FlushEvery(Clock.GetTickCount(), 0);
    }
    if (!files.Trace.empty()) {
        if (std::string error = OpenForWriting(files.Trace, TraceFile); !error.empty())
            return error;
        TraceOut = std::make_unique<CheckedOutput>(TraceFile, "the trace");
        Trace = std::make_unique<TraceWriter>(*TraceOut);
    }
    return {};
}

bool Session::NextReplayCommand(Command& command)
{
    if (!Playing || FramesLeft > 0)
        return false;
    long number = 0;
    while (Reader.Next(number, command)) {
        if (command.Kind != CommandKind::Frames)
            return true;
        if (command.Number > 0) {
            FramesLeft = command.Number;
            return false;
        }
    }
    Playing = false; // the script has ended: live input takes over
    return false;
}

void Session::OnFrame(const World& world, const FrameOutcome& outcome)
{
    if (FramesLeft > 0)
        --FramesLeft;
    if (Recording) {
        Recording->OnFrame(world, outcome);
        Recording->FlushEvery(Clock.GetTickCount()); // a crash loses at most the last second
    }
    if (Trace)
        Trace->OnFrame(world, outcome);
    ReportWriteFailure();
}

void Session::ReportWriteFailure()
{
    for (const CheckedOutput* out : {RecordOut.get(), TraceOut.get()})
        if (out && out->Failed() && !Reported) {
            std::fprintf(stderr, "homing: %s\n", out->Error.c_str());
            Reported = true;
        }
}

void Session::Finish()
{
    if (Recording)
        Recording->Finish();
    if (Trace)
        Trace->Flush();
    ReportWriteFailure();
}
