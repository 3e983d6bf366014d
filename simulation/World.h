#pragma once
// The whole state of the demonstration: the player marker, the fixed table of
// shots, the steering mode and the two switches.
//
// Coordinates are playfield pixels, origin top-left, y down; angles are degrees
// from the x axis towards the y axis, so 90 points down the screen.

#include <array>
#include <cstdint>

/// A 16-bit boolean: true is -1, false is 0, and nothing else is ever stored.
using Flag = std::int16_t;
inline constexpr Flag FlagTrue = -1;
inline constexpr Flag FlagFalse = 0;

/// Flips a switch between -1 and 0.
constexpr Flag Invert(Flag flag) { return flag ? FlagFalse : FlagTrue; }

/// The steering methods; the number is the option button's index (for those
/// with a caption in Methods.h, which come first).
enum class SteeringMode : std::int32_t {
    PerAxisChase = 0,                    ///< each axis closes in by at most the speed
    DirectChase = 1,                     ///< straight at the marker at constant speed
    AngleChase = 2,                      ///< a heading that turns by at most the turn rate
    AngleChase2 = 3,                     ///< the velocity swung by the turn angle, or aimed outright
    PerAxisAccelChase = 4,               ///< a fixed push on each axis
    AccelChase = 5,                      ///< a push straight at the marker
    LeadChase = 6,                       ///< towards where it would meet the marker, turning at most its limit
    ProportionalNavigation = 7,          ///< turns N times the line of sight's turn
    AugmentedProportionalNavigation = 8, ///< and N / 2 times the marker's acceleration across it
    Count                                ///< not a method: how many there are
};
/// The one count every table of methods is sized by or checked against.
inline constexpr int SteeringModeCount = static_cast<int>(SteeringMode::Count);

inline constexpr int ShotSlots = 21;
inline constexpr float LaunchX = 150;           ///< pixels
inline constexpr float LaunchY = 150;           ///< pixels
inline constexpr std::int32_t LaunchEvery = 10; ///< frames between launch attempts
inline constexpr std::int32_t ShotLife = 500;   ///< frames
inline constexpr double HitRadiusSquared = 256; ///< pixels squared (16 pixels)
inline constexpr int PlayfieldSize = 300;       ///< pixels, both sides
/// The one factor between degrees and radians: 3.1415926535 / 180, not the exact pi / 180.
inline constexpr double DegToRad = 0.017453292519444445;

/// One missile slot. What `Speed` and `Angle` mean depends on the mode it was launched in.
struct Shot {
    float X = 0;  ///< position, pixels
    float Y = 0;  ///< position, pixels
    float VX = 0; ///< velocity, pixels per frame
    float VY = 0; ///< velocity, pixels per frame
    // What Speed, Angle, Turn and Gain hold is each method's own: its launch
    // draws in Methods.h say which field each sets, and in what unit.
    float Speed = 0; ///< speed, pixels per frame; an accelerating chase's acceleration, pixels per frame per frame
    float Angle =
        0; ///< heading (at launch, or as the angle chase turns it), degrees; an accelerating chase's speed limit
    float Turn = 0; ///< turn per frame, or the most turned a frame, degrees
    float Gain = 0; ///< a navigation law's gain N, turns per turn of the line of sight
    // What the guidance laws saw at their last step, set at launch and by each step.
    float Sight = 0;            ///< the line of sight's direction, radians from the x axis towards y
    float SeenX = 0;            ///< the marker, pixels
    float SeenY = 0;            ///< pixels
    float SeenVX = 0;           ///< the marker's velocity as seen, pixels per frame
    float SeenVY = 0;           ///< pixels per frame
    float Turned = 0;           ///< the turn taken last frame through a guidance lag, radians (0 without one)
    std::uint32_t NoiseKey = 0; ///< the key of this shot's seeker errors, set at launch (0 without noise)
    std::int32_t Age = 0;       ///< movement passes taken part in, frames
    Flag Alive = FlagFalse;     ///< the slot holds a flying shot
};

/// Exactly 21 slots, allocated with the world and never resized; every pass visits slot 0 first.
using ShotTable = std::array<Shot, ShotSlots>;

/// A set of slots, bit n for slot n.
using SlotMask = std::uint32_t;
constexpr bool Contains(SlotMask mask, int slot) { return (mask >> slot) & 1u; }

struct World {
    float MeX = 0;     ///< player marker x: the last pointer x over the playfield, pixels
    float MeY = 0;     ///< player marker y, pixels
    ShotTable Shots{}; ///< the shots
    SteeringMode Mode = SteeringMode::PerAxisChase;
    Flag SpeedLimitOn = FlagFalse; ///< modes 4 and 5 cap the speed at the shot's limit
    Flag ShowVectors = FlagFalse;  ///< draw each shot's velocity line (set when the window loads)
    std::int32_t FrameCount = 0;   ///< frames run since start, drives the launch rhythm
    Flag Running = FlagFalse;      ///< the frame loop continues while set (set when the window loads)
    // How the guidance laws (modes 6 to 8) see and turn; none of it in the window.
    float Lag = 0;               ///< the turn follows the commanded one through a first-order lag, frames
    float Noise = 0;             ///< the seeker's error in the line of sight, its spread, degrees
    std::uint64_t NoiseSeed = 0; ///< what each shot's NoiseKey is made from (a script's seed)
};

/// The longest guidance lag, frames, and the widest seeker noise, degrees.
inline constexpr float MostLag = 100, MostNoise = 30;

/// The seeker noise key of a shot launched in frame `frameCount` from `seed`: never 0.
std::uint32_t NoiseKeyOf(std::uint64_t seed, std::int32_t frameCount);

/// Frees every slot; nothing else changes and nothing sounds.
void ClearShots(World& world);

/// Counts how many slots hold a flying shot.
int FlyingShots(const World& world);

/// Whether two shot records hold the same bits in every field (-0 and 0
/// told apart, a NaN only matching its own bits): two such shots in the same
/// world fly the same flight.
bool SameShot(const Shot& a, const Shot& b);
