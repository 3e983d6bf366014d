// Capture maps and sweeps into the caller's arrays, their settings read by
// homing-sim's own reader; a progress callback that may cancel.

#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "Calls.h"
#include "CaptureMap.h"
#include "MapCsv.h"
#include "MapSettings.h"
#include "Sweep.h"

namespace {

/// The settings text read, and the record's threads over its --threads.
homing_status ReadSettings(const char* call, const char* text, unsigned threads, MapSettings& settings)
{
    if (const std::string error = ReadMapSettingsText(text ? text : "", settings); !error.empty())
        return Failed(HOMING_BAD_SETTINGS, std::string(call) + ": " + error);
    if (threads)
        settings.Threads = threads;
    return HOMING_OK;
}

/// The rows a map's record asks for, checked against its grid.
homing_status ReadRows(const char* call, const homing_map_def& def, const MapSettings& settings, MapRows& rows)
{
    const int grid = MapGridSize(settings.Step);
    rows = {def.first_row, def.last_row < 0 ? grid - 1 : def.last_row};
    if (def.first_row < 0 || def.first_row >= grid || rows.Last >= grid || rows.Last < rows.First || def.last_row < -1)
        return Failed(HOMING_OUT_OF_RANGE, std::string(call) + ": rows " + std::to_string(def.first_row) + " to " +
                                               std::to_string(def.last_row) + " are not rows of the grid's " +
                                               std::to_string(grid) + " (0 to " + std::to_string(grid - 1) +
                                               "; -1 as the last: to the end)");
    return HOMING_OK;
}

/// The record checked and read: its settings and rows.
homing_status ReadMapDef(const char* call, const homing_map_def* def, MapSettings& settings, MapRows& rows)
{
    if (!def)
        return NullArgument(call, "def");
    if (const homing_status wrong = CheckRecordSize(call, def->size, sizeof *def))
        return wrong;
    if (def->method < -1 || def->method >= SteeringModeCount)
        return Failed(HOMING_OUT_OF_RANGE, std::string(call) + ": method must be -1 (every method) or 0 to " +
                                               std::to_string(SteeringModeCount - 1) + ", not " +
                                               std::to_string(def->method));
    if (const homing_status bad = ReadSettings(call, def->settings, def->threads, settings))
        return bad;
    return ReadRows(call, *def, settings, rows);
}

/// The map's methods: every one, or the one asked for.
std::optional<SteeringMode> OnlyMethod(const homing_map_def& def)
{
    return def.method < 0 ? std::nullopt : std::optional(SteeringMode(def.method));
}

std::size_t FiguresOf(const MapSettings& settings, const MapRows& rows, bool oneMethod)
{
    return std::size_t(rows.Last - rows.First + 1) * std::size_t(MapGridSize(settings.Step)) *
           (oneMethod ? 1 : SteeringModeCount);
}

/// The most bytes a row of a map's CSV takes: whole numbers of at most five
/// digits, a mean of at most 500.00, a miss as a float may be, with %.2f.
constexpr std::size_t MostRowBytes = 96;

std::size_t ShardBytes(const MapSettings& settings, const MapRows& rows)
{
    return MapShardLine(settings, rows).size() + MapCsvHeader().size() +
           FiguresOf(settings, rows, false) * MostRowBytes + 1;
}

/// The caller's callback, asked now and then; a non-zero answer sets `Stop`.
struct Progress {
    homing_progress Call;
    void* User;
    std::atomic<bool> Stop{false};

