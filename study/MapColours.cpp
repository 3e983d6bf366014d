#include "MapColours.h"

#include <algorithm>
#include <array>
#include <cmath>

MapRgb Viridis(double share)
{
    static constexpr std::array<MapRgb, 11> Stops = {0x440154, 0x482475, 0x414487, 0x355f8d, 0x2a788e, 0x21918c,
                                                     0x22a884, 0x44bf70, 0x7ad151, 0xbddf26, 0xfde725};
    const double at = std::clamp(share, 0.0, 1.0) * 10;
    const int low = std::min(9, int(at));
    const double part = at - low;
    const MapRgb a = Stops[std::size_t(low)], b = Stops[std::size_t(low + 1)];
    MapRgb mixed = 0;
    for (const int shift : {16, 8, 0}) {
        const int x = int(a >> shift & 0xFF), y = int(b >> shift & 0xFF);
        mixed |= MapRgb(std::lrint(x + (y - x) * part)) << shift;
    }
    return mixed;
}

double MapShare(double frames) { return std::sqrt(std::clamp(frames / MapFramesShown, 0.0, 1.0)); }

MapRgb MostlyMissed(double caughtShare)
{
    const MapRgb grey = MapRgb(std::clamp(std::lrint(90 + 280 * caughtShare), 0L, 255L));
    return grey << 16 | grey << 8 | grey;
}

MapRgb PlaceColour(const PlaceFigures& figures)
{
    return figures.MostlyCaught() ? Viridis(MapShare(figures.Median))
                                  : MostlyMissed(double(figures.Caught) / figures.Shots);
}
