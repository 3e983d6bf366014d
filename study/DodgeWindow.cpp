#include "DodgeWindow.h"

#include <algorithm>
#include <mutex>

#include "CaptureMap.h"
#include "FloatText.h"
#include "LaneShots.h"
#include "LoneShots.h"

namespace {

/// What one place's shots add to a method's window.
struct PlaceTally {
    std::array<int, DodgeFramesToGo + 1> Shots{}, Caught{};
    std::array<std::vector<float>, DodgeFramesToGo + 1> Closest;
};

/// The sidestep settings for each first frame of the step, 0 to ShotLife
/// (kept in place: each marker path refers to its settings).
std::vector<MapSettings> SidestepSettings(const MapSettings& settings, float sidestep)
{
    std::vector<MapSettings> each(ShotLife + 1, settings);
    for (int frame = 0; frame <= ShotLife; ++frame) {
        MapSettings& stepping = each[std::size_t(frame)];
        stepping.Motion = MarkerMotion::Jink, stepping.MotionPeriod = float(frame), stepping.MotionSize = sidestep;
        stepping.MarkerVX = stepping.MarkerVY = 0;
    }
    return each;
}

/// Flies a place's shots at a still marker, then each caught one again with
/// every frames to go it has, side by side in lanes.
void TallyPlace(const MapSettings& still, const std::vector<MapSettings>& stepping, SteeringMode mode, int x, int y,
                PlaceTally& tally)
{
    std::vector<ShotEnd> ends(std::size_t(still.Shots));
    FlyShots(still, mode, x, y, 0, still.Shots, ends.data());
    std::vector<Shot> launched;
    std::vector<MarkerPath> paths;
    std::vector<int> togo;
    launched.reserve(std::size_t(still.Shots) * DodgeFramesToGo);
    paths.reserve(launched.capacity());
    for (int shot = 0; shot < still.Shots; ++shot) {
        const int caughtAt = ends[std::size_t(shot)].Frames;
        Shot first;
        LaunchMapShot(first, still, mode, x, y, shot);
        for (int g = 1; g <= std::min(caughtAt, DodgeFramesToGo); ++g) {
            launched.push_back(first);
            paths.emplace_back(stepping[std::size_t(caughtAt - g)], x, y);
            togo.push_back(g);
        }
    }
    std::vector<ShotEnd> flown(launched.size());
    std::vector<LanePlace> places;
    places.reserve(launched.size());
    for (std::size_t n = 0; n < launched.size(); ++n)
        places.push_back({&paths[n], &launched[n], 1, &flown[n]});
    FlyShotsInLanes(mode, FlightRulesOf(still), places.data(), int(places.size()));
    for (std::size_t n = 0; n < flown.size(); ++n) {
        const std::size_t g = std::size_t(togo[n]);
        ++tally.Shots[g];
        tally.Caught[g] += flown[n].Frames ? 1 : 0;
        tally.Closest[g].push_back(flown[n].Closest);
    }
}

float LowerMedian(std::vector<float>& values)
{
    if (values.empty())
        return 0;
    const auto middle = values.begin() + std::ptrdiff_t((values.size() - 1) / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

} // namespace

std::vector<DodgeCurve> ComputeDodgeWindow(const MapSettings& settings, float sidestep, SteeringMode only,
                                           const std::function<void(double)>& progress, const std::atomic<bool>* stop)
{
    MapSettings still = settings;
    still.Motion = MarkerMotion::Line, still.MarkerVX = still.MarkerVY = 0;
    const std::vector<MapSettings> stepping = SidestepSettings(still, sidestep);
    const int grid = MapGridSize(settings.Step);
    std::vector<SteeringMode> modes;
    for (int mode = 0; mode < SteeringModeCount; ++mode)
        if (only == SteeringMode::Count || only == SteeringMode(mode))
            modes.push_back(SteeringMode(mode));
    const int jobs = int(modes.size()) * grid * grid;
    std::vector<PlaceTally> tallies(modes.size());
    std::mutex merging;
    RunTasks(
        jobs, settings.Threads,
        [&](int job) {
            const int method = job / (grid * grid), place = job % (grid * grid);
            PlaceTally own;
            TallyPlace(still, stepping, modes[std::size_t(method)], place % grid * settings.Step,
                       place / grid * settings.Step, own);
            // The medians are of the shots whichever order they came in.
            const std::lock_guard lock(merging);
            PlaceTally& tally = tallies[std::size_t(method)];
            for (std::size_t g = 1; g <= DodgeFramesToGo; ++g) {
                tally.Shots[g] += own.Shots[g], tally.Caught[g] += own.Caught[g];
                tally.Closest[g].insert(tally.Closest[g].end(), own.Closest[g].begin(), own.Closest[g].end());
            }
        },
        progress, stop);
    std::vector<DodgeCurve> curves;
    for (std::size_t method = 0; method < modes.size(); ++method) {
        DodgeCurve& curve = curves.emplace_back(DodgeCurve{modes[method], {}});
        PlaceTally& tally = tallies[method];
        for (std::size_t g = 1; g <= DodgeFramesToGo; ++g)
            curve.Points.push_back({int(g), tally.Shots[g], tally.Caught[g], LowerMedian(tally.Closest[g])});
    }
    return curves;
}

std::string DodgeCsv(const std::vector<DodgeCurve>& curves)
{
    std::string text = "method,frames_to_go,shots,caught,caught_share,median_closest\n";
    for (const DodgeCurve& curve : curves)
        for (const DodgePoint& point : curve.Points) {
            text += std::to_string(int(curve.Mode)) + ',' + std::to_string(point.FramesToGo) + ',' +
                    std::to_string(point.Shots) + ',' + std::to_string(point.Caught) + ',';
            if (point.Shots)
                AppendFixed(text, double(point.Caught) / point.Shots, 4);
            text += ',';
            if (point.Shots)
                AppendFixed(text, double(point.MedianClosest), 2);
            text += '\n';
        }
    return text;
}
