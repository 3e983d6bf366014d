// Capture maps: a shot in the map is the shot the simulation flies in a
// script that puts the marker there, whatever the settings; and the map does
// not depend on the number of threads that made it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "CaptureMap.h"
#include "DodgeWindow.h"
#include "FloatText.h"
#include "LaneShots.h"
#include "MapCsv.h"
#include "Numbers.h"
#include "ScriptWorld.h"
#include "ShotScript.h"
#include "Steering.h"
#include "Sweep.h"
#include "TurningCircle.h"

namespace {

/// The frame shot 0 ended in and whether it was caught, as the trace would
/// show it, and its least squared distance to the marker at the hit tests it met.
struct FirstShotEnd final : FrameObserver {
    std::int32_t Frame = 0;
    bool Caught = false;
    double Closest = 1e300;
    void OnFrame(const World& world, const FrameOutcome& outcome) override
    {
        if (Frame != 0)
            return;
        const Shot& shot = world.Shots[0];
        if (shot.Alive || (outcome.Caught & 1u)) {
            const double dy = double(world.MeY) - double(shot.Y), dx = double(world.MeX) - double(shot.X);
            Closest = std::min(Closest, dy * dy + dx * dx);
        }
        if ((outcome.Caught | outcome.Expired) & 1u) {
            Frame = world.FrameCount;
            Caught = outcome.Caught & 1u;
        }
    }
};

/// How the first shot of the script the map's shot stands for ended, run
/// line by line as homing-sim runs it.
ShotEnd ScriptedShot(const MapSettings& settings, SteeringMode mode, int x, int y, int shot)
{
    const std::string script = ShotScript(settings, mode, x, y, shot, ShotLife + 1);
    ScriptWorld sim;
    StartWorld(sim);
    FirstShotEnd end;
    sim.Observers.Add(&end);
    for (std::size_t at = 0; at < script.size() && !end.Frame;) {
        const std::size_t next = script.find('\n', at);
        const ParsedLine line = ParseLine(script.substr(at, next - at));
        EXPECT_NE(line.Kind, ParsedLine::Status::Error) << script.substr(at, next - at);
        if (line.Kind == ParsedLine::Status::Ok) {
            EXPECT_EQ(RunCommand(sim, line.Parsed), "");
        }
        at = next + 1;
    }
    return {end.Caught ? end.Frame - ScriptLaunchFrame + 1 : 0, float(std::sqrt(end.Closest))};
}

} // namespace

TEST(CaptureMap, EveryShotIsTheShotItsScriptFlies)
{
    MapSettings fixed, limited, moving, circling, weaving, fleeing, jinking, held, lagging, noisy;
    fixed.FixedDraws = true;
    fixed.Draw = 0.25f;
    limited.Limit = true;
    limited.Seed = 3;
    moving.MarkerVX = 0.5f;
    moving.MarkerVY = -0.25f;
    moving.Seed = 11;
    circling.Motion = MarkerMotion::Circle, circling.MotionSize = 30, circling.MotionPeriod = 100;
    weaving.Motion = MarkerMotion::Weave, weaving.MotionSize = 20.5f, weaving.MotionPeriod = 60;
    fleeing.Motion = MarkerMotion::Flee, fleeing.MotionSize = 1.5f;
    jinking.Motion = MarkerMotion::Jink, jinking.MotionPeriod = 12, jinking.MotionSize = -2.5f;
    held.Held = LaunchDraw::Turn, held.HeldValue = 0.125f; // the methods that draw no turn draw as usual
    // The guidance laws' lag and seeker noise, against a sidestep; noise with
    // every draw fixed still draws its errors shot by shot.
    lagging = jinking, lagging.Lag = 4.5f;
    noisy = fixed, noisy.Noise = 2, noisy.Lag = 1, noisy.Motion = MarkerMotion::Circle, noisy.MotionSize = 30,
    noisy.MotionPeriod = 90;
    int caught = 0, missed = 0;
    for (const MapSettings& settings :
         {MapSettings{}, fixed, limited, moving, circling, weaving, fleeing, jinking, held, lagging, noisy})
        for (int mode = 0; mode < SteeringModeCount; ++mode)
            for (const auto& [x, y] : {std::pair{40, 260}, {290, 10}, {150, 150}, {170, 140}, {0, 299}}) {
                std::array<ShotEnd, 3> together; // flown side by side: those launched alike once
                FlyShots(settings, static_cast<SteeringMode>(mode), x, y, 0, 3, together.data());
                for (int shot = 0; shot < 3; ++shot) {
                    ShotEnd flown;
                    FlyShots(settings, static_cast<SteeringMode>(mode), x, y, shot, 1, &flown);
                    EXPECT_EQ(together[std::size_t(shot)].Frames, flown.Frames);
                    EXPECT_EQ(together[std::size_t(shot)].Closest, flown.Closest);
                    const ShotEnd scripted = ScriptedShot(settings, static_cast<SteeringMode>(mode), x, y, shot);
                    EXPECT_EQ(flown.Frames, scripted.Frames)
                        << "mode " << mode << " at (" << x << ", " << y << "), shot " << shot;
                    EXPECT_EQ(flown.Closest, scripted.Closest) << "closest approach, mode " << mode;
                    ++(flown.Frames ? caught : missed);
                }
            }
    EXPECT_GT(caught, 0);
    EXPECT_GT(missed, 0); // the sample holds both outcomes
}

