#pragma once

#include "RunFrame.h"

/// Gets every frame that runs, just after it ran and before it is drawn: for
/// traces, recordings, pictures and figures.
struct FrameObserver {
    virtual void OnFrame(const World& world, const FrameOutcome& outcome) = 0;

protected:
    ~FrameObserver() = default;
};
