#include "ScriptRecorder.h"

#include <string>

ScriptRecorder::ScriptRecorder(CheckedOutput& out, std::uint64_t seed) : Out(out)
{
    Out.Write("# recorded by homing --record\nseed " + std::to_string(seed) + "\n");
}

void ScriptRecorder::Line(const std::string& text)
{
    if (FramesRun > 0)
        Out.Write("frames " + std::to_string(FramesRun) + "\n");
    FramesRun = 0;
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
    if (FramesRun > 0)
        Out.Write("frames " + std::to_string(FramesRun) + "\n");
    FramesRun = 0;
    Out.Flush();
}
