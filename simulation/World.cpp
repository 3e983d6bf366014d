#include "World.h"

#include "Numbers.h"
#include "Random.h"

void ClearShots(World& world)
{
    for (Shot& shot : world.Shots)
        shot.Alive = FlagFalse;
}

int FlyingShots(const World& world)
{
    int flying = 0;
    for (const Shot& shot : world.Shots)
        flying += shot.Alive ? 1 : 0;
    return flying;
}

bool SameShot(const Shot& a, const Shot& b)
{
    // A field added to Shot must be compared here too.
    static_assert(sizeof(Shot) == 14 * sizeof(float) + sizeof(std::uint32_t) + sizeof(std::int32_t) +
                                      2 * sizeof(Flag)); // Alive, padded
    const auto same = [](float p, float q) { return BitsOf(p) == BitsOf(q); };
    return same(a.X, b.X) && same(a.Y, b.Y) && same(a.VX, b.VX) && same(a.VY, b.VY) && same(a.Speed, b.Speed) &&
           same(a.Angle, b.Angle) && same(a.Turn, b.Turn) && same(a.Gain, b.Gain) && same(a.Sight, b.Sight) &&
           same(a.SeenX, b.SeenX) && same(a.SeenY, b.SeenY) && same(a.SeenVX, b.SeenVX) && same(a.SeenVY, b.SeenVY) &&
           same(a.Turned, b.Turned) && a.NoiseKey == b.NoiseKey && a.Age == b.Age && a.Alive == b.Alive;
}

std::uint32_t NoiseKeyOf(std::uint64_t seed, std::int32_t frameCount)
{
    const std::uint32_t key = std::uint32_t(Mix64(Mix64(seed) ^ std::uint32_t(frameCount)) >> 32);
    return key ? key : 1;
}
