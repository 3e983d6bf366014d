#include "FrameStep.h"

#include "DrawFrame.h"
#include "Seams.h"

FrameOutcome StepFrame(const FrameStep& step)
{
    const FrameOutcome outcome = RunFrame(step.World, step.Random, step.Beep);
    if (step.Observer)
        step.Observer->OnFrame(step.World, outcome);
    if (!step.Playfield)
        return outcome;
    if (step.Painted)
        RepaintFrame(step.World, *step.Playfield, *step.Sheet, *step.Painted);
    else
        PaintFrame(step.World, *step.Playfield, *step.Sheet);
    if (step.Presenter)
        step.Presenter->Present(*step.Playfield, step.Painted ? step.Painted->Changed : AnyChange);
    return outcome;
}
