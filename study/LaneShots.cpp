#include "LaneShots.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include "Input.h"
#include "LibraryShortcuts.h"
#include "Steering.h"

// The lanes' helpers take and give whole registers: each is inlined into
// the flight, or their values would pass through memory at every call.
#define LANES_INLINE [[gnu::always_inline]] inline

namespace {

/// Where a place's marker stands in each frame of its shots' flights, as the
/// world sees it after MovePointer: worked out as far as a shot has flown.
class MarkerTrack {
public:
    void Follow(const MarkerPath& path)
    {
        Path = &path;
        Reached = 0;
    }
    const MarkerPoint& At(int frame)
    {
        while (Reached < frame) {
            const MarkerPoint at = Path->At(++Reached);
            MovePointer(Seen, at.X, at.Y);
            Points[std::size_t(Reached)] = {Seen.MeX, Seen.MeY};
        }
        return Points[std::size_t(frame)];
    }

private:
    const MarkerPath* Path = nullptr;
    World Seen; ///< where the pointer leaves the marker
    int Reached = 0;
    std::array<MarkerPoint, ShotLife + 1> Points; ///< from 1 to Reached
};

// The arctangent near u = k / NearAtanSteps, k = 0 to NearAtanSteps, as its
// Taylor series in h = u - k / NearAtanSteps (|h| <= 1 / 512): the first
// coefficient the library's arctangent, the others from w = 1 / (1 + u^2).
// The terms left out are below |h|^6 / 6, 3e-18; with the roundings, the
// lanes' line of sight lies within 1e-15 of the library's.
constexpr int NearAtanSteps = 256;
struct NearAtanPoint {
    double Value, H1, H2, H3, H4, H5;
};

const NearAtanPoint* NearAtanTable()
{
    static const std::vector<NearAtanPoint> table = [] {
        std::vector<NearAtanPoint> points(NearAtanSteps + 1);
        for (int k = 0; k <= NearAtanSteps; ++k) {
            const double c = double(k) / NearAtanSteps, c2 = c * c, w = 1 / (1 + c2);
            points[std::size_t(k)] = {std::atan(c),
                                      w,
                                      -c * w * w,
                                      (c2 - 1.0 / 3) * w * w * w,
                                      c * (1 - c2) * w * w * w * w,
                                      (1 - 10 * c2 + 5 * c2 * c2) / 5 * w * w * w * w * w};
        }
        return points;
    }();
    return table.data();
}

/// The places' shots, handed to the lanes in order, place by place; a place
/// has a marker track while any of its shots is in a lane or still to come.
struct ShotQueue {
    explicit ShotQueue(const FlightRules& rules, const LanePlace* places, int count, int lanes)
        : Rules{rules.SpeedLimit, rules.Lag, rules.Noise * DegToRad}, Places(places), PlaceCount(count),
          Tracks(std::size_t(lanes) + 1), TrackOf(std::size_t(count), -1), Remaining(std::size_t(count))
    {
        for (int place = 0; place < count; ++place) {
            Remaining[std::size_t(place)] = places[place].Count;
            StillMarkers = StillMarkers && places[place].Path->Still();
        }
        for (int track = int(Tracks.size()) - 1; track >= 0; --track)
            FreeTracks.push_back(track);
        SkipEmptyPlaces();
    }

    bool Done() const { return Place == PlaceCount; }
    bool StillMarkers = true; ///< every place's marker stays where it is
    /// The speed limit, the lag, and the noise's spread in radians (as the steps take it)
    const struct {
        bool SpeedLimit;
        double Lag, Noise;
    } Rules;
    int Left = 0; ///< shots in lanes now

    /// The next shot, its place, and its place's track.
    const Shot& Take(int& place, int& shot, MarkerTrack*& track)
    {
        place = Place, shot = Next++;
        int& held = TrackOf[std::size_t(place)];
        if (held < 0) {
            held = FreeTracks.back();
            FreeTracks.pop_back();
            Tracks[std::size_t(held)].Follow(*Places[place].Path);
        }
        track = &Tracks[std::size_t(held)];
        if (Next == Places[place].Count) {
            ++Place, Next = 0;
            SkipEmptyPlaces();
        }
        ++Left;
        return Places[place].Launched[shot];
    }

    /// Says how a shot ended; its place's track is free once all have.
    void End(int place, int shot, ShotEnd end)
    {
        Places[place].Ends[shot] = end;
        --Left;
        if (--Remaining[std::size_t(place)] == 0)
            FreeTracks.push_back(TrackOf[std::size_t(place)]);
    }

private:
    void SkipEmptyPlaces()
    {
        while (Place < PlaceCount && Places[Place].Count == 0)
            ++Place;
    }

