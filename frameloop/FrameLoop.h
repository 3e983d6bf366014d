#pragma once
// The heartbeat: frames paced on the millisecond clock, with the window's
// events handled between them.

#include <cstdint>

#include "Raster.h"

struct World;
struct RandomSource;
struct BeepSink;
struct Clock;
struct EventPump;
struct Presenter;
struct FrameObserver;

/// A frame starts only when more than this many milliseconds have passed
/// since the start of the one before: about 38 frames a second.
inline constexpr std::uint32_t FrameInterval = 25;

/// Everything a frame works on or through; the window owns all of it.
struct FrameServices {
    ::World& World;
    RandomSource& Random;
    BeepSink& Beep;
    ::Clock& Clock;
    EventPump& Pump;
    Surface& Playfield;
    const Surface& Sheet;
    ::Presenter& Presenter;
    FrameObserver* Observer = nullptr; ///< told of every frame that runs, if set
};

/// The loop's own memory: when the last frame started.
struct FramePacing {
    std::uint32_t LastTick = 0; ///< clock reading at the start of the last frame, ms
    bool Started = false;       ///< a frame has run: the first one runs at once
};

/// Whether a frame is due at `now`; otherwise, how many milliseconds until it is.
std::uint32_t MillisecondsUntilDue(const FramePacing& pacing, std::uint32_t now);

/// Runs frames until the world's `Running` is cleared: handle events, check
/// `Running`, wait for the pacing, count-launch-move-hit, draw and present,
/// handle events again. Events are handled only at those two points.
void FrameLoop(FrameServices& services, FramePacing& pacing);