    std::function<void(double)> Function()
    {
        if (!Call)
            return {};
        // Asked to stop once all is done, nothing is lost: the run is whole.
        return [this](double done) {
            if (!Stop && Call(done, User) && done < 1)
                Stop = true;
        };
    }
};

homing_status TooSmall(const char* call, std::size_t needed, std::size_t capacity, const char* what)
{
    return Failed(HOMING_BUFFER_TOO_SMALL, std::string(call) + ": " + std::to_string(needed) + " " + what +
                                               " are needed and the array holds " + std::to_string(capacity));
}

homing_status Cancelled(const char* call)
{
    return Failed(HOMING_CANCELLED, std::string(call) + ": cancelled by the progress callback; nothing is whole");
}

homing_figures FiguresRecord(const PlaceFigures& f) { return {f.Shots, f.Caught, f.Median, f.P90, f.Mean, f.Miss}; }

/// The record checked and read for a sweep.
homing_status ReadSweepDef(const char* call, const homing_sweep_def* def, MapSettings& settings)
{
    if (!def)
        return NullArgument(call, "def");
    if (const homing_status wrong = CheckRecordSize(call, def->size, sizeof *def))
        return wrong;
    if (def->values < 1 || def->values > MostSweepValues)
        return Failed(HOMING_OUT_OF_RANGE, std::string(call) + ": values must be 1 to " +
                                               std::to_string(MostSweepValues) + ", not " +
                                               std::to_string(def->values));
    return ReadSettings(call, def->settings, def->threads, settings);
}

int DrawNumber(SweepParameter parameter)
{
    const Method& method = Methods[std::size_t(parameter.Mode)];
    for (int draw = 0; draw < MaxLaunchDraws; ++draw)
        if (method.Draws[std::size_t(draw)].Draw == parameter.Draw)
            return draw;
    return -1;
}

homing_sweep_point PointRecord(SweepParameter parameter, const SweepPoint& point)
{
    const SweepFigures& f = point.Figures;
    return {int(parameter.Mode),
            DrawNumber(parameter),
            point.R,
            point.Value,
            f.MostlyCaught,
            f.Caught,
            f.Median,
            f.Missed,
            f.Miss};
}

} // namespace

