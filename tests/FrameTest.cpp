// Whole frames: counting, launching, ageing, moving, and what must always hold.

#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

#include "Input.h"
#include "Methods.h"
#include "MoveShot.h"
#include "Numbers.h"
#include "RunFrame.h"
#include "SimulationSoak.h"
#include "TestSupport.h"

TEST(MoveShot, AgesSteersAndMovesEveryFlyingShot)
{
    World world = WorldWithMarker(152, 100);
    world.Shots[4] = FlyingShot(150, 150, 0, 0, 3);
    world.Shots[5] = FlyingShot(10, 10, 1, 1, 3);
    world.Shots[5].Alive = FlagFalse;
    EXPECT_EQ(MoveShot(world), 0u);
    EXPECT_EQ(world.Shots[4].Age, 1);
    EXPECT_EQ(world.Shots[4].X, 152);
    EXPECT_EQ(world.Shots[4].Y, 147);
    EXPECT_EQ(world.Shots[5].X, 10); // a free slot is never moved
    EXPECT_EQ(world.Shots[5].Age, 0);
    MoveShot(world);
    EXPECT_EQ(world.Shots[4].X, 152); // x reached: straight up from here
    EXPECT_EQ(world.Shots[4].Y, 144);
}

TEST(MoveShot, TheLastPassFreesTheShotAndStillMovesIt)
{
    World world = WorldWithMarker(0, 150, SteeringMode::DirectChase);
    world.Shots[0] = FlyingShot(150, 150, 0, 0, 2);
    world.Shots[0].Age = 499;
    EXPECT_EQ(MoveShot(world), SlotMask{1});
    EXPECT_FALSE(world.Shots[0].Alive);
    EXPECT_EQ(world.Shots[0].Age, 500);
    EXPECT_EQ(world.Shots[0].X, 148);
}

TEST(RunFrame, LaunchesOnEveryTenthFrameAndMovesTheNewShotAtOnce)
{
    World world = WorldWithMarker(300, 150, SteeringMode::DirectChase);
    ScriptedRandom random({0.5f, 0.5f});
    CountBeeps beep;
    for (int frame = 1; frame <= 9; ++frame)
        EXPECT_EQ(RunFrame(world, random, beep).Launched, -1);
    EXPECT_EQ(FlyingShots(world), 0);
    const FrameOutcome tenth = RunFrame(world, random, beep);
    EXPECT_EQ(world.FrameCount, 10);
    EXPECT_EQ(tenth.Launched, 0);
    EXPECT_EQ(world.Shots[0].Age, 1);
    EXPECT_EQ(world.Shots[0].X, 154.5f); // speed 0.5 * 5 + 2
    for (int frame = 11; frame <= 20; ++frame)
        RunFrame(world, random, beep);
    EXPECT_EQ(FlyingShots(world), 2);
}

TEST(RunFrame, ExpiredShotsAreNotHitTested)
{
    World world = WorldWithMarker(150, 150);
    world.Shots[0] = FlyingShot(150, 150, 0, 0, 1);
    world.Shots[0].Age = 499;
    ScriptedRandom random;
    CountBeeps beep;
    const FrameOutcome outcome = RunFrame(world, random, beep);
    EXPECT_EQ(outcome.Expired, SlotMask{1});
    EXPECT_EQ(outcome.Caught, 0u);
    EXPECT_EQ(beep.Beeps, 0);
}

TEST(RunFrame, ALaunchOntoTheMarkerIsCaughtInItsFirstFrameInEveryMode)
{
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        SCOPED_TRACE(mode);
        World world = WorldWithMarker(150, 150, static_cast<SteeringMode>(mode));
        world.FrameCount = 9;
        ScriptedRandom random({0.99f, 0.99f, 0.99f, 0.99f});
        CountBeeps beep;
        const FrameOutcome outcome = RunFrame(world, random, beep);
        EXPECT_EQ(outcome.Caught, SlotMask{1});
        EXPECT_TRUE(std::isfinite(world.Shots[0].X) && std::isfinite(world.Shots[0].VY));
    }
}

TEST(FrameCount, WrapsWithoutOverflowAndKeepsTheLaunchRhythm)
{
    constexpr std::int32_t top = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(NextFrameCount(41), 42);
    std::int32_t count = top - 25;
    int sinceLaunch = 0;
    int launches = 0;
    for (int frame = 0; frame < 60; ++frame) {
        count = NextFrameCount(count);
        ASSERT_GE(count, 0);
        ++sinceLaunch;
        if (IsLaunchFrame(count)) {
            if (launches++ > 0) {
                EXPECT_EQ(sinceLaunch, 10) << "at count " << count;
            }
            sinceLaunch = 0;
        }
    }
    EXPECT_EQ(launches, 6);
    EXPECT_EQ(NextFrameCount(top) % 10, (static_cast<std::int64_t>(top) + 1) % 10);
}

