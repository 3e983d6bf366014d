// The runner's study outputs: per-shot figures on scenarios whose answers are
// known, the comparison's independent runs, and the summary against the trace.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Help.h"
#include "Methods.h"
#include "Steering.h"
#include "Study.h"
#include "TestSupport.h"

namespace {

/// Every shot of a run, in launch order.
struct CollectShots final : ShotSink {
    std::vector<ShotRecord> Shots;
    void OnShotEnded(const ShotRecord& shot) override
    {
        Shots.push_back(shot);
        std::sort(Shots.begin(), Shots.end(), [](const auto& a, const auto& b) { return a.Index < b.Index; });
    }
};

void Open(const std::string& text, ScriptInput& script)
{
    ASSERT_EQ(ScriptFromText(text, script), "");
    ScriptCheck check;
    ASSERT_EQ(CheckScript(script, check), "");
    ASSERT_EQ(check.BadLine, 0) << check.Error;
}

/// Runs a script in its own mode (no comparison) and returns every shot.
std::vector<ShotRecord> History(const std::string& text)
{
    ScriptInput script;
    Open(text, script);
    Scenario run;
    StartScenario(run, true, false);
    CollectShots shots;
    run.History->Sinks.push_back(&shots);
    ScriptCheck check;
    EXPECT_EQ(ForEachCommand(script, check,
                             [&](long number, const Command& command) {
                                 EXPECT_EQ(Execute(run, command), "") << "line " << number;
                                 return std::string();
                             }),
              "");
    run.History->Finish(run.Sim.World);
    return shots.Shots;
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
    const std::vector<ShotRecord> history = History("mode 1\nmove 250 150\nrandom 0.5\nframes 40\n");
    ASSERT_GE(history.size(), 1u);
    const ShotRecord& shot = history[0];
    EXPECT_EQ(shot.Outcome, ShotOutcome::Hit);
    EXPECT_EQ(shot.Frames, 19); // 19 * 4.5 = 85.5: 14.5 pixels short
    EXPECT_DOUBLE_EQ(shot.PathLength, 85.5);
    EXPECT_DOUBLE_EQ(shot.Closest, 14.5);
    EXPECT_EQ(shot.MaxTurn, 0);
    EXPECT_FALSE(shot.Circled);
    EXPECT_EQ(shot.LaunchFrame, 10);
    EXPECT_EQ(shot.EndFrame, 28);

    // A shot launched in the last frame has flown that one frame: 1 frame, 4.5 pixels.
    const std::vector<ShotRecord> last = History("mode 1\nmove 250 150\nrandom 0.5\nframes 10\n");
    ASSERT_EQ(last.size(), 1u);
    std::FILE* summary = std::tmpfile();
    {
        CheckedOutput out(summary, "the summary");
        SummaryWriter(out).OnShotEnded(last[0]);
        out.Flush();
    }
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
    const std::vector<ShotRecord> history = History("mode 2\nmove 150 190\nrandom 0.9 0.5 0.1\nframes 400\n");
    ASSERT_GE(history.size(), 1u);
    const ShotRecord& shot = history[0];
    EXPECT_NEAR(6.5 / (2.5 * DegToRad), 149, 1);
    EXPECT_TRUE(shot.Circled);
    EXPECT_NE(shot.Outcome, ShotOutcome::Hit);
    EXPECT_NEAR(shot.MaxTurn, 2.5, 0.01);
    EXPECT_NEAR(shot.MeanTurn(), 2.5, 0.01); // turning at its full rate all the way
    EXPECT_NEAR(shot.Closest, 40, 1.5);
    EXPECT_NEAR(shot.PathLength, 6.5 * double(shot.Frames), 1e-3);
}

TEST(ShotFigures, ClearedAndStillFlyingShotsAreToldApart)
{
    const std::vector<ShotRecord> history = History("move 0 0\nrandom 0 0 0\nframes 15\npress right\nframes 10\n");
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].Outcome, ShotOutcome::Cleared);
    EXPECT_EQ(history[0].EndFrame, 15);
    EXPECT_EQ(history[1].Outcome, ShotOutcome::Flying); // launched at 20 into the freed slot 0
    EXPECT_EQ(history[1].Slot, 0);
    EXPECT_EQ(history[1].Frames, 6);
}

