#include "Scenario.h"

#include "DrawFrame.h"
#include "Input.h"
#include "Pictures.h"
#include "SpriteSheet.h"

Scenario::Scenario() = default;
Scenario::~Scenario() = default;

void StartScenario(Scenario& scenario, bool keepHistory, bool keepTrails)
{
    StartWorld(scenario.Sim);
    scenario.Sheet = LoadSpriteSheet();
    scenario.Playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    if (keepHistory || keepTrails) {
        scenario.History = std::make_unique<ShotHistory>(keepTrails);
        scenario.Sim.Observers.Add(scenario.History.get());
    }
    if (keepTrails) {
        scenario.Trails = std::make_unique<TrailCanvas>();
        scenario.Sim.Observers.Add(scenario.Trails.get());
        scenario.History->Sinks.push_back(scenario.Trails.get());
    }
}

std::string Execute(Scenario& scenario, const Command& command)
{
    const World& world = scenario.Sim.World;
    switch (command.Kind) {
    case CommandKind::Png:
        PaintFrame(world, scenario.Playfield, scenario.Sheet);
        return SavePng(scenario.Playfield, command.Path);
    case CommandKind::Trail:
        if (!scenario.Trails)
            return "trail needs the runner started with trails kept";
        scenario.History->Settle(world);
        return SaveTrail(world, scenario.Sheet, *scenario.Trails, *scenario.History, command.Path);
    default: return RunCommand(scenario.Sim, command);
    }
}
