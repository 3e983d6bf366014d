#pragma once
// A long randomised run of the simulation, checking after every frame what
// must always hold.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "Input.h"
#include "Random.h"
#include "RunFrame.h"
#include "TestSupport.h"

/// A long run with a wandering marker, clicks, mode changes and limit toggles;
/// checks after every frame what must always hold.
inline void SoakAllModes(std::int64_t frames, std::uint64_t seed, std::int32_t startCount)
{
    World world;
    LoadWorld(world);
    world.FrameCount = startCount;
    PseudoRandom random;
    SeedRandom(random, seed);
    PseudoRandom events;
    SeedRandom(events, seed ^ 0xABCDEF);
    CountBeeps beep;
    std::array<double, ShotSlots> launchSpeed{};

    std::int64_t lastLaunchFrame = -1;
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        const float roll = events.RandomUnit();
        if (roll < 0.0005f)
            SelectMode(world, static_cast<SteeringMode>(static_cast<int>(events.RandomUnit() * SteeringModeCount)));
        else if (roll < 0.0008f)
            PressOnPlayfield(world, MouseButton::Right);
        else if (roll < 0.0012f)
            ToggleSpeedLimit(world);
        if (frame % 7 == 0)
            MovePointer(world, events.RandomUnit() * 340 - 20, events.RandomUnit() * 340 - 20);

        const int flyingBefore = FlyingShots(world);
        const FrameOutcome outcome = RunFrame(world, random, beep);
        if (IsLaunchFrame(world.FrameCount) && flyingBefore < ShotSlots) {
            ASSERT_GE(outcome.Launched, 0) << "no launch with a free slot at frame " << world.FrameCount;
        }
        if (IsLaunchFrame(world.FrameCount)) {
            if (lastLaunchFrame >= 0) {
                ASSERT_EQ(frame - lastLaunchFrame, LaunchEvery) << "launch rhythm broken at count " << world.FrameCount;
            }
            lastLaunchFrame = frame;
        } else {
            ASSERT_LT(outcome.Launched, 0) << "launch off the rhythm at count " << world.FrameCount;
        }
        if (outcome.Launched >= 0)
            launchSpeed[outcome.Launched] = world.Shots[outcome.Launched].Speed;
        ASSERT_LE(FlyingShots(world), ShotSlots);
        for (int slot = 0; slot < ShotSlots; ++slot) {
            const Shot& shot = world.Shots[slot];
            for (float field : {shot.X, shot.Y, shot.VX, shot.VY, shot.Speed, shot.Angle, shot.Turn}) {
                ASSERT_TRUE(std::isfinite(field)) << "slot " << slot << " frame " << world.FrameCount;
            }
            ASSERT_TRUE(shot.Alive == FlagTrue || shot.Alive == FlagFalse);
            ASSERT_LE(shot.Age, ShotLife);
            if (shot.Alive && (world.Mode == SteeringMode::AngleChase2 || world.Mode >= SteeringMode::LeadChase)) {
                ASSERT_NEAR(Length(shot.VX, shot.VY) / launchSpeed[slot], 1, 1e-5) << "slot " << slot;
            }
        }
    }
}
