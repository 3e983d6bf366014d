#pragma once
// Everything the runner learns about each shot it has seen launched: its path
// and the figures that compare steering methods. Only flying shots are held;
// a shot that ends is handed to the sinks and its slot's record reused, so
// memory does not grow with the frames run.

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
    std::uint64_t Index = 0; ///< launch order, from 0
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
    double TurnSum = 0;                   ///< the changes of direction summed, as sizes, degrees
    std::int64_t Turns = 0;               ///< how many changes of direction were measured
    bool Circled = false;                 ///< turned through more than 360 degrees in one sense
    /// The mean change of direction between two frames, degrees: with
    /// `MaxTurn`, the turn a frame the shot demanded; 0 before it has two.
    double MeanTurn() const { return Turns ? TurnSum / double(Turns) : 0; }
    std::vector<PathPoint> Path; ///< kept paths only: the launch point, then the position after every frame

    // Running state for the turn figures.
    float LastVX = 0, LastVY = 0; ///< the last non-zero velocity
    bool HasDirection = false;
    double Winding = 0, WindingLow = 0, WindingHigh = 0; ///< summed signed turn and its range, degrees
};

/// Gets every shot once, when it ends (or when the run ends with it flying).
struct ShotSink {
    virtual void OnShotEnded(const ShotRecord& shot) = 0;

protected:
    ~ShotSink() = default;
};

/// Follows every flying shot from launch to its end; keeps paths when asked.
struct ShotHistory final : FrameObserver {
    explicit ShotHistory(bool keepPaths);

    void OnFrame(const World& world, const FrameOutcome& outcome) override;
    /// Ends the shots whose slot was freed between frames (a clear) by now.
    void Settle(const World& world);
    /// Settles, then hands every shot still flying to the sinks as flying.
    void Finish(const World& world);

    bool KeepPaths;
    std::vector<ShotSink*> Sinks;
    std::array<ShotRecord, ShotSlots> Records; ///< per slot, its shot while IsOpen
    std::array<bool, ShotSlots> IsOpen{};
    std::uint64_t Launched = 0;

private:
    void Launch(const World& world, int slot, const Shot& shot);
    void Follow(ShotRecord& record, const Shot& shot, const World& world);
    void End(int slot, ShotOutcome outcome);
};
