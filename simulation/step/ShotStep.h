#pragma once
// One flying shot's part of a frame: the per-slot body of the movement pass
// and of the hit test. `MoveShot` and `HitTest` run it for every slot; the
// capture maps run it for shots that fly alone, so a map's shot is flown by
// exactly the code that flies it in the window. Inline, so each caller's loop
// is as tight as the table's own; a file that includes it is compiled as
// MoveShot.cpp is (see simulation/CMakeLists.txt).

#include <utility>

#include "Methods.h"
#include "Numbers.h"
#include "Seams.h"
#include "Steering.h"
#include "World.h"

/// One mode's step, called directly (not through a pointer) when it is the
/// world's mode.
template <std::size_t Mode>
inline bool SteerIf(Shot& shot, const World& world)
{
    if (world.Mode != SteeringMode(Mode))
        return false;
    StepAlone<SteeringMode(Mode)>(shot, world);
    return true;
}

template <std::size_t... Mode>
inline void SteerByMode(Shot& shot, const World& world, std::index_sequence<Mode...>)
{
    (SteerIf<Mode>(shot, world) || ...);
}

/// Sets one shot's velocity by the world's steering mode: a switch over the
/// modes' steps, with no call through a pointer.
inline void Steer(Shot& shot, const World& world)
{
    SteerByMode(shot, world, std::make_index_sequence<SteeringModeCount>());
}

/// Ages a flying shot, frees it when it reaches the end of its life (it still
/// takes this one last move), steers it by the world's mode and moves it by
/// its velocity. True when it reached the end of its life.
inline bool MoveFlyingShot(Shot& shot, const World& world)
{
    shot.Age += 1;
    const bool expired = shot.Age >= ShotLife;
    if (expired)
        shot.Alive = FlagFalse;
    Steer(shot, world);
    // VX and VY are read one at a time, as the steering steps may have stored
    // them (compiled without the SLP vectorizer).
    shot.X = ToFloat(double(shot.VX) + double(shot.X));
    shot.Y = ToFloat(double(shot.VY) + double(shot.Y));
    return expired;
}

/// The squared distance from a shot to the marker, as the hit test measures it, pixels squared.
inline double SquaredDistanceToMarker(const Shot& shot, const World& world)
{
    const double dy = double(world.MeY) - double(shot.Y);
    const double dx = double(world.MeX) - double(shot.X);
    return dy * dy + dx * dx;
}

/// A flying shot within 16 pixels of the marker is caught: one beep, and it
/// is freed. True when it was caught; `measured` is the squared distance the
/// test measured, pixels squared.
inline bool HitTestFlyingShot(Shot& shot, const World& world, BeepSink& beep, double& measured)
{
    measured = SquaredDistanceToMarker(shot, world);
    if (!(measured < HitRadiusSquared))
        return false;
    beep.Beep();
    shot.Alive = FlagFalse;
    return true;
}

inline bool HitTestFlyingShot(Shot& shot, const World& world, BeepSink& beep)
{
    double measured = 0;
    return HitTestFlyingShot(shot, world, beep, measured);
}
