#include "Replay.h"

#include "ScriptWorld.h"

namespace {

/// The cursor's script and line, as its messages name them.
std::string AtLine(const ReplayCursor& cursor, long number, const std::string& error)
{
    const std::string message = LineMessage(number, error);
    return cursor.Name.empty() ? message : cursor.Name + " " + message;
}

void End(ReplayCursor& cursor, std::string error)
{
    cursor.Playing = false;
    cursor.FramesLeft = 0;
    cursor.Error = std::move(error);
}

} // namespace

void ReplayCursor::OnFrame(const World&, const FrameOutcome&)
{
    if (FramesLeft > 0)
        --FramesLeft;
}

std::string StartReplay(ReplayCursor& cursor)
{
    ScriptCheck check;
    if (std::string error = CheckScript(cursor.Input, check); !error.empty())
        return error;
    if (check.BadLine)
        return AtLine(cursor, check.BadLine, check.Error);
    if (std::string error = cursor.Reader.Start(cursor.Input); !error.empty())
        return error;
    cursor.Playing = true;
    return {};
}

void EndIfChanged(ReplayCursor& cursor)
{
    if (cursor.Playing && cursor.Reader.Changed())
        End(cursor, cursor.Reader.ReadError);
}

int PlayDueCommands(ReplayCursor& cursor, World& world, QueuedRandom& random, ScriptRecorder* recorder, int limit)
{
    int played = 0;
    Command command;
    std::string error;
    while (cursor.Playing && cursor.FramesLeft == 0 && played < limit) {
        if (!cursor.Reader.Next(cursor.Line, command)) {
            const ScriptCheck& check = cursor.Reader.Check;
            End(cursor, !cursor.Reader.ReadError.empty() ? cursor.Reader.ReadError
                        : check.BadLine                  ? AtLine(cursor, check.BadLine, check.Error) // changed since
                                                         : std::string());
            break;
        }
        if (command.Kind == CommandKind::Frames) {
            cursor.FramesLeft = command.Number;
            continue;
        }
        ++played; // png and trail are passed over: the screen is the picture
        if (Apply(world, random, command, error, recorder); !error.empty())
            End(cursor, AtLine(cursor, cursor.Line, error));
    }
    return played;
}
