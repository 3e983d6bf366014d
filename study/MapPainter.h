#pragma once
// A capture map's panel, painted pixel by pixel: one painter for homing-sim's
// pictures and the page's canvases, so both show the same pixels. The panel
// is the playfield, 300 x 300: each place's colour over its step x step
// cells, the catch boundary, the launcher, the launch heading when every shot
// takes the same one, and ticks every 50 px along the edges (their numbers
// are each front end's text).

#include <optional>

#include "CaptureMap.h"
#include "MapSettings.h"
#include "Raster.h"

/// Pixels between the ticks along a panel's edges.
inline constexpr int MapTickEvery = 50;

/// Paints the places of `row`, each its colour over its cells.
void PaintMapCells(Surface& panel, const CaptureMap& map, int step, SteeringMode mode, int row);

/// Paints the catch boundary along the left edges of `row`'s places and,
/// when the row above is shown (`aboveShown`), along their top edges; a
/// coarse grid's boundary is two pixels wide, one on each side of the edge,
/// so it is painted after the cells of the rows it touches.
void PaintMapBoundary(Surface& panel, const CaptureMap& map, int step, SteeringMode mode, int row, bool aboveShown);

/// The heading every shot of `mode` is launched along (degrees, y down), when
/// the settings fix or hold its draw; none when each shot draws its own or
/// the method draws no heading.
std::optional<double> SharedLaunchHeading(const MapSettings& settings, SteeringMode mode);

/// Over the places: the launcher (a black dot in a white ring), an arrow
/// along `launchHeading` if there is one, and the edges' ticks.
void PaintMapMarks(Surface& panel, std::optional<double> launchHeading);

/// The frames the colour scale's ticks mark.
inline constexpr int ScaleTickFrames[] = {0, 10, 25, 50, 100, 200, 300, 400, 500};

/// The colour scale, as wide as `scale`: 16 px of the places' colours from 0
/// to `MapFramesShown` frames (by the map's square root), a 5 px tick under
/// it at each of `ScaleTickFrames` (their numbers are each front end's text).
void PaintColourScale(Surface& scale);

/// Where the tick of `frames` lies on a scale `width` pixels wide.
int ScaleTickX(int width, int frames);

/// A method's whole panel: every row's cells, the boundary, then the marks.
Surface MapPanelSurface(const CaptureMap& map, const MapSettings& settings, SteeringMode mode);
