#include "ScriptRecorder.h"

#include <string>

ScriptRecorder::ScriptRecorder(CheckedOutput& out, std::uint64_t seed) : Out(out)
{
    Out.Write("# recorded by homing --record\n" + CommandLine({.Kind = CommandKind::Seed, .Number = seed}));
}

void ScriptRecorder::WriteFramesRun()
{
    if (FramesRun > 0)
        Out.Write(CommandLine({.Kind = CommandKind::Frames, .Number = FramesRun}));
    FramesRun = 0;
}

void ScriptRecorder::Line(const std::string& text)
{
    WriteFramesRun();
    Out.Write(text);
}

void ScriptRecorder::Record(const Command& command)
{
    switch (command.Kind) {
    case CommandKind::Frames:
    case CommandKind::Png:
    case CommandKind::Trail: return;
    default: Line(CommandLine(command));
    }
}

void ScriptRecorder::OnFrame(const World&, const FrameOutcome&) { ++FramesRun; }

void ScriptRecorder::Flush()
{
    WriteFramesRun();
    Out.Flush();
}
