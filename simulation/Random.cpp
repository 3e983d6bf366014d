#include "Random.h"

#include <chrono>

namespace {

constexpr std::uint64_t GoldenGamma = 0x9E3779B97F4A7C15u; ///< SplitMix64's step

std::uint64_t Finalise(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

} // namespace

std::uint64_t Mix64(std::uint64_t value) { return Finalise(value + GoldenGamma); }

float PseudoRandom::RandomUnit()
{
    State += GoldenGamma;
    // The top 24 bits fit a float's significand exactly: k / 2^24 < 1.
    return static_cast<float>(Finalise(State) >> 40) * 0x1p-24f;
}

float QueuedRandom::RandomUnit()
{
    if (Queue.empty())
        return Generator.RandomUnit();
    const float value = Queue.front();
    Queue.pop_front();
    return value;
}

void SeedRandom(PseudoRandom& random)
{
    using namespace std::chrono;
    const auto wall = system_clock::now().time_since_epoch().count();
    const auto mono = steady_clock::now().time_since_epoch().count();
    SeedRandom(random, static_cast<std::uint64_t>(wall) ^ (static_cast<std::uint64_t>(mono) << 17));
}

void SeedRandom(PseudoRandom& random, std::uint64_t seed) { random.State = seed; }
