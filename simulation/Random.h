#pragma once
// Where launches draw their random flight parameters.

#include <cstdint>
#include <deque>

/// A source of uniform numbers in [0, 1). The window uses `PseudoRandom`;
/// the runner puts a queue of exact values in front of it.
struct RandomSource {
    /// The next uniform value in [0, 1) as a 32-bit float, never 1.
    virtual float RandomUnit() = 0;

protected:
    ~RandomSource() = default;
};

/// SplitMix64: tiny, fast and well mixed; every value is a multiple of 2^-24,
/// so all 2^24 floats of the form k / 2^24 are equally likely.
struct PseudoRandom final : RandomSource {
    std::uint64_t State = 0; ///< the generator's whole state
    float RandomUnit() override;
};

/// Draws queued values first, in order, then the generator's: exact values for
/// tests and scripted runs.
struct QueuedRandom final : RandomSource {
    std::deque<float> Queue; ///< values not drawn yet
    PseudoRandom Generator;
    float RandomUnit() override;
};

/// SplitMix64's finaliser: every bit of the result depends on every bit of
/// `value`, so neighbouring inputs give unrelated outputs.
std::uint64_t Mix64(std::uint64_t value);

/// Seeds from the clock, so every run differs.
void SeedRandom(PseudoRandom& random);
/// Seeds with a given number, so a run can be replayed.
void SeedRandom(PseudoRandom& random, std::uint64_t seed);
