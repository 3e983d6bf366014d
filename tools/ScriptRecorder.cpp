#include "ScriptRecorder.h"

#include <string>

#include "TraceWriter.h"

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

void ScriptRecorder::Seed(std::uint64_t seed) { Line("seed " + std::to_string(seed) + "\n"); }

void ScriptRecorder::Random(const std::vector<float>& values)
{
    std::string line = "random";
    for (const float value : values) {
        line += ' ';
        AppendFloat(line, value);
    }
    Line(line + '\n');
}

void ScriptRecorder::Move(float x, float y)
{
    std::string line = "move ";
    AppendFloat(line, x);
    line += ' ';
    AppendFloat(line, y);
    Line(line + '\n');
}

void ScriptRecorder::Press(MouseButton button)
{
    Line(button == MouseButton::Left    ? "press left\n"
         : button == MouseButton::Right ? "press right\n"
                                        : "press middle\n");
}

void ScriptRecorder::Mode(SteeringMode mode) { Line("mode " + std::to_string(int(mode)) + "\n"); }

void ScriptRecorder::Limit() { Line("limit\n"); }

void ScriptRecorder::Vectors() { Line("vectors\n"); }

void ScriptRecorder::Record(const Command& command)
{
    switch (command.Kind) {
    case CommandKind::Seed: return Seed(command.Number);
    case CommandKind::Random: return Random(command.Values);
    case CommandKind::Mode: return Mode(command.Mode);
    case CommandKind::Move: return Move(command.X, command.Y);
    case CommandKind::Press: return Press(command.Button);
    case CommandKind::Limit: return Limit();
    case CommandKind::Vectors: return Vectors();
    case CommandKind::Frames: // counted as they run
    case CommandKind::Png:
    case CommandKind::Trail: return;
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
