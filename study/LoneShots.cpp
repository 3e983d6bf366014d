#include "LoneShots.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "Input.h"
#include "Random.h"
#include "Shoot.h"
#include "ShotStep.h"

MarkerPath::MarkerPath(const MapSettings& settings, int x, int y) : Settings(settings), X(x), Y(y)
{
    // The way from the launcher to the place: a weave swings across it, a flight follows it.
    const double awayX = x - double(LaunchX), awayY = y - double(LaunchY);
    const double away = std::sqrt(awayX * awayX + awayY * awayY);
    UX = away > 0 ? awayX / away : 1;
    UY = away > 0 ? awayY / away : 0;
}

MarkerPoint MarkerPath::At(int frame) const
{
    const double t = frame - 1;
    const double size = Settings.MotionSize;
    double dx = 0, dy = 0;
    switch (Settings.Motion) {
    case MarkerMotion::Line:
        dx = double(Settings.MarkerVX) * t;
        dy = double(Settings.MarkerVY) * t;
        break;
    case MarkerMotion::Circle: {
        const double turned = 360 * t / double(Settings.MotionPeriod) * DegToRad; // y down: clockwise
        dx = size * std::cos(turned);
        dy = size * std::sin(turned);
        break;
    }
    case MarkerMotion::Weave: {
        const double side = size * std::sin(360 * t / double(Settings.MotionPeriod) * DegToRad);
        dx = -UY * side;
        dy = UX * side;
        break;
    }
    case MarkerMotion::Flee:
        dx = UX * size * t;
        dy = UY * size * t;
        break;
    }
    return {float(X + dx), float(Y + dy)};
}

MarkerPoint MarkerAt(const MapSettings& settings, int x, int y, int frame)
{
    return MarkerPath(settings, x, y).At(frame);
}

std::uint64_t ShotSeed(std::uint64_t seed, int x, int y, SteeringMode mode, int shot)
{
    // Neighbouring places get unrelated seeds.
    std::uint64_t value = Mix64(seed);
    for (const std::uint64_t part :
         {std::uint64_t(std::uint32_t(x)), std::uint64_t(std::uint32_t(y)), std::uint64_t(mode), std::uint64_t(shot)})
        value = Mix64(value ^ part);
    return value;
}

namespace {

/// Launches the map's shot `shot` as a new world's slot would be, and keeps
/// the values it drew in `drawn`, if given.
void Launch(Shot& launched, const MapSettings& settings, SteeringMode mode, int x, int y, int shot,
            std::vector<float>* drawn)
{
    launched = Shot{}; // as a new world's slot: what the mode does not draw stays 0
    FixedRandom fixed;
    fixed.Value = settings.Draw;
    PseudoRandom own;
    SeedRandom(own, ShotSeed(settings.Seed, x, y, mode, shot));
    HeldRandom held(settings.FixedDraws ? static_cast<RandomSource&>(fixed) : own, DrawIndex(mode, settings.Held),
                    settings.HeldValue);
    RecordingRandom random(held, drawn);
    LaunchShot(launched, mode, random);
}

} // namespace

void LaunchMapShot(Shot& launched, const MapSettings& settings, SteeringMode mode, int x, int y, int shot)
{
    Launch(launched, settings, mode, x, y, shot, nullptr);
}

std::vector<float> LaunchDrawsOf(const MapSettings& settings, SteeringMode mode, int x, int y, int shot)
{
    std::vector<float> drawn;
    Shot launched;
    Launch(launched, settings, mode, x, y, shot, &drawn);
    return drawn;
}

void FlyShots(const MapSettings& settings, SteeringMode mode, int x, int y, int first, int count, ShotEnd* ends)
{
    World world;
    LoadWorld(world);
    SelectMode(world, mode);
    if (settings.Limit)
        ToggleSpeedLimit(world);
    const MarkerPath path(settings, x, y);
    const auto placeMarker = [&](int frame) {
        const MarkerPoint at = path.At(frame);
        MovePointer(world, at.X, at.Y);
    };
    placeMarker(1);

    std::array<Shot, MaxMapShots> shots;
    std::array<int, MaxMapShots> flying;     ///< the shots still flying, in no order
    std::array<double, MaxMapShots> closest; ///< their least squared distance to the marker yet
    std::array<int, MaxMapShots> sameAs;     ///< the first shot launched with the same bits
    int left = 0;
    for (int n = 0; n < count; ++n) {
        LaunchMapShot(shots[std::size_t(n)], settings, mode, x, y, first + n);
        // A shot launched as an earlier one flies as it does (every draw
        // fixed, say): it is flown once.
        sameAs[std::size_t(n)] = n;
        for (int at = 0; at < left; ++at)
            if (SameShot(shots[std::size_t(flying[std::size_t(at)])], shots[std::size_t(n)])) {
                sameAs[std::size_t(n)] = flying[std::size_t(at)];
                break;
            }
        if (sameAs[std::size_t(n)] != n)
            continue;
        flying[std::size_t(left++)] = n;
        closest[std::size_t(n)] = std::numeric_limits<double>::infinity();
    }
    // Frame by frame, as RunFrame runs the table: the movement pass (which
    // frees a shot at the end of its life), then the hit test against the
    // marker where this frame has it. No shot outlives its life.
    NoBeep beep;
    for (int frame = 1; left > 0; ++frame) {
        if (frame > 1)
            placeMarker(frame);
        for (int at = 0; at < left; ++at)
            MoveFlyingShot(shots[std::size_t(flying[std::size_t(at)])], world);
        for (int at = 0; at < left;) {
            const int n = flying[std::size_t(at)];
            Shot& shot = shots[std::size_t(n)];
            double measured = closest[std::size_t(n)];
            const bool caught = shot.Alive && HitTestFlyingShot(shot, world, beep, measured);
            closest[std::size_t(n)] = std::min(closest[std::size_t(n)], measured);
            if (shot.Alive) {
                ++at;
                continue;
            }
            ends[n] = {caught ? frame : 0, float(std::sqrt(closest[std::size_t(n)]))};
            flying[std::size_t(at)] = flying[std::size_t(--left)]; // each flies alone: the order is free
        }
    }
    for (int n = 0; n < count; ++n)
        ends[n] = ends[sameAs[std::size_t(n)]];
}
