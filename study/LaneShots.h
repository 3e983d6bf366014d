#pragma once
// A place's lone shots flown side by side in vector lanes: the frames, the
// steering step's arithmetic and the hit test of each shot as the per-slot
// code of the frame has them, lane by lane, so every lane ends as that shot
// ends flown alone. Every operation is one that rounds correctly (+ - * /,
// square roots, roundings to float), the same in a lane as in scalar code.
// The widest lanes the processor offers are chosen at run time (AVX-512,
// else AVX2, else SSE2; WebAssembly SIMD in the page); HOMING_LANES=N picks
// another width it has, to measure one beside another.

#include <vector>

#include "LoneShots.h"
#include "World.h"

/// A place's shots for the lanes: the marker's path, the shots as
/// `LaunchMapShot` launched them, and where to say how each ended.
struct LanePlace {
    const MarkerPath* Path;
    const Shot* Launched;
    int Count;
    ShotEnd* Ends;
};

/// How many shots the lanes fly at once on this processor: the widest it
/// offers, or the width HOMING_LANES names where it has that width.
int LaneWidth();
/// Every width this processor can fly, widest first.
std::vector<int> LaneWidths();

/// What the world's switches say for every shot of a map.
struct FlightRules {
    bool SpeedLimit = false; ///< modes 4 and 5 cap their speed
    float Lag = 0;           ///< the guidance laws' turn lag, frames
    float Noise = 0;         ///< their seeker's error spread, degrees
};
inline FlightRules FlightRulesOf(const MapSettings& settings) { return {settings.Limit, settings.Lag, settings.Noise}; }

/// Flies the shots of `count` places, all of `mode` under `rules`, side by
/// side in `width` lanes (one of LaneWidths()): a lane takes the next shot,
/// of whichever place, when its own has ended.
void FlyShotsInLanes(SteeringMode mode, const FlightRules& rules, const LanePlace* places, int count,
                     int width = LaneWidth());

/// The lanes' own line of sight to (x, y): SightDirection within
/// `NearSightBound` radians, worked out without the maths library; NaN where
/// they leave it to the library (x = 0, or not finite). For tests.
double NearSightDirection(double x, double y);
/// Ten thousand times how far it lies from the library's, radians: the lanes
/// take it only where no value within this could change what a step does.
inline constexpr double NearSightBound = 1e-11;
