// The frame loop driven by a fake clock and a fake event pump.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "FrameLoop.h"
#include "Input.h"
#include "ScriptRecorder.h"
#include "SpriteSheet.h"
#include "TestSupport.h"

namespace {

struct FakeClock final : Clock {
    std::uint32_t Now = 0;
    std::uint32_t GetTickCount() override { return Now; }
};

/// Each call lets time pass (the wait asked for, or 1 ms when none) and then
/// runs the test's event handlers, as the window's would run.
struct FakePump final : EventPump {
    FakeClock& Time;
    std::function<void(int call)> Handlers;
    int Calls = 0;
    std::vector<std::uint32_t> Waits;
    explicit FakePump(FakeClock& time) : Time(time) {}
    void ProcessPendingEvents(std::uint32_t maxWaitMs) override
    {
        Waits.push_back(maxWaitMs);
        Time.Now += maxWaitMs ? maxWaitMs : 1;
        if (Handlers)
            Handlers(Calls);
        ++Calls;
    }
};

/// Remembers the clock and the world at every presented frame.
struct FramesSeen final : Presenter {
    const FakeClock& Time;
    const World& Sim;
    std::vector<std::uint32_t> Ticks;
    std::vector<int> Flying;
    FramesSeen(const FakeClock& time, const World& world) : Time(time), Sim(world) {}
    void Present(const Surface&, const ChangeBounds&) override
    {
        Ticks.push_back(Time.Now);
        Flying.push_back(FlyingShots(Sim));
    }
};

struct LoopFixture {
    World Sim = WorldWithMarker(20, 20);
    ScriptedRandom Random{std::vector<float>(100, 0.5f)};
    CountBeeps Beep;
    FakeClock Time;
    FakePump Pump{Time};
    Surface Playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    Surface Sheet = LoadSpriteSheet();
    FramesSeen Seen{Time, Sim};
    FramePacing Pacing;
    FrameServices Services{Sim, Random, Beep, Time, Pump, Playfield, Sheet, Seen};

    LoopFixture() { LoadWorld(Sim); }

    /// Runs the loop until `frames` frames have been presented, then closes.
    void RunFrames(std::size_t frames)
    {
        auto handlers = Pump.Handlers;
        Pump.Handlers = [this, frames, handlers](int call) {
            if (handlers)
                handlers(call);
            if (Seen.Ticks.size() >= frames)
                Form_QueryUnload();
        };
        FrameLoop(Services, Pacing);
    }
    void Form_QueryUnload() { Sim.Running = FlagFalse; }
};

} // namespace

TEST(FramePacing, AFrameIsDueOnlyAfterMoreThan25Milliseconds)
{
    FramePacing pacing{100, true};
    EXPECT_EQ(MillisecondsUntilDue(pacing, 125), 1u);
    EXPECT_EQ(MillisecondsUntilDue(pacing, 126), 0u);
    EXPECT_EQ(MillisecondsUntilDue(pacing, 100), 26u);
    EXPECT_EQ(MillisecondsUntilDue(pacing, 5000), 0u);
}

