#include "LoneShots.h"

#include <array>

#include "Input.h"
#include "Random.h"
#include "Shoot.h"
#include "ShotStep.h"

namespace {

struct NoBeep final : BeepSink {
    void Beep() override {}
};

/// Draws every value as the same fixed number.
struct FixedRandom final : RandomSource {
    float Value = 0.5f;
    float RandomUnit() override { return Value; }
};

/// The marker in frame `frame` of the flight (1, the launch frame: its place).
void PlaceMarker(World& world, const MapSettings& settings, int x, int y, int frame)
{
    const double t = frame - 1;
    MovePointer(world, float(x + double(settings.MarkerVX) * t), float(y + double(settings.MarkerVY) * t));
}

} // namespace

std::uint64_t ShotSeed(std::uint64_t seed, int x, int y, SteeringMode mode, int shot)
{
    // Neighbouring places get unrelated seeds.
    std::uint64_t value = Mix64(seed);
    for (const std::uint64_t part :
         {std::uint64_t(std::uint32_t(x)), std::uint64_t(std::uint32_t(y)), std::uint64_t(mode), std::uint64_t(shot)})
        value = Mix64(value ^ part);
    return value;
}

void FlyShots(const MapSettings& settings, SteeringMode mode, int x, int y, int first, int count, int* frames)
{
    World world;
    LoadWorld(world);
    SelectMode(world, mode);
    if (settings.Limit)
        ToggleSpeedLimit(world);
    PlaceMarker(world, settings, x, y, 1);

    std::array<Shot, MaxMapShots> shots;
    std::array<int, MaxMapShots> flying; ///< the shots still flying, in no order
    for (int n = 0; n < count; ++n) {
        shots[std::size_t(n)] = Shot{}; // as a new world's slot: what the mode does not draw stays 0
        if (settings.FixedDraws) {
            FixedRandom random;
            random.Value = settings.Draw;
            LaunchShot(shots[std::size_t(n)], mode, random);
        } else {
            PseudoRandom random;
            SeedRandom(random, ShotSeed(settings.Seed, x, y, mode, first + n));
            LaunchShot(shots[std::size_t(n)], mode, random);
        }
        flying[std::size_t(n)] = n;
        frames[n] = 0;
    }
    // Frame by frame, as RunFrame runs the table: the movement pass (which
    // frees a shot at the end of its life), then the hit test against the
    // marker where this frame has it. No shot outlives its life.
    NoBeep beep;
    for (int frame = 1, left = count; left > 0; ++frame) {
        if (frame > 1)
            PlaceMarker(world, settings, x, y, frame);
        for (int at = 0; at < left; ++at)
            MoveFlyingShot(shots[std::size_t(flying[std::size_t(at)])], world);
        for (int at = 0; at < left;) {
            const int n = flying[std::size_t(at)];
            Shot& shot = shots[std::size_t(n)];
            const bool caught = shot.Alive && HitTestFlyingShot(shot, world, beep);
            if (shot.Alive) {
                ++at;
                continue;
            }
            frames[n] = caught ? frame : 0;
            flying[std::size_t(at)] = flying[std::size_t(--left)]; // each flies alone: the order is free
        }
    }
}
