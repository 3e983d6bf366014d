#include "ScriptWorld.h"

#include "Input.h"
#include "RunFrame.h"

void StartWorld(ScriptWorld& sim)
{
    sim.World = World{};
    LoadWorld(sim.World);
    SeedRandom(sim.Random.Generator);
}

std::string RunCommand(ScriptWorld& sim, const Command& command)
{
    World& world = sim.World;
    switch (command.Kind) {
    case CommandKind::Seed: SeedRandom(sim.Random.Generator, command.Number); break;
    case CommandKind::Random:
        sim.Random.Queue.insert(sim.Random.Queue.end(), command.Values.begin(), command.Values.end());
        break;
    case CommandKind::Mode: SelectMode(world, command.Mode); break;
    case CommandKind::Move: MovePointer(world, command.X, command.Y); break;
    case CommandKind::Press: PressOnPlayfield(world, command.Button); break;
    case CommandKind::Limit: ToggleSpeedLimit(world); break;
    case CommandKind::Vectors: ToggleVectors(world); break;
    case CommandKind::Frames:
        for (std::uint64_t n = 0; n < command.Number; ++n) {
            const FrameOutcome outcome = RunFrame(world, sim.Random, sim.Beep);
            for (FrameObserver* observer : sim.Observers)
                observer->OnFrame(world, outcome);
            if (sim.Out && sim.Out->Failed())
                return sim.Out->Error;
        }
        break;
    case CommandKind::Png:
    case CommandKind::Trail: return "pictures are not drawn here";
    }
    return {};
}
