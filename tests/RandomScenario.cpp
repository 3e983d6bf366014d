// random-scenario N: prints the N-th random scenario script, the same text on
// every machine and compiler (its own generator, whole numbers only), for
// comparing traces between builds. Each covers every command but the picture
// ones: markers inside, at the edges of and far outside the playfield,
// fractional and exact positions, clears, mode changes and both switches.

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "World.h"

namespace {

/// SplitMix64: small, and the same everywhere.
struct Generator {
    std::uint64_t State;
    std::uint64_t Next()
    {
        std::uint64_t z = (State += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    int Below(int n) { return int(Next() % std::uint64_t(n)); }
};

/// A coordinate: mostly on the playfield, in eighths of a pixel, sometimes
/// just outside it or very far away.
void PrintCoordinate(Generator& random)
{
    switch (random.Below(10)) {
    case 0: std::printf(" %d", -40 + random.Below(30)); break;
    case 1: std::printf(" %d", 300 + random.Below(40)); break;
    case 2: std::printf(" %de5", random.Below(2000) - 1000); break;
    default: {
        const int whole = random.Below(300);
        std::printf(" %d.%03d", whole, random.Below(8) * 125);
    }
    }
}

void PrintScenario(std::uint64_t number)
{
    Generator random{number * 0x2545f4914f6cdd1du + 1};
    // One draw per statement: the order of a call's arguments is unspecified.
    const std::uint64_t seed = random.Next();
    std::printf("# random scenario %" PRIu64 "\nseed %" PRIu64 "\nmode %d\n", number, seed,
                random.Below(SteeringModeCount));
    if (random.Below(4) == 0)
        std::printf("random 0 0.5 0.99999994\n");
    for (int step = 0, events = 20 + random.Below(20); step < events; ++step) {
        switch (random.Below(16)) {
        case 0: std::printf("mode %d\n", random.Below(SteeringModeCount)); break;
        case 1: std::printf("press %s\n", random.Below(2) ? "right" : "middle"); break;
        case 2: std::printf("press left\n"); break;
        case 3: std::printf("limit\n"); break;
        case 4: std::printf("vectors\n"); break;
        default:
            std::printf("move");
            PrintCoordinate(random);
            PrintCoordinate(random);
            std::printf("\n");
        }
        std::printf("frames %d\n", 1 + random.Below(60));
    }
}

} // namespace

int main(int argc, char** argv)
{
    char* end = nullptr;
    const std::uint64_t number = argc == 2 ? std::strtoull(argv[1], &end, 10) : 0;
    if (argc != 2 || *end != '\0') {
        std::fprintf(stderr, "usage: random-scenario N\n");
        return 2;
    }
    PrintScenario(number);
    return 0;
}
