// The one painter of the study's pictures: a map panel's every pixel, and a
// sweep chart's range and points.

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "MapColours.h"
#include "MapPainter.h"
#include "Pictures.h"
#include "SweepChart.h"

namespace {

constexpr int Step = 100;

/// A 3 x 3 map whose middle right place (200..299, 100..199) is missed by every method.
CaptureMap OneMissedCorner(MapSettings& settings)
{
    settings.Step = Step;
    CaptureMap map = EmptyMap(settings);
    for (PlaceFigures& place : map.Places)
        place = {2, 2, 10, 12, 10, 0};
    for (int mode = 0; mode < SteeringModeCount; ++mode)
        map.At(2, 1, mode) = {2, 0, 0, 0, 0, 3};
    return map;
}

double FromLaunch(int x, int y) { return std::hypot(x + 0.5 - LaunchX, y + 0.5 - LaunchY); }

} // namespace

// The catch boundary lies on both sides of the edge between places (two
// pixels on a coarse grid), and every other pixel is its place's colour,
// whatever order the rows come in (the page's workers send bands of rows).
TEST(MapPainter, EveryPixelIsItsPlaceOrTheBoundary)
{
    MapSettings settings;
    const CaptureMap map = OneMissedCorner(settings);
    Surface panel = MakeSurface(PlayfieldSize, PlayfieldSize);
    bool arrived[3] = {};
    for (const auto& [first, last] : {std::pair{1, 2}, std::pair{0, 0}}) {
        for (int row = first; row <= last; ++row) {
            arrived[row] = true;
            PaintMapCells(panel, map, Step, SteeringMode::AngleChase, row);
        }
        for (int row = first; row <= last + 1 && row < map.Rows; ++row)
            if (arrived[row])
                PaintMapBoundary(panel, map, Step, SteeringMode::AngleChase, row, row > 0 && arrived[row - 1]);
    }
    const Pixel caught = Black | PlaceColour(map.At(0, 0, 2)), missed = Black | PlaceColour(map.At(2, 1, 2));
    int wrong = 0;
    for (int y = 0; y < PlayfieldSize; ++y)
        for (int x = 0; x < PlayfieldSize; ++x) {
            const bool inside = x >= 200 && y >= 100 && y < 200;
            const bool boundary = ((x == 199 || x == 200) && y >= 100 && y < 200) ||
                                  ((y == 99 || y == 100 || y == 199 || y == 200) && x >= 200);
            wrong += PixelAt(panel, x, y) != (boundary ? Black | BoundaryRgb : inside ? missed : caught);
        }
    EXPECT_EQ(wrong, 0);
}

// The marks: a black dot in a white ring on the launch point, an arrow along
// the launch heading only when every shot takes the same, the places beyond
// them untouched.
TEST(MapPainter, TheLauncherAndItsHeadingLeaveThePlacesBeyondThem)
{
    MapSettings settings;
    const CaptureMap map = OneMissedCorner(settings);
    const Surface places = MapPanelSurface(map, settings, SteeringMode::PerAxisChase); // draws no heading
    settings.FixedDraws = true;                                                        // every draw 0.5: heading 180
    const Surface fixed = MapPanelSurface(map, settings, SteeringMode::AngleChase);
    settings.FixedDraws = false;
    const Surface drawn = MapPanelSurface(map, settings, SteeringMode::AngleChase);
    for (int y = 140; y < 160; ++y)
        for (int x = 140; x < 160; ++x) {
            const double r = FromLaunch(x, y);
            if (r <= 3) {
                EXPECT_EQ(PixelAt(places, x, y), Black) << x << "," << y;
            } else if (r >= 3.6 && r <= 5) {
                EXPECT_EQ(PixelAt(places, x, y), White) << x << "," << y;
            }
        }
    EXPECT_EQ(PixelAt(fixed, 135, 150), Black) << "no arrow left of the launcher at heading 180";
    EXPECT_EQ(PixelAt(drawn, 135, 150), PixelAt(drawn, 135, 140)) << "an arrow though each shot draws its heading";
    EXPECT_EQ(PixelAt(fixed, 165, 150), PixelAt(fixed, 165, 140)) << "the arrow points the wrong way";
    int changed = 0;
    for (int y = 8; y < PlayfieldSize - 8; ++y)
        for (int x = 8; x < PlayfieldSize - 8; ++x)
            changed += FromLaunch(x, y) > 6 && PixelAt(places, x, y) != PixelAt(drawn, x, y);
    EXPECT_EQ(changed, 0) << "marks beyond the launcher where no heading is shared";
}

