// libFuzzer target: arbitrary bytes as a scenario script. The reader must reject
// what it does not accept with one clean line, and whatever it accepts must run
// (for a bounded number of frames) with every number finite.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "Scenario.h"
#include "ScriptReader.h"

namespace {

constexpr std::uint64_t FrameBudget = 3000;

void Check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

void CheckWorld(const World& world)
{
    int flying = 0;
    for (const Shot& shot : world.Shots) {
        for (const float field : {shot.X, shot.Y, shot.VX, shot.VY, shot.Speed, shot.Angle, shot.Turn})
            Check(std::isfinite(field));
        Check(shot.Alive == FlagTrue || shot.Alive == FlagFalse);
        Check(shot.Age >= 0 && shot.Age <= ShotLife);
        flying += shot.Alive != 0;
    }
    Check(flying <= ShotSlots);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ScriptInput script;
    Check(ScriptFromText(std::string_view(reinterpret_cast<const char*>(data), size), script).empty());

    static std::FILE* const nowhere = std::fopen("/dev/null", "w");
    CheckedOutput out(nowhere, "the trace");
    Scenario scenario;
    StartScenario(scenario, true, false);
    SeedRandom(scenario.Sim.Random.Generator, 1);
    TraceWriter trace(out);
    scenario.Sim.Observers.Add(&trace);
    std::uint64_t framesLeft = FrameBudget;
    ScriptCheck check;
    const std::string error = ForEachCommand(script, check, [&](long, const Command& command) {
        if (command.Kind == CommandKind::Png || command.Kind == CommandKind::Trail)
            return std::string(); // pictures are the runner target's
        Command bounded = command;
        if (bounded.Kind == CommandKind::Frames) {
            bounded.Number = std::min(bounded.Number, framesLeft);
            framesLeft -= bounded.Number;
        }
        Check(Execute(scenario, bounded).empty());
        CheckWorld(scenario.Sim.World);
        return std::string();
    });
    Check(error.empty());
    if (check.BadLine) {
        Check(check.BadLine >= 1 && !check.Error.empty());
        Check(check.Error.find('\n') == std::string::npos);
        Check(check.Error.size() < 400); // tokens are quoted briefly
    }
    return 0;
}
