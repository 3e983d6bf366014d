// The runner's study outputs: per-shot figures on scenarios whose answers are
// known, the comparison's independent runs, and the summary against the trace.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Steering.h"
#include "Study.h"

namespace {

Script Parse(const std::string& text)
{
    Script script = ParseScript(text);
    EXPECT_EQ(script.BadLine, 0) << script.Error;
    return script;
}

/// Runs a script in its own mode (no comparison) with every shot's history.
ShotHistory History(const std::string& text)
{
    const Script script = Parse(text);
    Scenario run;
    StartScenario(run, true, false);
    for (const auto& [number, command] : script.Commands)
        EXPECT_EQ(Execute(run, command), "") << "line " << number;
    run.History->Settle(run.World);
    return std::move(*run.History);
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');)
        fields.push_back(field);
    return fields;
}

} // namespace

TEST(ShotFigures, StraightChaseTravelsItsDistanceLessUnderSixteen)
{
    // Mode 1 at speed 4.5 straight at a still marker 100 pixels away.
    const ShotHistory history = History("mode 1\nmove 250 150\nrandom 0.5\nframes 40\n");
    ASSERT_GE(history.Shots.size(), 1u);
    const ShotRecord& shot = history.Shots[0];
    EXPECT_EQ(shot.Outcome, ShotOutcome::Hit);
    EXPECT_EQ(shot.Frames, 19); // 19 * 4.5 = 85.5: 14.5 pixels short
    EXPECT_DOUBLE_EQ(shot.PathLength, 85.5);
    EXPECT_DOUBLE_EQ(shot.Closest, 14.5);
    EXPECT_EQ(shot.MaxTurn, 0);
    EXPECT_FALSE(shot.Circled);
    EXPECT_EQ(shot.LaunchFrame, 10);
    EXPECT_EQ(shot.EndFrame, 28);

    // A shot launched in the last frame has flown that one frame: 1 frame, 4.5 pixels.
    const ShotHistory last = History("mode 1\nmove 250 150\nrandom 0.5\nframes 10\n");
    std::FILE* summary = std::tmpfile();
    WriteSummary(last, summary);
    std::rewind(summary);
    char line[512];
    std::fgets(line, sizeof line, summary); // header
    ASSERT_TRUE(std::fgets(line, sizeof line, summary));
    std::fclose(summary);
    EXPECT_EQ(Split(line)[6], "1");
    EXPECT_EQ(Split(line)[7], "4.500");
}

TEST(ShotFigures, BoundedTurnShotCirclesAMarkerInsideItsTurningCircle)
{
    // Speed 6.5 and turn 2.5 degrees: a turning circle of radius
    // 6.5 / (2.5 * DegToRad), about 149 pixels. Launched leftwards with the
    // marker 40 pixels below, it turns towards it for ever on a circle round
    // (150, 299), which passes the marker 40 pixels off.
    const ShotHistory history = History("mode 2\nmove 150 190\nrandom 0.9 0.5 0.1\nframes 400\n");
    ASSERT_GE(history.Shots.size(), 1u);
    const ShotRecord& shot = history.Shots[0];
    EXPECT_NEAR(6.5 / (2.5 * DegToRad), 149, 1);
    EXPECT_TRUE(shot.Circled);
    EXPECT_NE(shot.Outcome, ShotOutcome::Hit);
    EXPECT_NEAR(shot.MaxTurn, 2.5, 0.01);
    EXPECT_NEAR(shot.Closest, 40, 1.5);
    EXPECT_NEAR(shot.PathLength, 6.5 * double(shot.Frames), 1e-3);
}

TEST(ShotFigures, ClearedAndStillFlyingShotsAreToldApart)
{
    const ShotHistory history = History("move 0 0\nrandom 0 0 0\nframes 15\npress right\nframes 10\n");
    ASSERT_EQ(history.Shots.size(), 2u);
    EXPECT_EQ(history.Shots[0].Outcome, ShotOutcome::Cleared);
    EXPECT_EQ(history.Shots[0].EndFrame, 15);
    EXPECT_EQ(history.Shots[1].Outcome, ShotOutcome::Flying); // launched at 20 into the freed slot 0
    EXPECT_EQ(history.Shots[1].Slot, 0);
    EXPECT_EQ(history.Shots[1].Frames, 6);
}

TEST(ShotFigures, LaunchParametersAreThoseBeforeTheFirstSteer)
{
    const ShotHistory history = History("mode 2\nmove 150 300\nrandom 0.5 0.5 0.5\nframes 10\n");
    ASSERT_EQ(history.Shots.size(), 1u);
    EXPECT_EQ(history.Shots[0].Angle, 180); // steered towards 90 afterwards
    EXPECT_EQ(history.Shots[0].Speed, 4.5f);
}