TEST(ShotFigures, LaunchParametersAreThoseBeforeTheFirstSteer)
{
    const std::vector<ShotRecord> history = History("mode 2\nmove 150 300\nrandom 0.5 0.5 0.5\nframes 10\n");
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].Angle, 180); // steered towards 90 afterwards
    EXPECT_EQ(history[0].Speed, 4.5f);
}

TEST(Compare, EveryMethodRunsAfreshOnTheSameRandomValues)
{
    // Queued values, then the generator: each run must draw the same ones.
    ScriptInput script;
    Open("mode 3\nmove 30 40\nrandom 0.25 0.5 0.75\nframes 40\npng /nonexistent/x.png\n", script);
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        MethodRun method;
        ASSERT_EQ(RunMethod(script, 1234, static_cast<SteeringMode>(mode), method), "");
        const MethodFigures figures = method.Counter.Figures();
        ASSERT_EQ(figures.Launched, 4);
        EXPECT_EQ(method.Run.Sim.World.Mode, static_cast<SteeringMode>(mode)); // the script's mode line is ignored
        EXPECT_EQ(method.Run.Sim.World.FrameCount, 40);
        EXPECT_EQ(method.Run.Sim.Random.Queue.size(), 0u);
    }
    // The same run twice gives the same world: nothing carried over.
    MethodRun again, once;
    EXPECT_EQ(RunMethod(script, 1234, SteeringMode::AngleChase, again), "");
    EXPECT_EQ(RunMethod(script, 1234, SteeringMode::AngleChase, once), "");
    EXPECT_TRUE(SameWorld(again.Run.Sim.World, once.Run.Sim.World));
}

TEST(Compare, FiguresCountOutcomesAndTakeTheMedian)
{
    FigureCounter counter;
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
        counter.OnShotEnded(record);
    }
    const MethodFigures figures = counter.Figures();
    EXPECT_EQ(figures.Launched, 7);
    EXPECT_EQ(figures.Caught, 4);
    EXPECT_EQ(figures.Expired, 1);
    EXPECT_EQ(figures.Flying, 1);
    ASSERT_TRUE(figures.MedianFramesToCatch);
    EXPECT_EQ(*figures.MedianFramesToCatch, 25);
    EXPECT_FALSE(FigureCounter().Figures().MedianFramesToCatch);

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
    ScriptInput script;
    Open(text, script);

    Scenario traced;
    StartScenario(traced, true, false);
    SeedRandom(traced.Sim.Random.Generator, 0); // replaced by the script's seed
    std::FILE* traceFile = std::tmpfile();
    std::FILE* summaryFile = std::tmpfile();
    {
        CheckedOutput traceOut(traceFile, "the trace"), summaryOut(summaryFile, "the summary");
        TraceWriter trace(traceOut);
        SummaryWriter summary(summaryOut);
        traced.Sim.Observers.Add(&trace);
        traced.History->Sinks.push_back(&summary);
        ScriptCheck check;
        ASSERT_EQ(ForEachCommand(script, check, [&](long, const Command& command) { return Execute(traced, command); }),
                  "");
        traced.History->Finish(traced.Sim.World);
        ASSERT_TRUE(trace.Flush());
        ASSERT_TRUE(summaryOut.Flush());
    }

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

