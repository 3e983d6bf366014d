#pragma once

#include "RunFrame.h"

/// Gets every frame the runner runs, for traces, pictures and figures.
struct FrameObserver {
    virtual void OnFrame(const World& world, const FrameOutcome& outcome) = 0;

protected:
    ~FrameObserver() = default;
};