TEST(Compare, EveryMethodRunsAfreshOnTheSameRandomValues)
{
    // Queued values, then the generator: each run must draw the same ones.
    const Script script = Parse("mode 3\nmove 30 40\nrandom 0.25 0.5 0.75\nframes 40\npng /nonexistent/x.png\n");
    std::vector<float> firstDraws;
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        Scenario run;
        ASSERT_EQ(RunMethod(script, 1234, static_cast<SteeringMode>(mode), run), "");
        ASSERT_EQ(run.History->Shots.size(), 4u);
        EXPECT_EQ(run.World.Mode, static_cast<SteeringMode>(mode)); // the script's mode line is ignored
        EXPECT_EQ(run.World.FrameCount, 40);
        // Each mode turns its first draw into a speed of its own: recover r.
        const double scale[] = {3, 5, 5, 5, 0.3, 0.5}, offset[] = {1, 2, 2, 2, 0.1, 0.2};
        const double r = (run.History->Shots[0].Speed - offset[mode]) / scale[mode];
        EXPECT_NEAR(r, 0.25, 1e-6) << "mode " << mode;
        firstDraws.push_back(run.History->Shots[3].Speed);
    }
    // And the same run twice gives the same shots: nothing carried over.
    Scenario again, once;
    RunMethod(script, 1234, SteeringMode::AngleChase, again);
    RunMethod(script, 1234, SteeringMode::AngleChase, once);
    ASSERT_EQ(again.History->Shots.size(), once.History->Shots.size());
    for (std::size_t n = 0; n < once.History->Shots.size(); ++n) {
        EXPECT_EQ(again.History->Shots[n].PathLength, once.History->Shots[n].PathLength);
        EXPECT_EQ(again.History->Shots[n].Turn, once.History->Shots[n].Turn);
    }
}

TEST(Compare, FiguresCountOutcomesAndTakeTheMedian)
{
    ShotHistory history(false);
    for (const auto& [outcome, frames] : std::vector<std::pair<ShotOutcome, int>>{{ShotOutcome::Hit, 30},
                                                                                  {ShotOutcome::Expired, 500},
                                                                                  {ShotOutcome::Hit, 10},
                                                                                  {ShotOutcome::Cleared, 5},
                                                                                  {ShotOutcome::Hit, 20},
                                                                                  {ShotOutcome::Hit, 40},
                                                                                  {ShotOutcome::Flying, 3}}) {
        ShotRecord record;
        record.Outcome = outcome;
        record.Frames = frames;
        history.Shots.push_back(record);
    }
    const MethodFigures figures = Figures(history);
    EXPECT_EQ(figures.Launched, 7);
    EXPECT_EQ(figures.Caught, 4);
    EXPECT_EQ(figures.Expired, 1);
    ASSERT_TRUE(figures.MedianFramesToCatch);
    EXPECT_EQ(*figures.MedianFramesToCatch, 25);
    EXPECT_FALSE(Figures(ShotHistory(false)).MedianFramesToCatch);

    // Half frames are shown as they are, not rounded to a whole frame.
    MethodFigures half;
    half.MedianFramesToCatch = 17.5;
    EXPECT_EQ(MedianText(half), "17.5");
    EXPECT_EQ(MedianText(MethodFigures{}), "-");
}

TEST(Summary, OutcomesAgreeWithTheTrace)
{
    // A busy scenario: hits, expiries, clears, a mode change, shots still flying.
    const std::string text = "seed 99\nmode 2\nmove 150 190\nframes 700\nmove 150 150\nframes 40\nmode 4\n"
                             "move 60 60\nframes 200\npress middle\nframes 53\n";
    const Script script = Parse(text);

    Scenario traced;
    StartScenario(traced, true, false);
    SeedRandom(traced.Random.Generator, 0); // replaced by the script's seed
    std::FILE* traceFile = std::tmpfile();
    {
        TraceWriter trace(traceFile);
        traced.Observers.push_back(&trace);
        for (const auto& [number, command] : script.Commands)
            ASSERT_EQ(Execute(traced, command), "");
    }
    traced.History->Settle(traced.World);

    // Index the trace's rows by (frame, slot).
    std::map<std::pair<int, int>, std::string> state;
    std::rewind(traceFile);
    char line[512];
    std::fgets(line, sizeof line, traceFile); // header
    while (std::fgets(line, sizeof line, traceFile)) {
        const auto fields = Split(line);
        state[{std::stoi(fields[0]), std::stoi(fields[1])}] = fields[2];
    }
    std::fclose(traceFile);

    std::FILE* summaryFile = std::tmpfile();
    WriteSummary(*traced.History, summaryFile);
    std::rewind(summaryFile);
    std::fgets(line, sizeof line, summaryFile);
    std::map<std::string, int> seen;
    while (std::fgets(line, sizeof line, summaryFile)) {
        const auto f = Split(line);
        const int slot = std::stoi(f[1]), launch = std::stoi(f[3]), end = std::stoi(f[4]);
        const std::string& outcome = f[5];
        ++seen[outcome];
        SCOPED_TRACE(line);
        const auto at = [&](int frame) {
            const auto found = state.find(std::make_pair(frame, slot));
            return found == state.end() ? std::string("none") : found->second;
        };
        EXPECT_NE(at(launch), "none");
        const bool ended = outcome == "hit" || outcome == "expired";
        EXPECT_EQ(at(end), ended ? outcome : std::string("flying"));
        if (outcome == "cleared") {
            EXPECT_NE(at(end + 1), "flying"); // gone at once, unless its slot was relaunched
        }
    }
    std::fclose(summaryFile);
    EXPECT_GT(seen["hit"], 0);
    EXPECT_GT(seen["expired"], 0);
    EXPECT_GT(seen["cleared"], 0);
    EXPECT_GT(seen["flying"], 0);
}
