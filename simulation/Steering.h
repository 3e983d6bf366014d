#pragma once
// The steering steps of one shot flown alone. Each takes the flying shot and
// the world (read only), and sets the shot's velocity (the angle chase also
// its heading) from its position before this frame's move. The steps are
// written once, in steps/, for a shot alone and for the maps' vector lanes.

#include <array>
#include <cstdint>

#include "World.h"

/// The step of `Mode` for one shot: what the per-slot code calls.
template <SteeringMode Mode>
void StepAlone(Shot& shot, const World& world);
/// Every mode's, made where the steps are compiled.
extern const std::array<void (*)(Shot&, const World&), SteeringModeCount> StepsAlone;

/// Mode 0: each axis closes in on the marker by at most `Speed`.
inline void PerAxisChase(Shot& shot, const World& world) { StepAlone<SteeringMode::PerAxisChase>(shot, world); }
/// Mode 1: straight at the marker at exactly `Speed`.
inline void DirectChase(Shot& shot, const World& world) { StepAlone<SteeringMode::DirectChase>(shot, world); }
/// Mode 2: the heading turns towards the marker by at most `Turn` degrees.
inline void AngleChase(Shot& shot, const World& world) { StepAlone<SteeringMode::AngleChase>(shot, world); }
/// Mode 3: the velocity swings by exactly `Turn` degrees while the marker lies to
/// the left, clear of straight ahead and behind; otherwise it is aimed at the marker.
inline void AngleChase2(Shot& shot, const World& world) { StepAlone<SteeringMode::AngleChase2>(shot, world); }
/// Mode 4: a push of `Speed` on each axis towards the marker.
inline void PerAxisAccelChase(Shot& shot, const World& world)
{
    StepAlone<SteeringMode::PerAxisAccelChase>(shot, world);
}
/// Mode 5: a push of length `Speed` straight at the marker.
inline void AccelChase(Shot& shot, const World& world) { StepAlone<SteeringMode::AccelChase>(shot, world); }
/// Mode 6: towards the point where it would meet a marker that keeps its
/// present velocity, turning by at most `Turn` degrees a frame.
inline void LeadChase(Shot& shot, const World& world) { StepAlone<SteeringMode::LeadChase>(shot, world); }
/// Mode 7: turns by `Gain` times the line of sight's turn since its last step,
/// at most `Turn` degrees a frame.
inline void ProportionalNavigation(Shot& shot, const World& world)
{
    StepAlone<SteeringMode::ProportionalNavigation>(shot, world);
}
/// Mode 8: mode 7 plus `Gain` / 2 times the marker's acceleration across the
/// line of sight, as a turn at the shot's speed.
inline void AugmentedProportionalNavigation(Shot& shot, const World& world)
{
    StepAlone<SteeringMode::AugmentedProportionalNavigation>(shot, world);
}

/// Where a lead chase would aim now: the meeting point, or the marker itself
/// (false) when there is none.
bool LeadPoint(const Shot& shot, const World& world, double& x, double& y);

/// The direction of (x, y), radians in [-pi, pi], by the arctangent the
/// angle chase uses: the guidance laws' line of sight.
double SightDirection(double x, double y);
/// A seeker's error for the shot whose noise key is `key` in frame `age`
/// of its flight, before its spread: the sum of four even draws from the
/// key and the frame, scaled to mean 0 and spread 1 (near normal, within
/// 3.5 either way). Only + - * / on exact values: the same bits everywhere.
double SeekerErrorDraw(std::uint32_t key, double age);
/// An angle wrapped to (-pi, pi]: the line of sight's turn.
double HalfTurn(double angle);

/// Caps a mode 4 or 5 shot's speed at its limit (`Angle`) while the limit is on.
void ApplySpeedLimit(Shot& shot, const World& world);

/// The whole-degree direction from a shot (EEX, EEY) to the marker (MEX, MEY),
/// from -90 to 270, worked out from whole-pixel offsets.
std::int32_t GetDegree(float EEX, float EEY, float MEX, float MEY);
