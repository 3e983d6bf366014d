#pragma once
// The dodge window: how late a marker that steps aside still gets away.
// Each shot is flown once at a still marker; then again, for each frames to
// go g from 1 to DodgeFramesToGo, at a marker that stands until g frames
// before the frame that shot caught it and then steps aside. The share of
// shots caught and their median closest approach, against g, are the
// designer's dodge window and the field's miss-distance curve in one. No Qt.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "MapSettings.h"
#include "World.h"

/// The most frames to go a dodge window looks at.
inline constexpr int DodgeFramesToGo = 100;
/// The sidestep's speed when none is given, pixels a frame.
inline constexpr float DefaultSidestep = 3;

/// One method's shots that side-stepped with `FramesToGo` frames to go.
struct DodgePoint {
    int FramesToGo = 0;
    int Shots = 0;           ///< shots caught at a still marker at least this many frames after launch
    int Caught = 0;          ///< of those, caught in spite of the sidestep
    float MedianClosest = 0; ///< their median closest approach to the marker, pixels (0 when there are none)
};

struct DodgeCurve {
    SteeringMode Mode;
    std::vector<DodgePoint> Points; ///< frames to go 1 to DodgeFramesToGo, in order
};

/// The dodge window of every method (or `only`'s), on the settings' grid,
/// shots, draws, lag and noise; the settings' marker motion is replaced by
/// the sidestep at `sidestep` pixels a frame (to the right of the way from
/// the launcher, seen from there; to the left when negative). `progress`
/// hears the share done; once `stop` is set no more places start.
std::vector<DodgeCurve> ComputeDodgeWindow(const MapSettings& settings, float sidestep,
                                           SteeringMode only = SteeringMode::Count,
                                           const std::function<void(double)>& progress = {},
                                           const std::atomic<bool>* stop = nullptr);

/// The window as CSV: method,frames_to_go,shots,caught,caught_share,median_closest.
std::string DodgeCsv(const std::vector<DodgeCurve>& curves);
