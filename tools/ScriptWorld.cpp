#include "ScriptWorld.h"

#include "Input.h"
#include "RunFrame.h"

void StartWorld(ScriptWorld& sim)
{
    sim.World = World{};
    LoadWorld(sim.World);
    SeedRandom(sim.Random.Generator);
}

bool ApplyBetweenFrames(World& world, QueuedRandom& random, const Command& command, std::string& error)
{
    switch (command.Kind) {
    case CommandKind::Seed: SeedRandom(random.Generator, command.Number); return true;
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
    case CommandKind::Frames:
    case CommandKind::Png:
    case CommandKind::Trail: return false;
    }
    return false;
}

std::string RunScript(ScriptInput& script, ScriptCheck& check, const CheckedOutput* out,
                      const std::function<std::string(const Command&)>& execute)
{
    return ForEachCommand(script, check, [&](long number, const Command& command) {
        std::string failed = execute(command);
        const bool outputFailed = out && out->Failed();
        return failed.empty() || outputFailed ? failed : "line " + std::to_string(number) + ": " + failed;
    });
}

std::string RunCommand(ScriptWorld& sim, const Command& command)
{
    if (std::string error; ApplyBetweenFrames(sim.World, sim.Random, command, error))
        return error;
    if (command.Kind != CommandKind::Frames)
        return "pictures are not drawn here";
    for (std::uint64_t n = 0; n < command.Number; ++n) {
        const FrameOutcome outcome = RunFrame(sim.World, sim.Random, sim.Beep);
        for (FrameObserver* observer : sim.Observers)
            observer->OnFrame(sim.World, outcome);
        if (sim.Out && sim.Out->Failed())
            return sim.Out->Error;
    }
    return {};
}
