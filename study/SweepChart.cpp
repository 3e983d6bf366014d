#include "SweepChart.h"

#include <algorithm>
#include <cmath>

#include "FloatText.h"

namespace {

using Layout = SweepChartLayout;

constexpr Pixel Grid = MakePixel(222, 222, 222);
constexpr Pixel Ink = MakePixel(40, 40, 40);

double Share(const SweepPoint& point, bool places)
{
    return places ? point.Figures.MostlyCaught : point.Figures.Caught;
}

/// The tick spacing for a range of `span`, in shares: about five lines.
double TickSpacing(double span) { return span <= 0.25 ? 0.05 : span <= 0.5 ? 0.1 : 0.25; }

/// `value` to `digits` significant digits, the same text in every locale.
std::string Digits(double value, int digits)
{
    if (value == 0 || !std::isfinite(value))
        return FloatText(float(value));
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) + 1 - digits);
    return FloatText(float(std::nearbyint(value / unit) * unit));
}

std::string Percent(double share) { return Digits(std::nearbyint(share * 1000) / 10, 4) + " %"; }

/// A 2-px line of segments, dashed when `dashed` (4 on, 3 off, along x).
void CurveLine(Surface& chart, int fromX, int fromY, int toX, int toY, bool dashed)
{
    const int pieces = dashed ? std::max(1, (toX - fromX) / 7) : 1;
    for (int n = 0; n < pieces; ++n) {
        const double a = double(n) / pieces, b = dashed ? (n + 4.0 / 7) / pieces : 1.0;
        const int x0 = fromX + int(std::lrint(a * (toX - fromX))), y0 = fromY + int(std::lrint(a * (toY - fromY)));
        const int x1 = fromX + int(std::lrint(b * (toX - fromX))), y1 = fromY + int(std::lrint(b * (toY - fromY)));
        for (const int offset : {0, 1}) {
            const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
            MoveToEx(chart, x0 + (steep ? offset : 0), y0 + (steep ? 0 : offset));
            LineTo(chart, x1 + (steep ? offset : 0), y1 + (steep ? 0 : offset));
        }
    }
}

void PaintCurve(Surface& chart, const Layout& layout, const SweepCurve& curve, bool places)
{
    chart.PenColor = Black | (places ? PlacesRgb : ShotsRgb);
    for (std::size_t n = 1; n < curve.Points.size(); ++n)
        CurveLine(chart, ChartX(curve.Points[n - 1].R), ChartY(layout, Share(curve.Points[n - 1], places)),
                  ChartX(curve.Points[n].R), ChartY(layout, Share(curve.Points[n], places)), !places);
    for (const SweepPoint& point : curve.Points)
        FillRect(chart, ChartX(point.R) - 2, ChartY(layout, Share(point, places)) - 2, 5, 5, chart.PenColor);
}

} // namespace

int ChartX(double r) { return Layout::PlotLeft + int(std::lrint(r * (Layout::PlotWidth - 1))); }

int ChartY(const SweepChartLayout& layout, double share)
{
    const double part = (share - layout.Low) / (layout.High - layout.Low);
    return Layout::PlotTop + Layout::PlotHeight - 1 - int(std::lrint(part * (Layout::PlotHeight - 1)));
}

SweepChartLayout LayOutSweepChart(const SweepCurve& curve)
{
    Layout layout;
    double low = 1, high = 0;
    for (const SweepPoint& point : curve.Points)
        for (const bool places : {true, false})
            low = std::min(low, Share(point, places)), high = std::max(high, Share(point, places));
    if (curve.Points.empty())
        low = 0, high = 1;
    layout.Flat = !curve.Points.empty();
    for (const SweepPoint& point : curve.Points)
        for (const bool places : {true, false})
            layout.Flat = layout.Flat && Share(point, places) == Share(curve.Points[0], places);
    // Flat curves get a tenth round them, so a constant is not drawn as the chart's whole height.
    if (layout.Flat)
        low = std::max(0.0, low - 0.05), high = std::min(1.0, high + 0.05);
    const double spacing = TickSpacing(high - low);
    layout.Low = std::floor(low / spacing + 1e-9) * spacing;
    layout.High = std::max(layout.Low + spacing, std::ceil(high / spacing - 1e-9) * spacing);
    for (double share = layout.Low; share <= layout.High + 1e-9; share += spacing)
        layout.YTicks.push_back({Layout::PlotLeft - 5, ChartY(layout, share), Percent(share)});
    const SteeringMode mode = curve.Parameter.Mode;
    const LaunchDraw draw = curve.Parameter.Draw;
    for (const float r : {0.0f, 0.5f, 0.99999994f})
        layout.XTicks.push_back(
            {ChartX(r), Layout::PlotTop + Layout::PlotHeight + 5, Digits(DrawValue(mode, draw, r), 3)});
    const int below = Layout::PlotTop + Layout::PlotHeight + 19;
    layout.Title = {Layout::PlotLeft + Layout::PlotWidth / 2, below, DrawMeaning(draw)};
    layout.PlacesKey = {Layout::PlotLeft + 22, below + 21, "places half caught"};
    layout.ShotsKey = {Layout::PlotLeft + 150, below + 21, "shots caught"};
    layout.Coincide = !layout.Flat && !curve.Points.empty();
    for (const SweepPoint& point : curve.Points)
        layout.Coincide = layout.Coincide && Share(point, true) == Share(point, false);
    if (layout.Coincide)
        layout.Words = "one line: places half caught and shots caught the same at every value, from " + Percent(low) +
                       " to " + Percent(high);
    else if (layout.Flat)
        layout.Words = "flat: places " + Percent(Share(curve.Points[0], true)) + ", shots " +
                       Percent(Share(curve.Points[0], false)) + " at every value";
    else
        layout.Words = "from " + Percent(low) + " to " + Percent(high) + " (the axis shows " + Percent(layout.Low) +
                       " to " + Percent(layout.High) + ")";
    return layout;
}

void PaintSweepChart(Surface& chart, const SweepChartLayout& layout, const SweepCurve& curve)
{
    FillRect(chart, Layout::PlotLeft, Layout::PlotTop, Layout::PlotWidth, Layout::PlotHeight, White);
    for (const ChartLabel& tick : layout.YTicks) {
        FillRect(chart, Layout::PlotLeft, tick.Y, Layout::PlotWidth, 1, Grid);
        FillRect(chart, Layout::PlotLeft - 4, tick.Y, 4, 1, Ink);
    }
    for (const ChartLabel& tick : layout.XTicks)
        FillRect(chart, tick.X, Layout::PlotTop + Layout::PlotHeight, 1, 4, Ink);
    // The axes: left and bottom.
    FillRect(chart, Layout::PlotLeft - 1, Layout::PlotTop, 1, Layout::PlotHeight + 1, Ink);
    FillRect(chart, Layout::PlotLeft - 1, Layout::PlotTop + Layout::PlotHeight, Layout::PlotWidth + 1, 1, Ink);
    // The legend's samples, each before its text.
    for (const bool places : {true, false}) {
        const ChartLabel& key = places ? layout.PlacesKey : layout.ShotsKey;
        chart.PenColor = Black | (places ? PlacesRgb : ShotsRgb);
        CurveLine(chart, key.X - 20, key.Y, key.X - 4, key.Y, !places);
    }
    for (const bool places : {false, true}) // the places' curve on top
        PaintCurve(chart, layout, curve, places);
}
