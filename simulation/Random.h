#pragma once
// Where launches draw their random flight parameters.

#include <cstdint>
#include <deque>
#include <vector>

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

/// Draws every value as the same fixed number.
struct FixedRandom final : RandomSource {
    float Value = 0.5f; ///< in [0, 1)
    float RandomUnit() override { return Value; }
};

/// One draw held at a value; the source is drawn all the same, so the other
/// draws are what they would be unheld.
struct HeldRandom final : RandomSource {
    RandomSource& Source;
    int Held;    ///< which draw, from 0; -1: none
    float Value; ///< in [0, 1)
    int Drawn = 0;
    HeldRandom(RandomSource& source, int held, float value) : Source(source), Held(held), Value(value) {}
    float RandomUnit() override
    {
        const float drawn = Source.RandomUnit();
        return Drawn++ == Held ? Value : drawn;
    }
};

/// Passes the source's values on and keeps them in `Drawn`, if given.
struct RecordingRandom final : RandomSource {
    RandomSource& Source;
    std::vector<float>* Drawn;
    RecordingRandom(RandomSource& source, std::vector<float>* drawn) : Source(source), Drawn(drawn) {}
    float RandomUnit() override
    {
        const float value = Source.RandomUnit();
        if (Drawn)
            Drawn->push_back(value);
        return value;
    }
};

/// SplitMix64's finaliser: every bit of the result depends on every bit of
/// `value`, so neighbouring inputs give unrelated outputs.
std::uint64_t Mix64(std::uint64_t value);

/// Seeds from the clock, so every run differs.
void SeedRandom(PseudoRandom& random);
/// Seeds with a given number, so a run can be replayed.
void SeedRandom(PseudoRandom& random, std::uint64_t seed);
