// The shortcuts past the maths library against the library's own calls, on
// the arguments a chasing shot meets: offsets that shrink a pixel or so a
// frame, whole-degree headings, and a handful of turns met again and again.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "LibraryShortcuts.h"

namespace {

template <std::int32_t (*Slope)(std::int16_t, std::int16_t)>
void BM_Slope(benchmark::State& state)
{
    std::int32_t sum = 0;
    for (auto _ : state)
        for (int n = 1; n <= 200; ++n)
            sum += Slope(std::int16_t(n - 100 + (n & 1 ? 0 : 201)), std::int16_t(150 - n));
    benchmark::DoNotOptimize(sum);
    state.counters["per_call"] =
        benchmark::Counter(double(state.iterations()) * 200, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <void (*Velocity)(float, float, float&, float&)>
void BM_Velocity(benchmark::State& state)
{
    const float step = float(state.range(0)) / 8; // 8: whole degrees; 1: mostly fractions
    float sum = 0;
    for (auto _ : state)
        for (int n = 0; n < 200; ++n) {
            float vx = 0, vy = 0;
            Velocity(5.5f, float(n) * step - 90, vx, vy);
            sum += vx + vy;
        }
    benchmark::DoNotOptimize(sum);
    state.counters["per_call"] =
        benchmark::Counter(double(state.iterations()) * 200, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <void (*Pair)(float, double&, double&)>
void BM_Pair(benchmark::State& state)
{
    double sum = 0;
    for (auto _ : state)
        for (int n = 0; n < 200; ++n) {
            double a = 0, b = 0;
            Pair(float(n) - 90, a, b);
            sum += a + b;
        }
    benchmark::DoNotOptimize(sum);
    state.counters["per_call"] =
        benchmark::Counter(double(state.iterations()) * 200, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void KeptTurn(float degrees, double& sine, double& tangent)
{
    const TurnTrig trig = TrigOfDegrees(float(int(degrees) & 31));
    sine = trig.Sin, tangent = trig.Tan;
}
void LibraryTurn(float degrees, double& sine, double& tangent)
{
    const TurnTrig trig = LibraryTrigOfDegrees(float(int(degrees) & 31));
    sine = trig.Sin, tangent = trig.Tan;
}

} // namespace

BENCHMARK(BM_Slope<SlopeDegrees>)->Name("BM_SlopeDegrees/table");
BENCHMARK(BM_Slope<LibrarySlopeDegrees>)->Name("BM_SlopeDegrees/library");
BENCHMARK(BM_Velocity<HeadingVelocity>)->Name("BM_HeadingVelocity/shortcut")->Arg(8)->Arg(1);
BENCHMARK(BM_Velocity<LibraryHeadingVelocity>)->Name("BM_HeadingVelocity/library")->Arg(8)->Arg(1);
BENCHMARK(BM_Pair<KeptTurn>)->Name("BM_TrigOfDegrees/kept");
BENCHMARK(BM_Pair<LibraryTurn>)->Name("BM_TrigOfDegrees/library");
