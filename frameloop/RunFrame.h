#pragma once
// The simulation of one frame, without the window and the clock: count, launch
// on every tenth frame, move, hit-test.

#include <cstdint>

#include "World.h"

struct RandomSource;
struct BeepSink;

/// What happened to the table in one frame.
struct FrameOutcome {
    int Launched = -1;    ///< the slot filled by this frame's launch, or -1
    Shot Launch{};        ///< that shot as the launch left it, before it was steered
    SlotMask Expired = 0; ///< freed by the movement pass at the end of their life
    SlotMask Caught = 0;  ///< freed by the hit test, one beep each
};

/// The frame count after `count`. Past the largest 32-bit value it wraps to a
/// small count with the same remainder modulo 10, so the launch rhythm goes on
/// unbroken (and nothing overflows).
std::int32_t NextFrameCount(std::int32_t count);

/// True on the frames that attempt a launch.
constexpr bool IsLaunchFrame(std::int32_t count) { return count % LaunchEvery == 0; }

FrameOutcome RunFrame(World& world, RandomSource& random, BeepSink& beep);
