#pragma once
// One frame, the same in every front end: the window's frame loop, the web
// page's animation frames and the runner's `frames` lines all run it.

#include "FrameObserver.h"
#include "RunFrame.h"

struct Surface;
struct Presenter;
struct PaintedArea;

/// What one frame works on. The runner draws only for pictures, so the
/// drawing parts may be left out.
struct FrameStep {
    ::World& World;
    RandomSource& Random;
    BeepSink& Beep;
    FrameObserver* Observer = nullptr; ///< told of the frame before it is drawn, if set
    Surface* Playfield = nullptr;      ///< painted, if set
    const Surface* Sheet = nullptr;    ///< the sprites it is painted from
    ::Presenter* Presenter = nullptr;  ///< shows the painted playfield, if set
    PaintedArea* Painted = nullptr;    ///< what the last frame painted, to repaint only that, if set
};

/// Counts, launches, moves and hit-tests (`RunFrame`), tells the observer,
/// then paints the playfield (or repaints what changed) and presents it.
FrameOutcome StepFrame(const FrameStep& step);