extern "C" {

homing_map_def homing_map_default(void)
{
    homing_map_def def{};
    def.size = sizeof def;
    def.last_row = -1;
    def.method = -1;
    return def;
}

homing_status homing_map_size(const homing_map_def* def, homing_map_grid* grid)
{
    static constexpr const char* call = "homing_map_size";
    return Guarded(call, [&] {
        MapSettings settings;
        MapRows asked;
        if (const homing_status bad = ReadMapDef(call, def, settings, asked))
            return bad;
        if (!grid)
            return NullArgument(call, "grid");
        *grid = {settings.Step, MapGridSize(settings.Step), FiguresOf(settings, asked, def->method >= 0),
                 ShardBytes(settings, asked)};
        return HOMING_OK;
    });
}

homing_status homing_map(const homing_map_def* def, homing_figures* figures, size_t capacity)
{
    static constexpr const char* call = "homing_map";
    return Guarded(call, [&] {
        MapSettings settings;
        MapRows rows;
        if (const homing_status bad = ReadMapDef(call, def, settings, rows))
            return bad;
        const std::optional<SteeringMode> only = OnlyMethod(*def);
        const std::size_t needed = FiguresOf(settings, rows, bool(only));
        if (needed > capacity)
            return TooSmall(call, needed, capacity, "figures");
        if (!figures)
            return NullArgument(call, "figures");
        Progress progress{def->progress, def->user};
        const CaptureMap map = ComputeMap(settings, progress.Function(), rows, only, &progress.Stop);
        if (progress.Stop)
            return Cancelled(call);
        std::size_t n = 0;
        for (int row = rows.First; row <= rows.Last; ++row)
            for (int column = 0; column < map.Columns; ++column)
                for (int mode = 0; mode < SteeringModeCount; ++mode)
                    if (!only || int(*only) == mode)
                        figures[n++] = FiguresRecord(map.At(column, row, mode));
        return HOMING_OK;
    });
}

homing_status homing_map_shard(const homing_map_def* def, char* text, size_t capacity, size_t* length)
{
    static constexpr const char* call = "homing_map_shard";
    return Guarded(call, [&] {
        MapSettings settings;
        MapRows rows;
        if (const homing_status bad = ReadMapDef(call, def, settings, rows))
            return bad;
        if (def->method >= 0)
            return Failed(HOMING_OUT_OF_RANGE, std::string(call) + ": a shard holds every method: method must be -1");
        if (!length)
            return NullArgument(call, "length");
        if (const std::size_t most = ShardBytes(settings, rows); most > capacity)
            return TooSmall(call, most, capacity, "bytes (at most; homing_map_size says)");
        if (!text)
            return NullArgument(call, "text");
        Progress progress{def->progress, def->user};
        const CaptureMap map = ComputeMap(settings, progress.Function(), rows, {}, &progress.Stop);
        if (progress.Stop)
            return Cancelled(call);
        std::string shard = MapShardLine(settings, rows) + MapCsvHeader();
        for (int row = rows.First; row <= rows.Last; ++row)
            shard += MapCsvRows(map, settings, row);
        std::memcpy(text, shard.c_str(), shard.size() + 1);
        *length = shard.size();
        return HOMING_OK;
    });
}

homing_status homing_join_map(const char* const* shards, size_t count, homing_figures* figures, size_t capacity)
{
    static constexpr const char* call = "homing_join_map";
    return Guarded(call, [&] {
        if (!shards && count)
            return NullArgument(call, "shards");
        std::vector<std::string> names;
        std::vector<MapShard> read(count);
        for (std::size_t n = 0; n < count; ++n) {
            names.push_back("shard " + std::to_string(n));
            if (!shards[n])
                return NullArgument(call, names.back().c_str());
            if (const std::string error = ReadMapShard(shards[n], read[n]); !error.empty())
                return Failed(HOMING_BAD_SETTINGS, std::string(call) + ": " + names[n] + ": " + error);
        }
        std::string csv;
        CaptureMap map;
        if (const std::string error = JoinMapShards(names, read, csv, map, FreshCheckSeed()); !error.empty())
            return Failed(HOMING_BAD_SETTINGS, std::string(call) + ": " + error);
        if (map.Places.size() > capacity)
            return TooSmall(call, map.Places.size(), capacity, "figures");
        if (!figures)
            return NullArgument(call, "figures");
        for (std::size_t n = 0; n < map.Places.size(); ++n)
            figures[n] = FiguresRecord(map.Places[n]);
        return HOMING_OK;
    });
}

homing_sweep_def homing_sweep_default(void)
{
    homing_sweep_def def{};
    def.size = sizeof def;
    def.values = 10;
    return def;
}

homing_status homing_sweep_size(const homing_sweep_def* def, size_t* points)
{
    static constexpr const char* call = "homing_sweep_size";
    return Guarded(call, [&] {
        MapSettings settings;
        if (const homing_status bad = ReadSweepDef(call, def, settings))
            return bad;
        if (!points)
            return NullArgument(call, "points");
        *points = SweepParameters().size() * std::size_t(def->values);
        return HOMING_OK;
    });
}

homing_status homing_sweep(const homing_sweep_def* def, homing_sweep_point* points, size_t capacity)
{
    static constexpr const char* call = "homing_sweep";
    return Guarded(call, [&] {
        MapSettings settings;
        if (const homing_status bad = ReadSweepDef(call, def, settings))
            return bad;
        const std::size_t needed = SweepParameters().size() * std::size_t(def->values);
        if (needed > capacity)
            return TooSmall(call, needed, capacity, "points");
        if (!points)
            return NullArgument(call, "points");
        Progress progress{def->progress, def->user};
        const std::vector<SweepCurve> curves = ComputeSweep(settings, def->values, progress.Function(), &progress.Stop);
        if (progress.Stop)
            return Cancelled(call);
        std::size_t n = 0;
        for (const SweepCurve& curve : curves)
            for (const SweepPoint& point : curve.Points)
                points[n++] = PointRecord(curve.Parameter, point);
        return HOMING_OK;
    });
}

} // extern "C"
