#include "Scenario.h"

#include <charconv>

#include "DrawFrame.h"
#include "Input.h"
#include "Pictures.h"
#include "SpriteSheet.h"

float QueuedRandom::RandomUnit()
{
    if (Next < Queue.size())
        return Queue[Next++];
    return Generator.RandomUnit();
}

void StartScenario(Scenario& scenario, bool keepHistory, bool keepPaths)
{
    scenario.World = World{};
    LoadWorld(scenario.World);
    SeedRandom(scenario.Random.Generator);
    scenario.Sheet = LoadSpriteSheet();
    scenario.Playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    if (keepHistory || keepPaths) {
        scenario.History = std::make_unique<ShotHistory>(keepPaths);
        scenario.Observers.push_back(scenario.History.get());
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
        if (!scenario.History)
            return "trail needs the runner started with paths kept";
        scenario.History->Settle(world);
        return SaveTrail(world, scenario.Sheet, *scenario.History, command.Path);
    case CommandKind::Frames:
        for (std::uint64_t n = 0; n < command.Number; ++n) {
            const FrameOutcome outcome = RunFrame(world, scenario.Random, scenario.Beep);
            for (FrameObserver* observer : scenario.Observers)
                observer->OnFrame(world, outcome);
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

TraceWriter::TraceWriter(std::FILE* out) : Out(out), Buffer("frame,slot,state,age,x,y,vx,vy,speed,angle,turn\n") {}

TraceWriter::~TraceWriter() { Flush(); }

void TraceWriter::Flush()
{
    std::fwrite(Buffer.data(), 1, Buffer.size(), Out);
    std::fflush(Out);
    Buffer.clear();
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