// A chart's y range shows its data, not 0 to 100 % whatever it holds; a flat
// chart says so and spans a tenth; every point is painted where the layout puts it.
TEST(SweepChart, TheRangeFitsTheDataAndAFlatChartIsSaid)
{
    SweepCurve curve{{SteeringMode::AngleChase, LaunchDraw::Turn}, {}};
    for (int n = 0; n < 10; ++n)
        curve.Points.push_back({(float(n) + 0.5f) / 10, 0, {0.62 + 0.035 * n, 0.5 + 0.04 * n, 0, 0, false}});
    const SweepChartLayout layout = LayOutSweepChart(curve);
    EXPECT_FALSE(layout.Flat);
    EXPECT_LE(layout.Low, 0.5);
    EXPECT_GE(layout.High, 0.9349);
    EXPECT_LT(layout.High - layout.Low, 0.75);
    Surface chart = MakeSurface(SweepChartLayout::Width, SweepChartLayout::Height);
    PaintSweepChart(chart, layout, curve);
    for (const SweepPoint& point : curve.Points) {
        const int x = ChartX(point.R);
        EXPECT_EQ(PixelAt(chart, x, ChartY(layout, point.Figures.MostlyCaught)), Black | PlacesRgb) << point.R;
        EXPECT_EQ(PixelAt(chart, x, ChartY(layout, point.Figures.Caught)), Black | ShotsRgb) << point.R;
        EXPECT_GE(ChartY(layout, point.Figures.Caught), SweepChartLayout::PlotTop);
        EXPECT_LT(ChartY(layout, point.Figures.Caught), SweepChartLayout::PlotTop + SweepChartLayout::PlotHeight);
    }
    for (SweepPoint& point : curve.Points)
        point.Figures.MostlyCaught = 1, point.Figures.Caught = 0.9;
    const SweepChartLayout flat = LayOutSweepChart(curve);
    EXPECT_TRUE(flat.Flat);
    EXPECT_EQ(flat.Words, "flat: places 100 %, shots 90 % at every value");
    EXPECT_LE(flat.High - flat.Low, 0.25);
}

// The sweep picture holds a chart for every draw of every method, each whole
// inside the picture and above its legend, none over another; and where the
// two curves are one line, the chart says so.
TEST(SweepChart, EveryDrawsChartLiesInsideThePicture)
{
    std::vector<SweepCurve> curves;
    for (const SweepParameter& parameter : SweepParameters())
        curves.push_back({parameter, {{0.5f, 0, {0.8, 0.8, 0, 0, false}}, {0.6f, 0, {0.9, 0.9, 0, 0, false}}}});
    const SweepPictureLayout picture = LayOutSweepPicture(curves);
    ASSERT_EQ(picture.Charts.size(), curves.size());
    for (std::size_t n = 0; n < curves.size(); ++n) {
        const auto& [left, top] = picture.Charts[n];
        EXPECT_GE(left, 0);
        EXPECT_LE(left + picture.ChartWidth, picture.Width) << n;
        EXPECT_LE(top + picture.ChartHeight, picture.LegendTop) << n;
        for (std::size_t other = 0; other < n; ++other)
            EXPECT_TRUE(std::abs(picture.Charts[other].Left - left) >= picture.ChartWidth ||
                        std::abs(picture.Charts[other].Top - top) >= picture.ChartHeight)
                << n << " over " << other;
    }
    const SweepChartLayout layout = LayOutSweepChart(curves[0]);
    EXPECT_TRUE(layout.Coincide);
    EXPECT_TRUE(layout.Said());
    EXPECT_EQ(layout.Words.rfind("one line: ", 0), 0u) << layout.Words;
}
