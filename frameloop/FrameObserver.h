#pragma once

#include <vector>

#include "RunFrame.h"

/// Gets every frame that runs, just after it ran and before it is drawn: for
/// traces, recordings, replays, pictures and figures.
struct FrameObserver {
    virtual void OnFrame(const World& world, const FrameOutcome& outcome) = 0;

protected:
    ~FrameObserver() = default;
};

/// Several observers told in the order they were added.
struct FrameObservers final : FrameObserver {
    std::vector<FrameObserver*> List;

    void Add(FrameObserver* observer) { List.push_back(observer); }
    void OnFrame(const World& world, const FrameOutcome& outcome) override
    {
        for (FrameObserver* observer : List)
            observer->OnFrame(world, outcome);
    }
};
