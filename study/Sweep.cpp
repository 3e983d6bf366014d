#include "Sweep.h"

#include <algorithm>
#include <cstdio>

#include "FloatText.h"
#include "Random.h"
#include "Shoot.h"

std::vector<SweepParameter> SweepParameters()
{
    std::vector<SweepParameter> parameters;
    for (int mode = 0; mode < SteeringModeCount; ++mode)
        for (const MethodDraw& draw : Methods[std::size_t(mode)].Draws)
            if (draw.Draw != LaunchDraw::None)
                parameters.push_back({SteeringMode(mode), draw.Draw});
    return parameters; // each method's draws come in the order it draws them
}

float DrawValue(SteeringMode mode, LaunchDraw draw, float r)
{
    const int index = DrawIndex(mode, draw);
    return index < 0 ? 0 : LaunchValue(MethodOf(mode).Draws[std::size_t(index)], r);
}

SweepFigures SweepFiguresOf(const CaptureMap& map, SteeringMode mode)
{
    std::vector<int> medians;
    std::vector<float> misses;
    long long shots = 0, caught = 0;
    int mostly = 0;
    for (int row = 0; row < map.Rows; ++row)
        for (int column = 0; column < map.Columns; ++column) {
            const PlaceFigures& place = map.At(column, row, int(mode));
            shots += place.Shots;
            caught += place.Caught;
            mostly += place.MostlyCaught();
            medians.push_back(place.MostlyCaught() ? place.Median : ShotLife + 100); // never, as a place's median
            if (place.Caught < place.Shots)
                misses.push_back(place.Miss);
        }
    // The k-th smallest with k = ceil(count / 2), as a place's own median.
    const auto middle = [](auto& values) {
        std::sort(values.begin(), values.end());
        return values[std::size_t(std::max(0, int(0.5 * double(values.size()) + 0.999999) - 1))];
    };
    SweepFigures figures;
    const double places = double(map.Columns) * map.Rows;
    figures.MostlyCaught = mostly / places;
    figures.Caught = shots ? double(caught) / double(shots) : 0;
    const int median = middle(medians);
    figures.Median = median > ShotLife ? 0 : median;
    figures.Missed = !misses.empty();
    figures.Miss = misses.empty() ? 0.f : middle(misses);
    return figures;
}

MapSettings SweepPointSettings(const MapSettings& settings, SweepParameter parameter, int value, int values)
{
    MapSettings held = settings;
    held.Held = parameter.Draw;
    held.HeldValue = float((value + 0.5) / values);
    return held;
}

SweepPoint SweepPointOf(SweepParameter parameter, const MapSettings& held, const CaptureMap& map)
{
    return {held.HeldValue, DrawValue(parameter.Mode, parameter.Draw, held.HeldValue),
            SweepFiguresOf(map, parameter.Mode)};
}

std::vector<SweepCurve> ComputeSweep(const MapSettings& settings, int values,
                                     const std::function<void(double)>& progress, const std::atomic<bool>* stop)
{
    std::vector<SweepCurve> curves;
    const std::vector<SweepParameter> parameters = SweepParameters();
    const int jobs = int(parameters.size()) * values;
    int job = 0;
    for (const SweepParameter& parameter : parameters) {
        SweepCurve& curve = curves.emplace_back(SweepCurve{parameter, {}});
        for (int i = 0; i < values && !(stop && stop->load()); ++i, ++job) {
            const MapSettings held = SweepPointSettings(settings, parameter, i, values);
            const auto share = [&](double done) { progress((job + done) / jobs); };
            const CaptureMap map = progress ? ComputeMap(held, share, {}, parameter.Mode, stop)
                                            : ComputeMap(held, {}, {}, parameter.Mode, stop);
            curve.Points.push_back(SweepPointOf(parameter, held, map));
        }
    }
    return curves;
}

std::string SweepCsv(const std::vector<SweepCurve>& curves)
{
    std::string text = "method,parameter,r,value,places_mostly_caught,shots_caught,median,miss\n";
    for (const SweepCurve& curve : curves)
        for (const SweepPoint& point : curve.Points) {
            text += std::to_string(int(curve.Parameter.Mode)) + "," + LaunchDrawName(curve.Parameter.Draw) + ",";
            AppendFloat(text, point.R);
            text += ',';
            AppendFloat(text, point.Value);
            const SweepFigures& f = point.Figures;
            text += ',';
            AppendFixed(text, f.MostlyCaught, 4);
            text += ',';
            AppendFixed(text, f.Caught, 4);
            text += ',';
            if (f.Median)
                text += std::to_string(f.Median);
            text += ',';
            if (f.Missed)
                AppendFixed(text, double(f.Miss), 2);
            text += '\n';
        }
    return text;
}
