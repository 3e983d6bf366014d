#pragma once
// The small interfaces the layers above are handed, so that every layer runs
// without a window: the window backs them with Qt, tests and the runner with fakes.

#include <cstdint>

struct Surface;
struct ChangeBounds;

/// Sound for a caught shot.
struct BeepSink {
    /// Asks for one beep; must return at once (the frame loop is waiting).
    virtual void Beep() = 0;

protected:
    ~BeepSink() = default;
};

/// No sound: maps, benchmarks and pages that fly shots unheard.
struct NoBeep final : BeepSink {
    void Beep() override {}
};

/// The millisecond clock the frame loop paces on.
struct Clock {
    /// Milliseconds since an arbitrary start, as a 32-bit count that wraps.
    virtual std::uint32_t GetTickCount() = 0;

protected:
    ~Clock() = default;
};

/// Runs the window's waiting event handlers between frames.
struct EventPump {
    /// Runs every waiting event handler to completion, then returns. With a
    /// non-zero `maxWaitMs` and nothing waiting, it may first sleep until an
    /// event arrives or that many milliseconds have passed, whichever is first.
    virtual void ProcessPendingEvents(std::uint32_t maxWaitMs) = 0;

protected:
    ~EventPump() = default;
};

/// Shows a finished playfield image on the screen in one step.
struct Presenter {
    /// `bounds`: where the playfield can differ from the one presented before
    /// (`AnyChange` when its painter cannot tell).
    virtual void Present(const Surface& playfield, const ChangeBounds& bounds) = 0;

protected:
    ~Presenter() = default;
};
