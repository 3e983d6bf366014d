#pragma once
// Picture output of the runner, written as PNG through Qt's image classes;
// each says in its text what made it: the program and version (Software)
// and `source`, the settings or the script (Source).

#include <array>
#include <string>
#include <vector>

#include <QImage>

#include "CaptureMap.h"
#include "FrameObserver.h"
#include "PictureFile.h"
#include "Raster.h"
#include "ShotHistory.h"
#include "Sweep.h"
#include "World.h"

/// Saves a surface as a PNG file. Returns what went wrong, or nothing.
[[nodiscard]] std::string SavePng(const Surface& surface, const std::string& path, const std::string& source);

/// The trail picture, built as the frames run: a shot's path is drawn when the
/// shot ends and the marker's path as it goes, so memory does not grow with
/// the frames. Hand it the frames and the ended shots.
struct TrailCanvas final : FrameObserver, ShotSink {
    TrailCanvas();

    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    void OnShotEnded(const ShotRecord& shot) override;

    /// The picture now: the playfield with the launcher and the marker, the
    /// marker's path in grey, then every shot's path in a colour of its own
    /// (the flying ones from `history`), a dot where a shot was caught and a
    /// cross where it expired.
    QImage Picture(const World& world, const Surface& sheet, const ShotHistory& history) const;

private:
    QImage MarkerLayer;                ///< the marker's path drawn so far, over transparency
    QImage ShotLayer;                  ///< the ended shots' paths
    std::vector<PathPoint> MarkerPath; ///< marker positions not yet drawn, the last drawn one first
};

[[nodiscard]] std::string SaveTrail(const World& world, const Surface& sheet, const TrailCanvas& trails,
                                    const ShotHistory& history, const std::string& path, const std::string& source);

/// One method's panel of the comparison picture.
struct ComparePanel {
    const char* Caption = ""; ///< UTF-8, as the window's option button shows it
    const char* Name = "";    ///< the method's English name
    std::string Figures;      ///< the lines of figures under the trail
    QImage Trail;
};

/// One panel for each steering method, by mode number.
using ComparePanels = std::array<ComparePanel, SteeringModeCount>;

/// Saves the methods' trail pictures in a grid three panels wide, each headed by its caption
/// in the window's Japanese face and its English name, with its figures underneath.
[[nodiscard]] std::string SaveComparison(const ComparePanels& panels, const std::string& path,
                                         const std::string& source);

/// One method's capture map, a pixel per playfield pixel: the median frames to
/// the catch on a perceptually uniform scale where at least half the shots are
/// caught, grey (darker the fewer caught) elsewhere; the launcher marked.
QImage MapPanel(const CaptureMap& map, const MapSettings& settings, SteeringMode mode);

/// Saves the methods' map panels as the comparison lays them out, with the colour
/// bar, the grey key and `note` (the settings) underneath.
[[nodiscard]] std::string SaveMap(const ComparePanels& panels, const std::string& note, const std::string& path,
                                  const std::string& source);

/// Where a sweep picture's charts go (each with its caption above it, a
/// SweepChartLayout below that), and its size, pixels.
struct SweepPictureLayout {
    struct Place {
        int Left = 0, Top = 0;
    };
    std::vector<Place> Charts;           ///< one for each curve, in their order
    int ChartWidth = 0, ChartHeight = 0; ///< a chart with its caption
    int Width = 0, Height = 0, LegendTop = 0;
};
SweepPictureLayout LayOutSweepPicture(const std::vector<SweepCurve>& curves);

/// Saves a sweep as small multiples: a chart for each method and launch draw,
/// the draw's value across in its own units, and on one scale in every
/// chart the share of places where at least half the shots are caught and
/// the share of all shots caught; `note` (the settings) under the legend.
[[nodiscard]] std::string SaveSweep(const std::vector<SweepCurve>& curves, const std::string& note,
                                    const std::string& path, const std::string& source);
