#include "Scenario.h"

#include "DrawFrame.h"
#include "Input.h"
#include "PictureFile.h"
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

namespace {

/// "script shot.txt, after frame 120": what a png or trail line's picture shows.
std::string PictureSource(const Scenario& scenario)
{
    return scenario.Script + ", after frame " + std::to_string(scenario.Sim.World.FrameCount);
}

} // namespace

std::string Execute(Scenario& scenario, const Command& command)
{
    const World& world = scenario.Sim.World;
    std::string error;
    switch (command.Kind) {
    case CommandKind::Png:
        PaintFrame(world, scenario.Playfield, scenario.Sheet);
        error = SavePng(scenario.Playfield, command.Path, PictureSource(scenario));
        break;
    case CommandKind::Trail:
        if (!scenario.Trails)
            return "trail needs the runner started with trails kept";
        scenario.History->Settle(world);
        error = SaveTrail(world, scenario.Sheet, *scenario.Trails, *scenario.History, command.Path,
                          PictureSource(scenario));
        break;
    default: return RunCommand(scenario.Sim, command);
    }
    scenario.PictureFailed = !error.empty();
    return error;
}

std::string CheckRunnerScript(ScriptInput& input, ScriptCheck& check, bool* cannotWrite)
{
    return ForEachCommand(input, check, [cannotWrite](long number, const Command& command) {
        if (command.Kind != CommandKind::Png && command.Kind != CommandKind::Trail)
            return std::string();
        const std::string bad = CheckPicturePath(command.Path, OutputKind::Png, cannotWrite);
        return bad.empty() ? bad : LineMessage(number, bad);
    });
}
