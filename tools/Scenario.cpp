#include "Scenario.h"

#include <charconv>

#include "DrawFrame.h"
#include "Input.h"
#include "Pictures.h"
#include "SpriteSheet.h"

float QueuedRandom::RandomUnit()
{
    if (Queue.empty())
        return Generator.RandomUnit();
    const float value = Queue.front();
    Queue.pop_front();
    return value;
}

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

namespace {

constexpr std::size_t FlushAt = 1 << 16;

void AppendFloat(std::string& out, float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void AppendWhole(std::string& out, std::int64_t value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

} // namespace

TraceWriter::TraceWriter(CheckedOutput& out) : Out(out), Buffer("frame,slot,state,age,x,y,vx,vy,speed,angle,turn\n")
{
    Buffer.reserve(2 * FlushAt);
}

bool TraceWriter::Flush()
{
    const bool written = Out.Write(Buffer) && Out.Flush();
    Buffer.clear();
    return written;
}

void TraceWriter::OnFrame(const World& world, const FrameOutcome& outcome)
{
    for (int slot = 0; slot < ShotSlots; ++slot) {
        const Shot& shot = world.Shots[slot];
        const char* state = shot.Alive                        ? "flying"
                            : Contains(outcome.Caught, slot)  ? "hit"
                            : Contains(outcome.Expired, slot) ? "expired"
                                                              : nullptr;
        if (!state)
            continue;
        AppendWhole(Buffer, world.FrameCount);
        Buffer += ',';
        AppendWhole(Buffer, slot);
        Buffer += ',';
        Buffer += state;
        Buffer += ',';
        AppendWhole(Buffer, shot.Age);
        for (const float field : {shot.X, shot.Y, shot.VX, shot.VY, shot.Speed, shot.Angle, shot.Turn}) {
            Buffer += ',';
            AppendFloat(Buffer, field);
        }
        Buffer += '\n';
    }
    if (Buffer.size() >= FlushAt)
        Flush();
}
