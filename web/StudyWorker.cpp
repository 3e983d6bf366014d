// A Web Worker's half of the page's study: bands of a capture map's rows and
// points of a sweep, computed by the same map code as homing-sim's and handed
// back as they lie in memory, which the page's own module lays out the same,
// with the map's CSV lines of the rows.
// They run in the page's module, in workers (worker.js is their message loop).

#include <emscripten.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CaptureMap.h"
#include "DodgeWindow.h"
#include "MapCsv.h"
#include "MapSettings.h"
#include "Sweep.h"

namespace {

MapSettings Settings;
std::string SettingsText;
std::string Error;
std::vector<PlaceFigures> Band;
std::string BandCsv;
SweepPoint Point;
std::string Dodge;

} // namespace

extern "C" {

/// Takes the settings (as MapSettingsText writes them) for the jobs after;
/// returns what is wrong with them, or an empty text.
EMSCRIPTEN_KEEPALIVE const char* WorkerSettings(const char* text)
{
    Error.clear();
    if (SettingsText != text) {
        MapSettings read;
        Error = ReadMapSettingsText(text, read);
        if (Error.empty()) {
            Settings = read;
            Settings.Threads = 1;
            SettingsText = text;
        }
    }
    return Error.c_str();
}

/// The figures of rows `first` to `last` of the map, every method, in the
/// map's own order; `WorkerBytes` says how many bytes they take.
EMSCRIPTEN_KEEPALIVE const PlaceFigures* WorkerMapRows(int first, int last)
{
    const int columns = MapGridSize(Settings.Step);
    Band.resize(std::size_t(last - first + 1) * std::size_t(columns) * SteeringModeCount);
    PlaceFigures* place = Band.data();
    BandCsv.clear();
    std::vector<PlaceFigures> figures(std::size_t(columns) * SteeringModeCount); // a row's, method by method
    for (int row = first; row <= last; ++row) {
        const std::vector<PlacePoint> places = RowPlaces(Settings, row);
        for (int mode = 0; mode < SteeringModeCount; ++mode)
            MapPlaces(Settings, SteeringMode(mode), places.data(), columns,
                      figures.data() + std::size_t(mode) * std::size_t(columns));
        for (int column = 0; column < columns; ++column)
            for (int mode = 0; mode < SteeringModeCount; ++mode) {
                *place = figures[std::size_t(mode) * std::size_t(columns) + std::size_t(column)];
                AppendPlaceRow(BandCsv, places[std::size_t(column)].X, places[std::size_t(column)].Y, mode, *place++);
            }
    }
    return Band.data();
}

/// The same rows as the map's CSV has them: written here, off the page's thread.
EMSCRIPTEN_KEEPALIVE const char* WorkerMapCsv() { return BandCsv.c_str(); }

EMSCRIPTEN_KEEPALIVE int WorkerBytes() { return int(Band.size() * sizeof(PlaceFigures)); }

/// Point `value` of `values` of the sweep's parameter `parameter` (as
/// SweepParameters() lists them), over the settings' grid.
EMSCRIPTEN_KEEPALIVE const SweepPoint* WorkerSweepPoint(int parameter, int value, int values)
{
    const SweepParameter swept = SweepParameters()[std::size_t(parameter)];
    const MapSettings held = SweepPointSettings(Settings, swept, value, values);
    Point = SweepPointOf(swept, held, ComputeMap(held, {}, {}, swept.Mode));
    return &Point;
}

EMSCRIPTEN_KEEPALIVE int WorkerPointBytes() { return int(sizeof(SweepPoint)); }

/// The dodge window of method `mode` with a sidestep at `sidestep` pixels a
/// frame, over the settings' grid with at most 8 shots a place (a page's
/// worker, not a machine's run), as homing-sim --dodge writes its rows.
EMSCRIPTEN_KEEPALIVE const char* WorkerDodge(int mode, float sidestep)
{
    MapSettings settings = Settings;
    settings.Shots = std::min(settings.Shots, 8);
    Dodge = DodgeMadeByLine(settings, sidestep) + DodgeCsv(ComputeDodgeWindow(settings, sidestep, SteeringMode(mode)));
    return Dodge.c_str();
}

} // extern "C"
