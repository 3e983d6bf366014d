#include "FrameLoop.h"

#include "DrawFrame.h"
#include "FrameStep.h"
#include "Seams.h"
#include "World.h"

std::uint32_t MillisecondsUntilDue(const FramePacing& pacing, std::uint32_t now)
{
    // Unsigned arithmetic measures the time since the last frame correctly
    // across the clock's 32-bit wrap, and the first frame needs no history.
    const std::uint32_t elapsed = now - pacing.LastTick;
    if (!pacing.Started || elapsed > FrameInterval)
        return 0;
    return FrameInterval + 1 - elapsed;
}

void FrameLoop(FrameServices& services, FramePacing& pacing)
{
    World& world = services.World;
    PaintedArea painted; // the playfield is painted by this loop alone while it runs
    std::uint32_t wait = 0;
    for (;;) {
        // With no frame due, the pump sleeps until an event or the deadline
        // instead of spinning on the clock.
        services.Pump.ProcessPendingEvents(wait);
        if (!world.Running)
            return;
        wait = MillisecondsUntilDue(pacing, services.Clock.GetTickCount());
        if (wait > 0)
            continue;

        pacing.LastTick = services.Clock.GetTickCount();
        pacing.Started = true;
        StepFrame({world, services.Random, services.Beep, services.Observer, &services.Playfield, &services.Sheet,
                   &services.Presenter, &painted});
        services.Pump.ProcessPendingEvents(0);
        if (!world.Running)
            return;
    }
}
