#include "RunFrame.h"

#include <limits>

#include "MoveShot.h"
#include "Shoot.h"

std::int32_t NextFrameCount(std::int32_t count)
{
    constexpr std::int32_t top = std::numeric_limits<std::int32_t>::max();
    // The largest multiple of 10 that fits; subtracting it keeps the remainder.
    constexpr std::int32_t wrap = top - top % LaunchEvery;
    return count < top ? count + 1 : count - wrap + 1;
}

FrameOutcome RunFrame(World& world, RandomSource& random, BeepSink& beep)
{
    FrameOutcome outcome;
    world.FrameCount = NextFrameCount(world.FrameCount);
    if (IsLaunchFrame(world.FrameCount)) {
        outcome.Launched = Shoot(world, random);
        if (outcome.Launched >= 0)
            outcome.Launch = world.Shots[outcome.Launched];
    }
    outcome.Expired = MoveShot(world);
    outcome.Caught = HitTest(world, beep);
    return outcome;
}