namespace {

/// A file of the project's sources with every run of blanks and line ends as one blank.
std::string SourceText(const char* path)
{
    std::ifstream file(std::string(HOMING_SOURCE_DIR) + "/" + path);
    std::string text, word;
    while (file >> word)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

} // namespace

// The methods' table of the docs (docs/demonstration.md) lists every method as the table says, "—" for no
// caption (the man pages' lists are made from the table); a method added to
// the table alone fails here, by name.
TEST(MethodTable, TheReadmeSaysWhatTheTableSays)
{
    const std::string readme = SourceText("docs/demonstration.md") + SourceText("docs/study.md");
    ASSERT_FALSE(readme.empty());
    for (const Method& method : Methods) {
        SCOPED_TRACE(method.Name);
        EXPECT_NE(readme.find(std::string("| ") + (*method.Caption ? method.Caption : "—") + " | " + method.Name +
                              " | " + std::to_string(int(method.Mode)) + " | " + method.Description + " | " +
                              method.Fails + " |"),
                  std::string::npos);
    }
    // The trace's columns whose meaning is each method's, as --help says them.
    for (const auto& [column, field] :
         {std::pair{"speed", &Shot::Speed}, {"angle", &Shot::Angle}, {"turn", &Shot::Turn}})
        EXPECT_NE(readme.find(std::string("| `") + column + "` | " + TraceColumnText(field) + " |"), std::string::npos)
            << column;
}

// Words about how many methods there are follow the table, in every text a
// reader meets (README, man pages, desktop files, CONTRIBUTING): the window's
// ways and option buttons are the methods with a caption, the guidance field's
// laws the others, "all N methods" every one; a script's mode runs to the last.
TEST(MethodTable, TheWordsFollowTheTable)
{
    const char* const names[] = {"zero",  "one",   "two",  "three", "four",   "five",   "six",
                                 "seven", "eight", "nine", "ten",   "eleven", "twelve", "thirteen"};
    const auto count = [&](const std::string& word) {
        for (int n = 0; n < int(std::size(names)); ++n)
            if (word == names[n])
                return n;
        return -1;
    };
    const int buttons = OptionButtonCount, all = SteeringModeCount, laws = all - buttons;
    for (const char* path : {"README.md", "docs/study.md", "docs/demonstration.md", "docs/development.md",
                             "docs/CONTRIBUTING.md", "desktop/homing.1.in", "desktop/homing-sim.1.in",
                             "desktop/homing.desktop.in", "desktop/homing.metainfo.xml.in"}) {
        // The text's words, lower case, letters and digits only (a plain scan: std::regex
        // trips GCC 12's maybe-uninitialized warning under the sanitizers).
        std::vector<std::string> words(1);
        for (const unsigned char c : SourceText(path))
            if (std::isalnum(c))
                words.back() += char(std::tolower(c));
            else if (!words.back().empty())
                words.emplace_back();
        ASSERT_GT(words.size(), 10u) << path;
        const auto at = [&](std::size_t n) { return n < words.size() ? words[n] : std::string(); };
        for (std::size_t n = 0; n < words.size(); ++n) {
            SCOPED_TRACE(std::string(path) + ": \"" + at(n) + " " + at(n + 1) + " " + at(n + 2) + " " + at(n + 3) +
                         " " + at(n + 4) + "\"");
            const int number = count(at(n));
            if (at(n) == "mode" && at(n + 1) == "must" && at(n + 2) == "be" && at(n + 3) == "0" && at(n + 4) == "to") {
                EXPECT_EQ(at(n + 5), std::to_string(all - 1));
            } else if ((at(n) == "all" || at(n) == "the") && count(at(n + 1)) >= 0 && at(n + 2) == "methods" &&
                       (at(n) == "all" || at(n - 1) == "with")) {
                EXPECT_EQ(count(at(n + 1)), all);
            } else if (number >= 0 && (at(n + 1) == "ways" || (at(n + 1) == "option" && at(n + 2) == "buttons"))) {
                EXPECT_EQ(number, buttons);
            } else if (number >= 0 && (at(n + 1) == "laws" || (at(n + 1) == "reference" && at(n + 2) == "laws"))) {
                EXPECT_EQ(number, laws);
            } else if (number >= 0 && at(n + 1) == "map" && at(n + 2) == "panels") {
                EXPECT_EQ(number, all);
            }
        }
    }
}
