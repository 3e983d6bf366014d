#include "ScriptWorld.h"

#include "FrameStep.h"
#include "Input.h"
#include "TraceWriter.h"

void StartWorld(ScriptWorld& sim)
{
    sim.World = World{};
    LoadWorld(sim.World);
    SeedRandom(sim.Random.Generator);
}

namespace {

bool ApplyToWorld(World& world, QueuedRandom& random, const Command& command, std::string& error)
{
    switch (command.Kind) {
    case CommandKind::Seed:
        SeedRandom(random.Generator, command.Number);
        world.NoiseSeed = command.Number; // the seeker's errors draw from it too
        return true;
    case CommandKind::Random:
        if (random.Queue.size() + command.Values.size() > MaxQueuedRandom)
            error = "more than " + std::to_string(MaxQueuedRandom) + " random values queued and not yet drawn";
        else
            random.Queue.insert(random.Queue.end(), command.Values.begin(), command.Values.end());
        return true;
    case CommandKind::Mode: SelectMode(world, command.Mode); return true;
    case CommandKind::Move: MovePointer(world, command.X, command.Y); return true;
    case CommandKind::Press: PressOnPlayfield(world, command.Button); return true;
    case CommandKind::Limit: ToggleSpeedLimit(world); return true;
    case CommandKind::Vectors: ToggleVectors(world); return true;
    case CommandKind::Lag: world.Lag = command.X + 0.0f; return true;
    case CommandKind::Noise: world.Noise = command.X + 0.0f; return true;
    case CommandKind::Frames:
    case CommandKind::Png:
    case CommandKind::Trail: return false;
    }
    return false;
}

} // namespace

bool Apply(World& world, QueuedRandom& random, const Command& command, std::string& error, ScriptRecorder* recorder)
{
    if (!ApplyToWorld(world, random, command, error))
        return false;
    if (recorder && error.empty())
        recorder->Record(command);
    return true;
}

std::string RunScript(ScriptInput& script, ScriptCheck& check, const CheckedOutput* out,
                      const std::function<std::string(const Command&)>& execute)
{
    return ForEachCommand(script, check, [&](long number, const Command& command) {
        std::string failed = execute(command);
        const bool outputFailed = out && out->Failed();
        return failed.empty() || outputFailed ? failed : LineMessage(number, failed);
    });
}

std::string RunCommand(ScriptWorld& sim, const Command& command)
{
    if (std::string error; Apply(sim.World, sim.Random, command, error))
        return error;
    if (command.Kind != CommandKind::Frames)
        return "pictures are not drawn here";
    const FrameStep step{sim.World, sim.Random, sim.Beep, &sim.Observers};
    for (std::uint64_t n = 0; n < command.Number; ++n) {
        StepFrame(step);
        if (sim.Out && sim.Out->Failed())
            return sim.Out->Error;
    }
    return {};
}

std::string TraceScript(ScriptInput& script, ScriptCheck& check, CheckedOutput& out)
{
    ScriptWorld sim;
    StartWorld(sim);
    sim.Out = &out;
    TraceWriter trace(out);
    sim.Observers.Add(&trace);
    std::string error = RunScript(script, check, &out, [&](const Command& command) {
        if (command.Kind == CommandKind::Png || command.Kind == CommandKind::Trail)
            return std::string();
        return RunCommand(sim, command);
    });
    trace.Flush(); // a failed write is left in `out`
    return error;
}