    const LanePlace* Places;
    int PlaceCount;
    int Place = 0, Next = 0;         ///< the next shot to take, and its place
    std::vector<MarkerTrack> Tracks; ///< one for each lane's place, and the next place's
    std::vector<int> FreeTracks, TrackOf, Remaining;
};

// Two doubles a register: SSE2 (every x86-64), WebAssembly SIMD, or plain
// code the compiler may vectorize.
namespace Narrow {
constexpr int W = 2;
typedef double V __attribute__((vector_size(16)));
typedef std::int64_t MV __attribute__((vector_size(16)));

inline V SqrtV(V value)
{
#if defined(__x86_64__)
    return _mm_sqrt_pd(value);
#elif defined(__wasm_simd128__)
    return V(wasm_f64x2_sqrt(v128_t(value)));
#else
    return V{__builtin_sqrt(value[0]), __builtin_sqrt(value[1])};
#endif
}

LANES_INLINE unsigned MaskBits(MV mask)
{
#if defined(__x86_64__)
    return unsigned(_mm_movemask_pd(__m128d(mask)));
#elif defined(__wasm_simd128__)
    return wasm_i64x2_bitmask(v128_t(mask));
#else
    return (mask[0] != 0 ? 1u : 0u) | (mask[1] != 0 ? 2u : 0u);
#endif
}

inline V RoundV(V value)
{
#if defined(__x86_64__)
    // (GCC's own conversions of a whole vector go through memory, half by half.)
    __m128 rounded = _mm_cvtpd_ps(value);
    asm("" : "+x"(rounded)); // as RoundToFloat: the rounding kept whatever the optimiser does
    return _mm_cvtps_pd(rounded);
#elif defined(__wasm_simd128__)
    // Both lanes in one instruction each way: the floats made opaque, or
    // clang splits the pair into one conversion a lane.
    v128_t rounded = wasm_f32x4_demote_f64x2_zero(v128_t(value));
    asm("" : "+r"(rounded));
    return V(wasm_f64x2_promote_low_f32x4(rounded));
#elif defined(__clang__)
    typedef float F __attribute__((vector_size(8)));
    return __builtin_convertvector(__builtin_convertvector(value, F), V); // clang keeps both conversions
#else
    typedef float F __attribute__((vector_size(8)));
    const volatile F rounded = __builtin_convertvector(value, F); // as RoundToFloat elsewhere
    return __builtin_convertvector(F(rounded), V);
#endif
}

#include "LaneFlight.inc"
} // namespace Narrow

#if defined(__x86_64__)
// Four doubles a register, for a processor with AVX2 (chosen at run time).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace Wide {
constexpr int W = 4;
typedef double V __attribute__((vector_size(32)));
typedef std::int64_t MV __attribute__((vector_size(32)));

inline V SqrtV(V value) { return _mm256_sqrt_pd(value); }

LANES_INLINE unsigned MaskBits(MV mask) { return unsigned(_mm256_movemask_pd(__m256d(mask))); }

inline V RoundV(V value)
{
    __m128 rounded = _mm256_cvtpd_ps(value);
    asm("" : "+x"(rounded));
    return _mm256_cvtps_pd(rounded);
}

#include "LaneFlight.inc"
} // namespace Wide
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

// Eight doubles a register, for a processor with AVX-512 (chosen at run time).
// (Not in the fuzzers' build: instrumented for coverage, a third width made
// this file take most of the suite's time to compile.)
#if !defined(HOMING_NO_AVX512_LANES)
#define HOMING_AVX512_LANES 1
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
namespace Widest {
constexpr int W = 8;
typedef double V __attribute__((vector_size(64)));
typedef std::int64_t MV __attribute__((vector_size(64)));

inline V SqrtV(V value) { return _mm512_sqrt_pd(value); }

LANES_INLINE unsigned MaskBits(MV mask) { return _mm512_cmplt_epi64_mask(__m512i(mask), _mm512_setzero_si512()); }

inline V RoundV(V value)
{
    __m256 rounded = _mm512_cvtpd_ps(value);
    asm("" : "+x"(rounded));
    return _mm512_cvtps_pd(rounded);
}

#include "LaneFlight.inc"
} // namespace Widest
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#if defined(HOMING_AVX512_LANES)
bool HasAvx512()
{
    static const bool has = __builtin_cpu_supports("avx512f");
    return has;
}
#endif
#endif

} // namespace

std::vector<int> LaneWidths()
{
    std::vector<int> widths;
#if defined(__x86_64__)
#if defined(HOMING_AVX512_LANES)
    if (HasAvx512())
        widths.push_back(Widest::Width);
#endif
    if (HasAvx2())
        widths.push_back(Wide::Width);
#endif
    widths.push_back(Narrow::Width);
    return widths;
}

int LaneWidth()
{
#if defined(__x86_64__)
    // HOMING_LANES=8 (or 16, 4) picks another width this processor has, to measure one beside another.
    static const int chosen = [] {
        const char* asked = std::getenv("HOMING_LANES");
        const std::vector<int> widths = LaneWidths();
        for (const int width : widths)
            if (asked && std::to_string(width) == asked)
                return width;
        return widths.front(); // the widest: AVX-512's sixteen lanes fly a map about 1.5 times as fast as AVX2's eight
    }();
    return chosen;
#else
    return Narrow::Width;
#endif
}

void FlyShotsInLanes(SteeringMode mode, const FlightRules& rules, const LanePlace* places, int count, int width)
{
    ShotQueue queue(rules, places, count, width);
#if defined(__x86_64__)
#if defined(HOMING_AVX512_LANES)
    if (width == Widest::Width && HasAvx512())
        return Widest::FlyLanes(mode, queue);
#endif
    if (width == Wide::Width && HasAvx2())
        return Wide::FlyLanes(mode, queue);
#endif
    Narrow::FlyLanes(mode, queue);
}

double NearSightDirection(double x, double y)
{
    Narrow::M known;
    const Narrow::D near = Narrow::NearSight(Narrow::Lanes(x), Narrow::Lanes(y), known);
    return Narrow::Get(known, 0) ? Narrow::Get(near, 0) : std::numeric_limits<double>::quiet_NaN();
}