namespace {

std::uint64_t Fnv1a(const void* data, std::size_t size, std::uint64_t hash)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t n = 0; n < size; ++n)
        hash = (hash ^ bytes[n]) * 0x100000001B3u;
    return hash;
}

/// Hashes every field of every slot after every frame of a fixed scenario,
/// 1,200 frames in each of the first `modes` modes.
std::uint64_t ScenarioHash(int modes)
{
    std::uint64_t hash = 0xCBF29CE484222325u;
    World world;
    LoadWorld(world);
    PseudoRandom random;
    SeedRandom(random, 20261207);
    CountBeeps beep;
    for (int mode = 0; mode < modes; ++mode) {
        SelectMode(world, static_cast<SteeringMode>(mode));
        if (mode == 4)
            ToggleSpeedLimit(world);
        for (int frame = 0; frame < 1200; ++frame) {
            MovePointer(world, ToFloat(150 + 110 * std::cos(frame * 0.013)),
                        ToFloat(150 + 90 * std::sin(frame * 0.021)));
            RunFrame(world, random, beep);
            for (const Shot& shot : world.Shots) {
                const float fields[] = {shot.X, shot.Y, shot.VX, shot.VY, shot.Speed, shot.Angle, shot.Turn};
                hash = Fnv1a(fields, sizeof fields, hash);
                hash = Fnv1a(&shot.Age, sizeof shot.Age, hash);
                hash = Fnv1a(&shot.Alive, sizeof shot.Alive, hash);
            }
        }
    }
    return Fnv1a(&beep.Beeps, sizeof beep.Beeps, hash);
}

} // namespace

TEST(Invariants, HoldOverALongRandomisedRunInEveryMode) { SoakAllModes(100000, 7, 0); }

TEST(Invariants, LaunchRhythmHoldsAcrossTheFrameCounterWrap)
{
    // Shots launched onto the marker are caught at once, so a slot is always free.
    World world = WorldWithMarker(150, 150);
    LoadWorld(world);
    world.FrameCount = std::numeric_limits<std::int32_t>::max() - 1003;
    ScriptedRandom random(std::vector<float>(200, 0.5f));
    CountBeeps beep;
    int lastLaunch = -1;
    for (int frame = 0; frame < 2000; ++frame) {
        if (RunFrame(world, random, beep).Launched < 0)
            continue;
        if (lastLaunch >= 0) {
            EXPECT_EQ(frame - lastLaunch, 10) << "at count " << world.FrameCount;
        }
        lastLaunch = frame;
    }
    EXPECT_EQ(beep.Beeps, 200);
    EXPECT_LT(world.FrameCount, 2000);
}

// Every float of a fixed scenario, hashed: the demonstration's methods (those
// with an option button, 1,200 frames each), then on through the others. A
// change here means the simulation's numbers changed: if that was meant,
// scripts/update-goldens writes the new hashes into tests/golden_hashes.txt.
TEST(Determinism, GoldenHash)
{
    const std::uint64_t buttons = ScenarioHash(OptionButtonCount), all = ScenarioHash(SteeringModeCount);
    std::printf("scenario hashes: 0x%016" PRIx64 ", 0x%016" PRIx64 "\n", buttons, all);
    const std::string path = HOMING_SOURCE_DIR "/tests/golden_hashes.txt";
    if (std::getenv("HOMING_UPDATE_GOLDEN")) {
        char text[64];
        std::snprintf(text, sizeof text, "0x%016" PRIx64 "\n0x%016" PRIx64 "\n", buttons, all);
        std::ofstream(path) << "# the scenario's hash through the methods with a button, then through all of them\n"
                            << text;
        return;
    }
    std::ifstream file(path);
    std::string line, hashes[2];
    for (int n = 0; n < 2 && std::getline(file, line);)
        if (!line.starts_with('#'))
            hashes[n++] = line;
    ASSERT_FALSE(hashes[1].empty()) << "no two hashes in " << path;
    EXPECT_EQ(buttons, std::stoull(hashes[0], nullptr, 16));
    EXPECT_EQ(all, std::stoull(hashes[1], nullptr, 16));
}
