#pragma once
// A sweep chart, laid out and painted by one painter for homing-sim's
// pictures and the page's canvases: the shares of places mostly caught and of
// shots caught against one launch draw's value, on a y range that shows the
// data. The layout says where each label goes and what it says; the front
// ends write the text in their own fonts.

#include <string>
#include <vector>

#include "Raster.h"
#include "Sweep.h"

/// A label: its anchor in the chart's pixels and its text.
struct ChartLabel {
    int X = 0, Y = 0; ///< pixels: the text's centre (x ticks), its right end (y ticks), its left end (else)
    std::string Text;
};

struct SweepChartLayout {
    static constexpr int Width = 300, Height = 182;                   ///< pixels
    static constexpr int PlotLeft = 44, PlotTop = 6, PlotWidth = 246; ///< pixels
    static constexpr int PlotHeight = 124;                            ///< pixels
    double Low = 0, High = 1;                                         ///< the shares at the plot's bottom and top
    bool Flat = false;                                                ///< both curves the same at every value
    bool Coincide = false; ///< the two curves one line: every place's shots all caught or all missed
    /// The words are written on the chart: it shows less than its plot says.
    bool Said() const { return Flat || Coincide; }
    std::vector<ChartLabel> YTicks; ///< "40 %", right-aligned at their grid line
    std::vector<ChartLabel> XTicks; ///< the draw's value at r = 0, 0.5 and 1, centred under the tick
    ChartLabel Title;               ///< what the x axis is: the draw's meaning
    ChartLabel PlacesKey, ShotsKey; ///< the legend's two texts, after their line samples
    std::string Words;              ///< the chart's range in words: "flat: 100 % at every value", ...
};

/// The x of a draw `r` (0 to 1) and the y of a `share` (0 to 1), pixels.
int ChartX(double r);
int ChartY(const SweepChartLayout& layout, double share);

/// The chart's layout for `curve`: its y range from the data, its ticks and labels.
SweepChartLayout LayOutSweepChart(const SweepCurve& curve);

/// Paints the chart into `chart` (Width x Height): plot, grid, axes, ticks,
/// the legend's samples, both curves and their points.
void PaintSweepChart(Surface& chart, const SweepChartLayout& layout, const SweepCurve& curve);

/// The two curves' colours (0xRRGGBB), their samples in the legend.
inline constexpr std::uint32_t PlacesRgb = 0x2A4D8F, ShotsRgb = 0xE08214;
