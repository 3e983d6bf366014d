#pragma once
// Parameter sweeps: for each method and each of its launch draws, that draw
// held at N values evenly across [0, 1) (r = (i + 0.5) / N) while the others
// are drawn as usual, and the map's figures at each value. No Qt.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "CaptureMap.h"
#include "MapSettings.h"

/// A method and one of its launch draws.
struct SweepParameter {
    SteeringMode Mode;
    LaunchDraw Draw;
};

/// Every method's launch draws, method by method, in the order it draws them.
std::vector<SweepParameter> SweepParameters();

/// The value the launch gives a draw of `r` (in [0, 1)), as it computes it.
float DrawValue(SteeringMode mode, LaunchDraw draw, float r);

/// A method's figures over the whole grid (one value of a sweep).
struct SweepFigures {
    double MostlyCaught = 0; ///< share of places where at least half the shots are caught
    double Caught = 0;       ///< share of all shots caught
    int Median = 0;          ///< median over places of their median frames to the catch; 0 when not defined
    float Miss = 0;          ///< median over places of their median miss distance, pixels; 0 when none missed
    bool Missed = false;     ///< some place's shots missed: `Miss` is defined
};

/// The figures of `mode` on a map (its rows all computed).
SweepFigures SweepFiguresOf(const CaptureMap& map, SteeringMode mode);

struct SweepPoint {
    float R = 0;     ///< the held draw
    float Value = 0; ///< the parameter value it gives
    SweepFigures Figures;
};

struct SweepCurve {
    SweepParameter Parameter;
    std::vector<SweepPoint> Points;
};

/// The settings of a sweep's point `value` (from 0) of `values`: the draw
/// held at r = (value + 0.5) / values.
MapSettings SweepPointSettings(const MapSettings& settings, SweepParameter parameter, int value, int values);

/// The point that a map of `parameter`'s method made with `held` gives.
SweepPoint SweepPointOf(SweepParameter parameter, const MapSettings& held, const CaptureMap& map);

/// The most values of each draw a sweep takes.
inline constexpr int MostSweepValues = 100;

/// Every parameter at `values` values, each a map of its method alone with
/// the draw held (as --hold asks for it), on the settings' threads.
/// Once `stop` is set no more maps start (nor rows of one).
std::vector<SweepCurve> ComputeSweep(const MapSettings& settings, int values,
                                     const std::function<void(double)>& progress = {},
                                     const std::atomic<bool>* stop = nullptr);

/// The sweep as CSV: method,parameter,r,value,places_mostly_caught,shots_caught,median,miss.
std::string SweepCsv(const std::vector<SweepCurve>& curves);
