#pragma once
// A capture map's colours, the same in the runner's pictures and the page:
// the median frames to the catch on a perceptually uniform scale where at
// least half the shots are caught, grey (darker the fewer caught) elsewhere,
// and a red for the boundary between the two that neither holds.

#include <cstdint>

#include "CaptureMap.h"

/// 0xRRGGBB.
using MapRgb = std::uint32_t;

/// The frames the map's colour scale spans.
inline constexpr int MapFramesShown = 500;

/// The catch boundary's red.
inline constexpr MapRgb BoundaryRgb = 0xEB283C;

/// Perceptually uniform from dark blue (0) to yellow (1): matplotlib's viridis at eleven stops.
MapRgb Viridis(double share);

/// Where `frames` lies on the map's scale: by square root, so the differences
/// among quick catches, where most places lie, show as well as the slow ones.
double MapShare(double frames);

/// Fewer than half caught: grey, darker the fewer (`caughtShare` below 0.5).
MapRgb MostlyMissed(double caughtShare);

/// A place's colour.
MapRgb PlaceColour(const PlaceFigures& figures);
