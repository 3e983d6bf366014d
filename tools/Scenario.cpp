#include "Scenario.h"

#include <charconv>

#include "DrawFrame.h"
#include "Input.h"
#include "Pictures.h"
#include "SpriteSheet.h"

Scenario::Scenario() = default;
Scenario::~Scenario() = default;

void StartScenario(Scenario& scenario, bool keepHistory, bool keepTrails)
{
    scenario.World = World{};
    LoadWorld(scenario.World);
    SeedRandom(scenario.Random.Generator);
    scenario.Sheet = LoadSpriteSheet();
    scenario.Playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    if (keepHistory || keepTrails) {
        scenario.History = std::make_unique<ShotHistory>(keepTrails);
        scenario.Observers.push_back(scenario.History.get());
    }
    if (keepTrails) {
        scenario.Trails = std::make_unique<TrailCanvas>();
        scenario.Observers.push_back(scenario.Trails.get());
        scenario.History->Sinks.push_back(scenario.Trails.get());
    }
}

std::string Execute(Scenario& scenario, const Command& command)
{
    World& world = scenario.World;
    switch (command.Kind) {
    case CommandKind::Seed: SeedRandom(scenario.Random.Generator, command.Number); break;
    case CommandKind::Random:
        scenario.Random.Queue.insert(scenario.Random.Queue.end(), command.Values.begin(), command.Values.end());
        break;
    case CommandKind::Mode: SelectMode(world, command.Mode); break;
    case CommandKind::Move: MovePointer(world, command.X, command.Y); break;
    case CommandKind::Press: PressOnPlayfield(world, command.Button); break;
    case CommandKind::Limit: ToggleSpeedLimit(world); break;
    case CommandKind::Vectors: ToggleVectors(world); break;
    case CommandKind::Png:
        PaintFrame(world, scenario.Playfield, scenario.Sheet);
        return SavePng(scenario.Playfield, command.Path);
    case CommandKind::Trail:
        if (!scenario.Trails)
            return "trail needs the runner started with trails kept";
        scenario.History->Settle(world);
        return SaveTrail(world, scenario.Sheet, *scenario.Trails, *scenario.History, command.Path);
    case CommandKind::Frames:
        for (std::uint64_t n = 0; n < command.Number; ++n) {
            const FrameOutcome outcome = RunFrame(world, scenario.Random, scenario.Beep);
            for (FrameObserver* observer : scenario.Observers)
                observer->OnFrame(world, outcome);
            if (scenario.Out && scenario.Out->Failed())
                return scenario.Out->Error;
        }
        break;
    }
    return {};
}