// Shots flown in vector lanes, many places' together, each lane taking the
// next shot when its own ends, at every lane width the processor offers, end
// as the frame's per-slot code flies each shot: a moving marker (each lane
// follows its own place's), shots launched alike (flown once), more places
// than lanes and more shots than places.
TEST(CaptureMap, LanesFlyEachShotAsTheSlotCodeDoes)
{
    MapSettings circling, fixed, fleeing, jinking, lagging, noisy;
    circling.Motion = MarkerMotion::Circle, circling.MotionSize = 30, circling.MotionPeriod = 100;
    circling.Limit = true;
    fixed.FixedDraws = true, fixed.Draw = 0.75f;
    fleeing.Motion = MarkerMotion::Flee, fleeing.MotionSize = 1.5f;
    jinking.Motion = MarkerMotion::Jink, jinking.MotionPeriod = 20, jinking.MotionSize = 3;
    std::vector<PlacePoint> places;
    for (int x = 3; x < 300; x += 29)
        places.push_back({x, (x * 7) % 300});
    constexpr int shots = 11;
    lagging = jinking, lagging.Lag = 6;
    noisy = circling, noisy.Noise = 3, noisy.Lag = 0.5f;
    for (const MapSettings& settings : {MapSettings{}, circling, fixed, fleeing, jinking, lagging, noisy})
        for (int mode = 0; mode < SteeringModeCount; ++mode) {
            const auto steering = SteeringMode(mode);
            std::vector<ShotEnd> alone(places.size() * shots), together(alone.size());
            for (std::size_t place = 0; place < places.size(); ++place)
                FlyShotsBySlotCode(settings, steering, places[place].X, places[place].Y, 0, shots,
                                   &alone[place * shots]);
            const auto same = [&](const char* how) {
                for (std::size_t n = 0; n < alone.size(); ++n) {
                    EXPECT_EQ(together[n].Frames, alone[n].Frames) << how << ", mode " << mode << ", shot " << n;
                    EXPECT_EQ(BitsOf(together[n].Closest), BitsOf(alone[n].Closest)) << how << ", mode " << mode;
                }
            };
            FlyPlaces(settings, steering, places.data(), int(places.size()), shots, together.data());
            same("FlyPlaces");
            std::vector<Shot> launched(alone.size());
            std::vector<MarkerPath> paths;
            std::vector<LanePlace> lanePlaces;
            for (std::size_t place = 0; place < places.size(); ++place) {
                paths.emplace_back(settings, places[place].X, places[place].Y);
                for (int n = 0; n < shots; ++n)
                    LaunchMapShot(launched[place * shots + std::size_t(n)], settings, steering, places[place].X,
                                  places[place].Y, n);
            }
            for (std::size_t place = 0; place < places.size(); ++place)
                lanePlaces.push_back({&paths[place], &launched[place * shots], shots, &together[place * shots]});
            for (const int width : LaneWidths()) {
                std::fill(together.begin(), together.end(), ShotEnd{-1, -1});
                FlyShotsInLanes(steering, FlightRulesOf(settings), lanePlaces.data(), int(lanePlaces.size()), width);
                same(width == LaneWidths().back() ? "the narrowest lanes" : "wider lanes");
            }
        }
}