TEST(FramePacing, TheFirstFrameRunsAtOnceWhateverTheClockSays)
{
    const FramePacing fresh;
    for (std::uint32_t now : {0u, 5u, 25u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
        EXPECT_EQ(MillisecondsUntilDue(fresh, now), 0u) << now;
}

TEST(FramePacing, KeepsTheSpacingAcrossTheClocksWrap)
{
    const FramePacing before{0xFFFFFFF0u, true};
    EXPECT_EQ(MillisecondsUntilDue(before, 0x00000009u), 1u); // 25 ms later
    EXPECT_EQ(MillisecondsUntilDue(before, 0x0000000Au), 0u); // 26 ms later
    const FramePacing signedEdge{0x7FFFFFF0u, true};
    EXPECT_EQ(MillisecondsUntilDue(signedEdge, 0x80000009u), 1u);
    EXPECT_EQ(MillisecondsUntilDue(signedEdge, 0x8000000Au), 0u);
}

TEST(FrameLoop, FramesStart26MillisecondsApartWithoutSpinning)
{
    LoopFixture loop;
    loop.Time.Now = 0xFFFFFF00u; // the clock wraps during the run
    loop.RunFrames(20);
    ASSERT_EQ(loop.Seen.Ticks.size(), 20u);
    for (std::size_t n = 1; n < loop.Seen.Ticks.size(); ++n)
        EXPECT_EQ(std::uint32_t(loop.Seen.Ticks[n] - loop.Seen.Ticks[n - 1]), 26u) << "frame " << n;
    // Between frames the pump is asked to wait for the deadline, not polled.
    EXPECT_LT(loop.Pump.Calls, 3 * 20 + 2);
    EXPECT_GE(*std::max_element(loop.Pump.Waits.begin(), loop.Pump.Waits.end()), 20u);
}

TEST(FrameLoop, TheFirstFrameRunsAtTheFirstCheck)
{
    LoopFixture loop;
    loop.Time.Now = 0x90000000u; // up for more than 24.9 days
    loop.RunFrames(1);
    ASSERT_EQ(loop.Seen.Ticks.size(), 1u);
    EXPECT_EQ(loop.Seen.Ticks[0], 0x90000001u); // after the first event processing only
}

TEST(FrameLoop, LaunchesOnFrames10And20And30)
{
    LoopFixture loop;
    loop.RunFrames(31);
    ASSERT_EQ(loop.Seen.Flying.size(), 31u);
    EXPECT_EQ(loop.Seen.Flying[8], 0);  // frame 9
    EXPECT_EQ(loop.Seen.Flying[9], 1);  // frame 10
    EXPECT_EQ(loop.Seen.Flying[19], 2); // frame 20
    EXPECT_EQ(loop.Seen.Flying[29], 3); // frame 30
    EXPECT_EQ(loop.Sim.FrameCount, 31);
}

TEST(FrameLoop, ClosingBetweenFramesEndsTheLoopWithoutAnotherFrame)
{
    LoopFixture loop;
    loop.Pump.Handlers = [&](int) {
        if (loop.Seen.Ticks.size() == 3 && loop.Time.Now > loop.Seen.Ticks.back() + 10)
            loop.Form_QueryUnload(); // the close arrives while the loop waits
    };
    FrameLoop(loop.Services, loop.Pacing);
    EXPECT_EQ(loop.Seen.Ticks.size(), 3u);
    EXPECT_EQ(loop.Sim.FrameCount, 3);
}

TEST(FrameLoop, NotRunningMeansNoFrameAtAll)
{
    LoopFixture loop;
    loop.Sim.Running = FlagFalse;
    FrameLoop(loop.Services, loop.Pacing);
    EXPECT_TRUE(loop.Seen.Ticks.empty());
    EXPECT_EQ(loop.Pump.Calls, 1);
}

TEST(FrameLoop, AModeClickBetweenFramesTakesEffectAtTheNextFrame)
{
    LoopFixture loop;
    bool clicked = false;
    loop.Pump.Handlers = [&](int) {
        if (!clicked && loop.Seen.Ticks.size() == 25) {
            SelectMode(loop.Sim, SteeringMode::AccelChase);
            clicked = true;
        }
    };
    loop.RunFrames(30);
    EXPECT_EQ(loop.Seen.Flying[24], 2); // frames 10 and 20 launched
    EXPECT_EQ(loop.Seen.Flying[25], 0); // frame 26: nothing left to move
    EXPECT_EQ(loop.Seen.Flying[29], 1); // frame 30 launches in the new mode
    EXPECT_EQ(loop.Sim.Mode, SteeringMode::AccelChase);
}

TEST(ScriptRecorder, WritesEachHandlerAfterTheFramesItFollows)
{
    LoopFixture loop;
    std::FILE* file = std::tmpfile();
    CheckedOutput out(file, "the recording");
    ScriptRecorder recorder(out, 42);
    loop.Services.Observer = &recorder;
    std::size_t lastFrames = 99;
    loop.Pump.Handlers = [&](int call) {
        const std::size_t frames = loop.Seen.Ticks.size();
        if (call == 0)
            recorder.Record({.Kind = CommandKind::Move, .X = 12.5f, .Y = 0.1f}); // before the first frame
        if (frames == lastFrames)
            return; // the pump runs more than once between frames
        lastFrames = frames;
        if (frames == 3) {
            recorder.Record({.Kind = CommandKind::Press, .Button = MouseButton::Right});
            recorder.Record({.Kind = CommandKind::Mode, .Mode = SteeringMode::AngleChase});
            recorder.Record({.Kind = CommandKind::Limit});
            recorder.Record({.Kind = CommandKind::Frames, .Number = 5}); // counted as frames run, not written
        }
        if (frames == 7)
            recorder.Record({.Kind = CommandKind::Vectors});
    };
    loop.RunFrames(10);
    recorder.Flush();
    std::rewind(file);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_EQ(text, "# recorded by homing --record\nseed 42\nmove 12.5 0.1\nframes 3\npress right\nmode 2\nlimit\n"
                    "frames 4\nvectors\nframes 3\n");
}
