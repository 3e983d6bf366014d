#pragma once
// The six steering steps. Each takes one flying shot and the world (read only),
// and sets the shot's velocity (`AngleChase` also its heading) from its position
// before this frame's move.

#include <cstdint>

struct Shot;
struct World;

/// Mode 0: each axis closes in on the marker by at most `Speed`.
void PerAxisChase(Shot& shot, const World& world);
/// Mode 1: straight at the marker at exactly `Speed`.
void DirectChase(Shot& shot, const World& world);
/// Mode 2: the heading turns towards the marker by at most `Turn` degrees.
void AngleChase(Shot& shot, const World& world);
/// Mode 3: the velocity swings by exactly `Turn` degrees while the marker lies to
/// the left, clear of straight ahead and behind; otherwise it is aimed at the marker.
void AngleChase2(Shot& shot, const World& world);
/// Mode 4: a push of `Speed` on each axis towards the marker.
void PerAxisAccelChase(Shot& shot, const World& world);
/// Mode 5: a push of length `Speed` straight at the marker.
void AccelChase(Shot& shot, const World& world);

/// Caps a mode 4 or 5 shot's speed at its limit (`Angle`) while the limit is on.
void ApplySpeedLimit(Shot& shot, const World& world);

/// The whole-degree direction from a shot (EEX, EEY) to the marker (MEX, MEY),
/// from -90 to 270, worked out from whole-pixel offsets.
std::int32_t GetDegree(float EEX, float EEY, float MEX, float MEY);
