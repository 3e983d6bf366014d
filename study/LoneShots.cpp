#include "LoneShots.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "Input.h"
#include "LaneShots.h"
#include "Random.h"
#include "Shoot.h"
#include "ShotStep.h"

MarkerPath::MarkerPath(const MapSettings& settings, int x, int y) : Settings(settings), X(x), Y(y)
{
    // The way from the launcher to the place: a weave and a sidestep cross it, a flight follows it.
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
    case MarkerMotion::Jink: {
        // Standing on its place until frame MotionPeriod, then a step of
        // MotionSize each frame, square to the way out.
        const double side = size * std::max(0.0, double(frame) - double(Settings.MotionPeriod));
        dx = -UY * side;
        dy = UX * side;
        break;
    }
    }
    return {float(X + dx), float(Y + dy)};
}

bool MarkerPath::Still() const
{
    return Settings.Motion == MarkerMotion::Line && Settings.MarkerVX == 0 && Settings.MarkerVY == 0;
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
    // As a script's first shot, `seed` its own: launched in the first launch frame.
    if (settings.Noise > 0)
        launched.NoiseKey = NoiseKeyOf(ShotSeed(settings.Seed, x, y, mode, shot), LaunchEvery);
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

namespace {

/// Flies launched shots by the per-slot code of the frame, side by side as a
/// table's slots fly.
void FlyBySlotCode(const MapSettings& settings, SteeringMode mode, const MarkerPath& path, Shot* shots, int count,
                   ShotEnd* ends)
{
    World world;
    LoadWorld(world);
    SelectMode(world, mode);
    if (settings.Limit)
        ToggleSpeedLimit(world);
    world.Lag = settings.Lag, world.Noise = settings.Noise;
    std::array<int, MaxMapShots> flying;     ///< the shots still flying, in no order
    std::array<double, MaxMapShots> closest; ///< their least squared distance to the marker yet
    for (int n = 0; n < count; ++n) {
        flying[std::size_t(n)] = n;
        closest[std::size_t(n)] = std::numeric_limits<double>::infinity();
    }
    // Frame by frame, as RunFrame runs the table: the movement pass (which
    // frees a shot at the end of its life), then the hit test against the
    // marker where this frame has it. No shot outlives its life.
    NoBeep beep;
    for (int frame = 1, left = count; left > 0; ++frame) {
        const MarkerPoint at = path.At(frame);
        MovePointer(world, at.X, at.Y);
        for (int n = 0; n < left; ++n)
            MoveFlyingShot(shots[std::size_t(flying[std::size_t(n)])], world);
        for (int n = 0; n < left;) {
            const int shotAt = flying[std::size_t(n)];
            Shot& shot = shots[std::size_t(shotAt)];
            double measured = closest[std::size_t(shotAt)];
            const bool caught = shot.Alive && HitTestFlyingShot(shot, world, beep, measured);
            closest[std::size_t(shotAt)] = std::min(closest[std::size_t(shotAt)], measured);
            if (shot.Alive) {
                ++n;
                continue;
            }
            ends[shotAt] = {caught ? frame : 0, float(std::sqrt(closest[std::size_t(shotAt)]))};
            flying[std::size_t(n)] = flying[std::size_t(--left)]; // each flies alone: the order is free
        }
    }
}

/// A place's shots as launched, each once: a shot launched with the same bits
/// as the place's first flies as it does (every draw fixed, say).
struct LaunchedPlace {
    Shot* Shots;      ///< room for a shot each
    ShotEnd* Flown;   ///< how each that flies ended
    int* SameAs;      ///< which of `Shots` each shot is
    int Distinct = 0; ///< how many of `Shots` fly
};

void LaunchPlace(LaunchedPlace& place, const MapSettings& settings, SteeringMode mode, int x, int y, int first,
                 int count)
{
    place.Distinct = 0;
    for (int n = 0; n < count; ++n) {
        Shot& launched = place.Shots[place.Distinct];
        LaunchMapShot(launched, settings, mode, x, y, first + n);
        const bool same = n > 0 && SameShot(place.Shots[0], launched);
        place.SameAs[n] = same ? 0 : place.Distinct;
        place.Distinct += same ? 0 : 1;
    }
}

void SayEnds(const LaunchedPlace& place, int count, ShotEnd* ends)
{
    for (int n = 0; n < count; ++n)
        ends[n] = place.Flown[place.SameAs[n]];
}

void Fly(const MapSettings& settings, SteeringMode mode, int x, int y, int first, int count, ShotEnd* ends, bool lanes)
{
    const MarkerPath path(settings, x, y);
    std::array<Shot, MaxMapShots> shots;
    std::array<ShotEnd, MaxMapShots> flown;
    std::array<int, MaxMapShots> sameAs;
    LaunchedPlace place{shots.data(), flown.data(), sameAs.data()};
    LaunchPlace(place, settings, mode, x, y, first, count);
    // A place's few shots leave most lanes idle at the end: they fly by the
    // slot code unless there are enough to keep the lanes full for long.
    if (lanes && place.Distinct >= 8 * LaneWidth()) {
        const LanePlace lanePlace{&path, place.Shots, place.Distinct, place.Flown};
        FlyShotsInLanes(mode, FlightRulesOf(settings), &lanePlace, 1);
    } else {
        FlyBySlotCode(settings, mode, path, place.Shots, place.Distinct, place.Flown);
    }
    SayEnds(place, count, ends);
}

} // namespace

void FlyShots(const MapSettings& settings, SteeringMode mode, int x, int y, int first, int count, ShotEnd* ends)
{
    Fly(settings, mode, x, y, first, count, ends, true);
}

void FlyShotsBySlotCode(const MapSettings& settings, SteeringMode mode, int x, int y, int first, int count,
                        ShotEnd* ends)
{
    Fly(settings, mode, x, y, first, count, ends, false);
}

void FlyPlaces(const MapSettings& settings, SteeringMode mode, const PlacePoint* places, int count, int shots,
               ShotEnd* ends)
{
    // Every place's shots in one queue, so the lanes stay full till near the
    // end of the row.
    const std::size_t all = std::size_t(count) * std::size_t(shots);
    std::vector<Shot> launched(all);
    std::vector<ShotEnd> flown(all);
    std::vector<int> sameAs(all);
    std::vector<MarkerPath> paths;
    paths.reserve(std::size_t(count));
    std::vector<LaunchedPlace> placesLaunched;
    std::vector<LanePlace> lanePlaces;
    for (int n = 0; n < count; ++n) {
        const std::size_t first = std::size_t(n) * std::size_t(shots);
        LaunchedPlace& place =
            placesLaunched.emplace_back(LaunchedPlace{&launched[first], &flown[first], &sameAs[first]});
        LaunchPlace(place, settings, mode, places[n].X, places[n].Y, 0, shots);
        paths.emplace_back(settings, places[n].X, places[n].Y);
        lanePlaces.push_back({&paths.back(), place.Shots, place.Distinct, place.Flown});
    }
    FlyShotsInLanes(mode, FlightRulesOf(settings), lanePlaces.data(), count);
    for (int n = 0; n < count; ++n)
        SayEnds(placesLaunched[std::size_t(n)], shots, ends + std::size_t(n) * std::size_t(shots));
}
