// Capture maps: a shot in the map is the shot the simulation flies in a
// script that puts the marker there, whatever the settings; and the map does
// not depend on the number of threads that made it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CaptureMap.h"
#include "FloatText.h"
#include "MapCsv.h"
#include "ScriptWorld.h"

namespace {

/// The frame shot 0 ended in and whether it was caught, as the trace would show it.
struct FirstShotEnd final : FrameObserver {
    std::int32_t Frame = 0;
    bool Caught = false;
    void OnFrame(const World& world, const FrameOutcome& outcome) override
    {
        if (Frame == 0 && (outcome.Caught | outcome.Expired) & 1u) {
            Frame = world.FrameCount;
            Caught = outcome.Caught & 1u;
        }
    }
};

std::string MoveLine(float x, float y)
{
    std::string line = "move ";
    AppendFloat(line, x);
    line += ' ';
    AppendFloat(line, y);
    return line;
}

/// Frames to the catch of the first shot of the script the map's shot stands
/// for (0 when it expires), run line by line as homing-sim runs it.
int ScriptedShot(const MapSettings& settings, SteeringMode mode, int x, int y, int shot)
{
    std::vector<std::string> lines;
    if (settings.FixedDraws) {
        std::string random = "random";
        for (int n = 0; n < 8; ++n) {
            random += ' ';
            AppendFloat(random, settings.Draw);
        }
        lines.push_back(random);
    } else {
        lines.push_back("seed " + std::to_string(ShotSeed(settings.Seed, x, y, mode, shot)));
    }
    lines.push_back("mode " + std::to_string(int(mode)));
    if (settings.Limit)
        lines.push_back("limit");
    lines.push_back(MoveLine(float(x), float(y)));
    lines.push_back("frames 10"); // launched on the tenth
    for (int t = 1; t <= ShotLife + 10; ++t) {
        lines.push_back(MoveLine(float(x + double(settings.MarkerVX) * t), float(y + double(settings.MarkerVY) * t)));
        lines.push_back("frames 1");
    }
    ScriptWorld sim;
    StartWorld(sim);
    FirstShotEnd end;
    sim.Observers.Add(&end);
    for (const std::string& text : lines) {
        const ParsedLine line = ParseLine(text);
        EXPECT_EQ(line.Kind, ParsedLine::Status::Ok) << text;
        EXPECT_EQ(RunCommand(sim, line.Parsed), "");
        if (end.Frame)
            break;
    }
    return end.Caught ? end.Frame - LaunchEvery + 1 : 0;
}

} // namespace

TEST(CaptureMap, EveryShotIsTheShotItsScriptFlies)
{
    MapSettings fixed, limited, moving;
    fixed.FixedDraws = true;
    fixed.Draw = 0.25f;
    limited.Limit = true;
    limited.Seed = 3;
    moving.MarkerVX = 0.5f;
    moving.MarkerVY = -0.25f;
    moving.Seed = 11;
    int caught = 0, missed = 0;
    for (const MapSettings& settings : {MapSettings{}, fixed, limited, moving})
        for (int mode = 0; mode < SteeringModeCount; ++mode)
            for (const auto& [x, y] : {std::pair{40, 260}, {290, 10}, {150, 150}, {170, 140}, {0, 299}})
                for (int shot = 0; shot < 3; ++shot) {
                    const int frames = FlyShot(settings, static_cast<SteeringMode>(mode), x, y, shot);
                    EXPECT_EQ(frames, ScriptedShot(settings, static_cast<SteeringMode>(mode), x, y, shot))
                        << "mode " << mode << " at (" << x << ", " << y << "), shot " << shot;
                    ++(frames ? caught : missed);
                }
    EXPECT_GT(caught, 0);
    EXPECT_GT(missed, 0); // the sample holds both outcomes
}

TEST(CaptureMap, FiguresOfAPlaceComeFromItsShots)
{
    MapSettings settings;
    settings.Shots = 9;
    const PlaceFigures figures = MapPlace(settings, SteeringMode::AngleChase, 120, 200);
    std::vector<int> frames;
    int caught = 0;
    for (int shot = 0; shot < settings.Shots; ++shot) {
        const int f = FlyShot(settings, SteeringMode::AngleChase, 120, 200, shot);
        frames.push_back(f ? f : 100000);
        caught += f > 0;
    }
    std::sort(frames.begin(), frames.end());
    EXPECT_EQ(figures.Shots, 9);
    EXPECT_EQ(figures.Caught, caught);
    EXPECT_EQ(figures.Median, frames[4] == 100000 ? 0 : frames[4]); // the 5th of 9
    EXPECT_EQ(figures.P90, frames[8] == 100000 ? 0 : frames[8]);    // the 9th of 9
}

TEST(CaptureMap, TheSameForAnyNumberOfThreads)
{
    MapSettings settings;
    settings.Step = 23;
    settings.Shots = 4;
    settings.Threads = 1;
    const CaptureMap one = ComputeMap(settings);
    settings.Threads = 3;
    const CaptureMap three = ComputeMap(settings);
    std::string oneText = MapCsvHeader(), threeText = MapCsvHeader();
    for (int row = 0; row < one.Rows; ++row) {
        oneText += MapCsvRows(one, settings, row);
        threeText += MapCsvRows(three, settings, row);
    }
    EXPECT_EQ(one.Columns, 14);
    EXPECT_EQ(oneText, threeText);
}
