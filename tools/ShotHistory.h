#pragma once
// Everything the runner learns about each shot it has seen launched: its path
// and the figures that compare steering methods.

#include <array>
#include <cstdint>
#include <vector>

#include "FrameObserver.h"

enum class ShotOutcome { Flying, Hit, Expired, Cleared };

const char* OutcomeName(ShotOutcome outcome);

struct PathPoint {
    float X, Y; ///< pixels
};

struct ShotRecord {
    int Slot = 0;
    SteeringMode Mode = SteeringMode::PerAxisChase;
    std::int32_t LaunchFrame = 0; ///< frame count of the frame it was launched in
    std::int32_t EndFrame = 0;    ///< frame count of the frame it ended in (flying: the last frame run)
    std::int64_t Frames = 0;      ///< frames flown
    ShotOutcome Outcome = ShotOutcome::Flying;
    float Speed = 0, Angle = 0, Turn = 0; ///< launch parameters as the slot held them
    double PathLength = 0;                ///< pixels travelled
    double Closest = 0;                   ///< smallest distance to the marker after a move, pixels
    double MaxTurn = 0;                   ///< largest change of direction between two frames, degrees
    bool Circled = false;                 ///< turned through more than 360 degrees in one sense
    std::vector<PathPoint> Path;          ///< the launch point, then the position after every frame

    // Running state for the turn figures.
    float LastVX = 0, LastVY = 0; ///< the last non-zero velocity
    bool HasDirection = false;
    double Winding = 0, WindingLow = 0, WindingHigh = 0; ///< summed signed turn and its range, degrees
};

/// Follows every shot from launch to its end; keeps whole paths when asked.
struct ShotHistory final : FrameObserver {
    explicit ShotHistory(bool keepPaths) : KeepPaths(keepPaths) { Open.fill(-1); }

    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    /// Settles shots whose slot was freed between frames (a clear) by now.
    void Settle(const World& world);

    bool KeepPaths;
    std::vector<ShotRecord> Shots;
    std::array<int, ShotSlots> Open; ///< per slot, the index of its shot in Shots, or -1

private:
    void Launch(const World& world, int slot, const Shot& shot);
    void Follow(ShotRecord& record, const Shot& shot, const World& world);
};