// Each motion as its option names it: a circle from the place's right, clockwise
// on the screen (y down); a weave across the way from the launcher, from the
// place; a flight straight away from the launcher, to the right from it; a
// sidestep standing until its frame, then square to the way out, to its right
// (seen from the launcher) or, at a negative speed, its left.
TEST(CaptureMap, MarkerMotionsMoveAsNamed)
{
    MapSettings circle, weave, flee, jink;
    jink.Motion = MarkerMotion::Jink, jink.MotionPeriod = 10, jink.MotionSize = 2;
    circle.Motion = MarkerMotion::Circle, circle.MotionSize = 30, circle.MotionPeriod = 100;
    weave.Motion = MarkerMotion::Weave, weave.MotionSize = 20, weave.MotionPeriod = 40;
    flee.Motion = MarkerMotion::Flee, flee.MotionSize = 2;
    const auto near = [](MarkerPoint at, double x, double y) { return std::hypot(at.X - x, at.Y - y) < 1e-3; };
    EXPECT_TRUE(near(MarkerAt(circle, 100, 100, 1), 130, 100));
    EXPECT_TRUE(near(MarkerAt(circle, 100, 100, 26), 100, 130)); // a quarter period: below, turning clockwise
    EXPECT_TRUE(near(MarkerAt(weave, 150, 50, 1), 150, 50));
    EXPECT_TRUE(near(MarkerAt(weave, 150, 50, 11), 170, 50)); // a quarter swing, square to the way up
    EXPECT_TRUE(near(MarkerAt(weave, 150, 50, 21), 150, 50));
    EXPECT_TRUE(near(MarkerAt(flee, 150, 100, 6), 150, 90));  // five frames straight away, upwards
    EXPECT_TRUE(near(MarkerAt(flee, 150, 150, 6), 160, 150)); // from the launcher itself: to the right
    EXPECT_TRUE(near(MarkerAt(jink, 150, 50, 10), 150, 50));  // still at its frame
    EXPECT_TRUE(near(MarkerAt(jink, 150, 50, 13), 156, 50));  // three steps to the right of the way up
    jink.MotionSize = -2;
    EXPECT_TRUE(near(MarkerAt(jink, 250, 150, 15), 250, 140)); // five to the left of the way right: up the screen
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

// The study says the angle chase, every draw at 0.5, misses inside its
// turning circles less the catch, and which turn reaches a marker 60 pixels
// beside it: held to the shots, all but the circles' rims.
TEST(CaptureMap, TheAngleChaseMissesInsideItsTurningCircles)
{
    MapSettings settings;
    settings.FixedDraws = true; // speed 4.5 pixels a frame, heading 180 degrees, turn 4.5 degrees a frame
    settings.Shots = 1;
    int places = 0, agree = 0;
    for (int y = 0; y < PlayfieldSize; y += 6)
        for (int x = 0; x < PlayfieldSize; x += 6, ++places)
            agree += (FlyShot(settings, SteeringMode::AngleChase, x, y, 0) == 0) ==
                     OutOfReach(4.5, 4.5, double(LaunchX) - x, y - double(LaunchY));
    EXPECT_GT(agree, places * 98 / 100);

    const double needed = TurnToReach(4.5, 60);
    EXPECT_NEAR(needed, 6.8, 0.05);
    EXPECT_TRUE(OutOfReach(4.5, needed * 0.99, 0, 60));
    EXPECT_FALSE(OutOfReach(4.5, needed * 1.01, 0, 60));
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

// A sweep's value is the map with that draw held, its figures as the map's
// own give them; the value named is the one the launch makes of the draw.
TEST(CaptureMap, ASweepValueIsTheMapWithThatDrawHeld)
{
    MapSettings settings;
    settings.Step = 50;
    settings.Shots = 4;
    settings.Threads = 2;
    const std::vector<SweepCurve> curves = ComputeSweep(settings, 3);
    std::size_t draws = 0; // every draw of every method, as the table has them
    for (const Method& method : Methods)
        for (const MethodDraw& draw : method.Draws)
            draws += draw.Draw != LaunchDraw::None;
    ASSERT_EQ(curves.size(), draws);
    for (const SweepCurve& curve : curves) {
        const SweepPoint& point = curve.Points[1];
        EXPECT_EQ(point.R, 0.5f);
        MapSettings held = settings;
        held.Held = curve.Parameter.Draw;
        held.HeldValue = point.R;
        const SweepFigures map = SweepFiguresOf(ComputeMap(held), curve.Parameter.Mode);
        const std::string what =
            std::string(LaunchDrawName(curve.Parameter.Draw)) + ", mode " + std::to_string(int(curve.Parameter.Mode));
        EXPECT_EQ(point.Figures.MostlyCaught, map.MostlyCaught) << what;
        EXPECT_EQ(point.Figures.Caught, map.Caught) << what;
        EXPECT_EQ(point.Figures.Median, map.Median) << what;
        EXPECT_EQ(point.Figures.Miss, map.Miss) << what;
    }
    EXPECT_EQ(DrawValue(SteeringMode::AngleChase, LaunchDraw::Turn, 0.5f), 4.5f);    // 2 + 5 r degrees a frame
    EXPECT_EQ(DrawValue(SteeringMode::AccelChase, LaunchDraw::Limit, 0.25f), 4.75f); // 3 + 7 r pixels a frame
    // Holding the turn rate changes the shots of the two methods that draw one, and no others'.
    MapSettings slow = settings;
    slow.Held = LaunchDraw::Turn;
    slow.HeldValue = 0.05f;
    const CaptureMap held = ComputeMap(slow), free = ComputeMap(settings);
    int differ = 0;
    for (int mode = 0; mode < SteeringModeCount; ++mode)
        for (int row = 0; row < held.Rows; ++row)
            for (int column = 0; column < held.Columns; ++column) {
                const PlaceFigures &a = held.At(column, row, mode), &b = free.At(column, row, mode);
                const bool same = a.Caught == b.Caught && a.Median == b.Median && a.Miss == b.Miss;
                if (DrawIndex(SteeringMode(mode), LaunchDraw::Turn) < 0) {
                    EXPECT_TRUE(same) << "mode " << mode;
                }
                differ += !same;
            }
    EXPECT_GT(differ, 0);
}

// The page's address names a map's settings as homing-sim's options do: the
// same settings come back from it, and a bad part is named with the option's message.
TEST(CaptureMap, AnAddressHoldsTheSettingsOfItsMap)
{
    MapSettings settings;
    settings.Step = 4, settings.Shots = 8, settings.Limit = true;
    settings.Motion = MarkerMotion::Circle, settings.MotionSize = 30, settings.MotionPeriod = 100.5f;
    settings.Held = LaunchDraw::Speed, settings.HeldValue = 0.25f;
    const std::string address = MapSettingsAddress(settings);
    EXPECT_EQ(address, "step=4&shots=8&seed=1&limit&motion=circle,30,100.5&hold=speed=0.25");
    MapSettings read;
    EXPECT_EQ(ReadMapAddress(address, read), "");
    EXPECT_EQ(MapSettingsText(read), MapSettingsText(settings));
    MapSettings line;
    EXPECT_EQ(ReadMapAddress("velocity=0.5,-0.25&draws=0.5", line), "");
    EXPECT_EQ(MapSettingsAddress(line), "step=1&shots=32&draws=0.5&velocity=0.5,-0.25");
    MapSettings jink; // a sidestep: its frame, then its speed, signed
    EXPECT_EQ(ReadMapAddress("motion=jink,20,-3", jink), "");
    EXPECT_EQ(MapSettingsText(jink), "--step 1 --shots 32 --seed 1 --marker-motion jink 20 -3");

    MapSettings bad;
    EXPECT_EQ(ReadMapAddress("step=0", bad), "step=0: --step must be a whole number from 1 to 300, got 0");
    EXPECT_EQ(ReadMapAddress("shots=8,9", bad), "shots=8,9: shots takes 1 value");
    // One reading for every key, and each once, as on the command line.
    MapSettings encoded, joined;
    EXPECT_EQ(ReadMapAddress("motion=circle%2C30,100.5&hold=speed%3D0.25", encoded), "");
    EXPECT_EQ(MapSettingsAddress(encoded), "step=1&shots=32&seed=1&motion=circle,30,100.5&hold=speed=0.25");
    EXPECT_EQ(ReadMapAddress("step=4%26shots=8", joined), // "%26" is a character of the value, not a separator
              "step=4%26shots=8: --step must be a whole number from 1 to 300, got 4&shots=8");
    MapSettings twice, far;
    EXPECT_EQ(ReadMapAddress("step=4&step=5", twice), "step=5: --step is given twice");
    EXPECT_EQ(ReadMapAddress("velocity=3e38,0", far),
              "velocity=3e38,0: --marker-velocity carries the marker past the largest float within a shot's life of "
              "500 frames");
    EXPECT_EQ(ReadMapAddress("colour=red", bad), "colour is not a setting of the map");
}

// The lanes' own line of sight stays within its bound of the library's where
// the two are likeliest to part: on and beside the axes and the diagonals,
// at each of the arctangent table's points, with -0, and far and near.
TEST(CaptureMap, TheLanesLineOfSightIsWithinItsBound)
{
    double worst = 0;
    int known = 0;
    const auto check = [&](double x, double y) {
        const double near = NearSightDirection(x, y);
        if (std::isnan(near)) {
            EXPECT_FALSE(x != 0 && std::isfinite(x) && std::isfinite(y)) << x << ", " << y;
            return;
        }
        ++known;
        worst = std::max(worst, std::fabs(near - SightDirection(x, y)));
        EXPECT_EQ(std::signbit(near), std::signbit(SightDirection(x, y))) << x << ", " << y;
    };
    for (const double scale : {1e-300, 1e-3, 1.0, 299.0, 1e300})
        for (int k = -600; k <= 600; ++k)
            for (const double side : {-1.0, 1.0})
                for (const double nudge : {0.0, 1e-12, -1e-12, 0.5 / 256}) {
                    const double slope = k / 256.0 + nudge;
                    check(side * scale, side * scale * slope);
                    check(side * scale * slope, side * scale);
                }
    for (const double zero : {0.0, -0.0})
        for (const double x : {-3.0, 3.0, 0.0})
            check(x, zero), check(zero, x);
    check(std::numeric_limits<double>::infinity(), 1), check(1, std::nan(""));
    EXPECT_GT(known, 40000);
    EXPECT_LT(worst, NearSightBound / 1000) << "the bound is meant to hold ten thousand times over";
}

// The dodge window counts each shot that a still marker's place catches in
// F frames once for each frames to go g up to F, as the slot code flies it
// with the marker standing until frame F - g and then stepping aside; its
// median is the middle (the lower of two) of those shots' closest approaches.
TEST(DodgeWindow, EachPointIsItsShotsFlownWithTheirSidestep)
{
    MapSettings settings;
    settings.Step = 150, settings.Shots = 5, settings.Lag = 2, settings.Noise = 0.5f;
    const auto mode = SteeringMode::ProportionalNavigation;
    const std::vector<DodgeCurve> curves = ComputeDodgeWindow(settings, -2.5f, mode);
    ASSERT_EQ(curves.size(), 1u);
    std::array<int, DodgeFramesToGo + 1> shots{}, caught{};
    std::array<std::vector<float>, DodgeFramesToGo + 1> closest;
    for (const int x : {0, 150})
        for (const int y : {0, 150})
            for (int shot = 0; shot < settings.Shots; ++shot) {
                ShotEnd still;
                FlyShotsBySlotCode(settings, mode, x, y, shot, 1, &still);
                for (int g = 1; g <= std::min(still.Frames, DodgeFramesToGo); ++g) {
                    MapSettings stepping = settings;
                    stepping.Motion = MarkerMotion::Jink, stepping.MotionPeriod = float(still.Frames - g);
                    stepping.MotionSize = -2.5f;
                    ShotEnd end;
                    FlyShotsBySlotCode(stepping, mode, x, y, shot, 1, &end);
                    ++shots[std::size_t(g)], caught[std::size_t(g)] += end.Frames ? 1 : 0;
                    closest[std::size_t(g)].push_back(end.Closest);
                }
            }
    int escapes = 0;
    for (const DodgePoint& point : curves[0].Points) {
        const auto g = std::size_t(point.FramesToGo);
        EXPECT_EQ(point.Shots, shots[g]) << g << " frames to go";
        EXPECT_EQ(point.Caught, caught[g]) << g << " frames to go";
        std::sort(closest[g].begin(), closest[g].end());
        EXPECT_EQ(point.MedianClosest, closest[g].empty() ? 0 : closest[g][(closest[g].size() - 1) / 2]);
        escapes += point.Shots - point.Caught;
    }
    EXPECT_GT(escapes, 0); // some sidesteps got away
    EXPECT_GT(curves[0].Points[0].Shots, 0);
}
