#include "MapCsv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>
#include <string_view>

#include "FloatText.h"
#include "Quoted.h"
#include "Random.h"

namespace {

constexpr std::string_view MadeByStart = "# homing-sim ";
constexpr std::string_view ShardKind = " map shard: rows ";
/// What shards of earlier versions began with, carrying no version.
constexpr std::string_view UnversionedShardStart = "# homing-sim map shard: rows ";

/// The version in a "# homing-sim VERSION what..." line followed by `what`,
/// or nothing when the line is not such.
std::string_view MadeByVersion(std::string_view head, std::string_view what)
{
    if (!head.starts_with(MadeByStart))
        return {};
    head.remove_prefix(MadeByStart.size());
    const std::size_t blank = head.find(' ');
    if (blank == 0 || blank == std::string_view::npos || head.substr(0, blank).find('\n') != std::string_view::npos ||
        !head.substr(blank).starts_with(what))
        return {};
    return head.substr(0, blank);
}

/// A whole number at the start of `text`, which then moves past it.
bool TakeWhole(std::string_view& text, int& value)
{
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || value < 0)
        return false;
    text.remove_prefix(std::size_t(end - text.data()));
    return true;
}

bool TakeText(std::string_view& text, std::string_view expected)
{
    if (!text.starts_with(expected))
        return false;
    text.remove_prefix(expected.size());
    return true;
}

/// The comma-separated fields of one CSV line.
std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t at = 0;;) {
        const std::size_t comma = line.find(',', at);
        fields.push_back(line.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
        if (comma == std::string_view::npos)
            return fields;
        at = comma + 1;
    }
}

bool WholeField(std::string_view field, int& value)
{
    if (field.empty()) {
        value = 0; // an undefined median or percentile
        return true;
    }
    const auto [end, status] = std::from_chars(field.data(), field.data() + field.size(), value);
    return status == std::errc() && end == field.data() + field.size() && value >= 0 && value <= 65535;
}

/// The least and the most the catch frames of a place's caught shots can
/// add up to: sorted, each from 1 to a shot's life, the one at the median's
/// rank its median and the one at the 90th percentile's its percentile.
void CatchFrameSums(const PlaceFigures& f, long& least, long& most)
{
    const int median = FigureRank(f.Shots, 0.5), p90 = FigureRank(f.Shots, 0.9);
    least = most = 0;
    for (int rank = 1; rank <= f.Caught; ++rank) {
        int low = 1, high = ShotLife;
        if (f.Median && rank <= median)
            high = f.Median;
        if (f.Median && rank >= median)
            low = f.Median;
        if (f.P90 && rank <= p90)
            high = std::min<int>(high, f.P90);
        if (f.P90 && rank >= p90)
            low = f.P90;
        least += low;
        most += high;
    }
}

std::string MeanText(double mean)
{
    std::string text;
    AppendFixed(text, mean, 2);
    return text;
}

/// Whether some whole number of frames within [least, most], over `caught`
/// catches, is written as `mean` is.
bool MeanOfWholeFrames(float mean, int caught, long least, long most)
{
    const std::string said = MeanText(double(mean));
    const long nearest = std::lrint(double(mean) * caught);
    for (long total = nearest - 1; total <= nearest + 1; ++total)
        if (total >= least && total <= most && MeanText(double(float(double(total) / caught))) == said)
            return true;
    return false;
}

/// What is wrong with a row's figures for a map of `settings`, or nothing:
/// the figures that `Shots` shots, each caught in a whole number of frames
/// within a shot's life or missed by at least the catch radius, can give.
/// The shots the settings ask for, no more caught than flown; a median and a
/// 90th percentile exactly when enough were caught for them, in order; a mean
/// of whole frames that those two allow; a miss exactly when some were not
/// caught, and no nearer than a catch.
std::string FiguresFault(const PlaceFigures& f, const MapSettings& settings)
{
    if (f.Shots != settings.Shots)
        return "says " + std::to_string(f.Shots) + " shots where its settings say " + std::to_string(settings.Shots);
    if (f.Caught > f.Shots)
        return "says more caught (" + std::to_string(f.Caught) + ") than shots";
    const auto frames = [](int value) { return value >= 1 && value <= ShotLife; };
    const bool medianDefined = f.Caught >= FigureRank(f.Shots, 0.5), p90Defined = f.Caught >= FigureRank(f.Shots, 0.9);
    if ((f.Median != 0) != medianDefined || (f.P90 != 0) != p90Defined || (f.Median && !frames(f.Median)) ||
        (f.P90 && !frames(f.P90)) || (f.Median && f.P90 && f.P90 < f.Median) ||
        (FigureRank(f.Shots, 0.5) == FigureRank(f.Shots, 0.9) && f.Median != f.P90))
        return "has a median or 90th percentile that " + std::to_string(f.Caught) + " caught of " +
               std::to_string(f.Shots) + " shots of " + std::to_string(ShotLife) + " frames cannot give";
    long least = 0, most = 0;
    CatchFrameSums(f, least, most);
    if (f.Caught ? !MeanOfWholeFrames(f.Mean, f.Caught, least, most) : f.Mean != 0)
        return "has a mean that its caught shots cannot give with that median and 90th percentile";
    if (f.Caught < f.Shots ? !(f.Miss >= float(std::sqrt(HitRadiusSquared))) : f.Miss != 0)
        return "has a miss distance that its shots cannot give (a shot that passes nearer than " +
               std::to_string(int(std::sqrt(HitRadiusSquared))) + " px is caught)";
    return {};
}

/// Reads a map row by row into `map`: every place and method of the rows in
/// order, each line as MapCsvRows writes it and its figures such as a map of
/// `settings` can hold. Lines are named by their number in the file, the
/// body's first being `firstLine`. Returns what is wrong, or nothing.
std::string ReadRows(std::string_view body, const MapSettings& settings, const MapRows& rows, CaptureMap& map,
                     long firstLine)
{
    long line = firstLine - 1;
    for (int row = rows.First; row <= rows.Last; ++row)
        for (int column = 0; column < map.Columns; ++column)
            for (int mode = 0; mode < SteeringModeCount; ++mode) {
                ++line;
                const std::string where = "line " + std::to_string(line);
                const int x = column * settings.Step, y = row * settings.Step;
                const std::size_t end = body.find('\n');
                if (end == std::string_view::npos)
                    return "it ends part way through row " + std::to_string(row) + " of the grid, at " + where +
                           " (cut short?)";
                const std::string_view text = body.substr(0, end);
                body.remove_prefix(end + 1);
                if (text.ends_with('\r'))
                    return where + " ends in a carriage return (a DOS line end): it is not as homing-sim writes it";
                const std::vector<std::string_view> fields = Fields(text);
                int placeX = -1, placeY = -1, method = -1, shots = 0, caught = 0, median = 0, p90 = 0;
                PlaceFigures f;
                const bool read = fields.size() == 9 && WholeField(fields[0], placeX) &&
                                  WholeField(fields[1], placeY) && WholeField(fields[2], method) &&
                                  WholeField(fields[3], shots) && WholeField(fields[4], caught) &&
                                  WholeField(fields[5], median) && WholeField(fields[6], p90) &&
                                  (fields[7].empty() || ParseFiniteFloat(fields[7], f.Mean)) &&
                                  (fields[8].empty() || ParseFiniteFloat(fields[8], f.Miss));
                if (!read)
                    return where + " is not a row of nine figures: " + Quoted(text.substr(0, 60));
                if (placeX != x || placeY != y || method != mode)
                    return where + " is not place (" + std::to_string(x) + ", " + std::to_string(y) + ") of method " +
                           std::to_string(mode) + ", which comes there";
                f.Shots = std::uint16_t(shots), f.Caught = std::uint16_t(caught);
                f.Median = std::uint16_t(median), f.P90 = std::uint16_t(p90);
                if (std::string fault = FiguresFault(f, settings); !fault.empty())
                    return where + " " + fault;
                if (fields[7].empty() != (f.Caught == 0) || fields[8].empty() != (f.Caught == f.Shots))
                    return where +
                           " leaves out a mean or a miss distance that its shots give, or gives one they do not";
                std::string canonical;
                AppendPlaceRow(canonical, x, y, mode, f);
                if (std::string_view(canonical).substr(0, canonical.size() - 1) != text)
                    return where + " is not written as homing-sim writes it: " + Quoted(text.substr(0, 60)) +
                           " where it writes " + Quoted(canonical.substr(0, canonical.size() - 1));
                map.At(column, row, mode) = f;
            }
    if (body.empty())
        return {};
    if (body.find_first_not_of("\r\n") == std::string_view::npos)
        return "line " + std::to_string(line + 1) +
               " is blank: a map's CSV ends with its last row, as homing-sim "
               "writes it";
    return "it holds more than its rows " + std::to_string(rows.First) + "-" + std::to_string(rows.Last) +
           ", from line " + std::to_string(line + 1);
}

std::string RowsText(const MapRows& rows) { return std::to_string(rows.First) + "-" + std::to_string(rows.Last); }

/// The places of a shard a join flies again, by their number in the shard
/// (row by row from its first): its first, and up to ShardPlacesFlownAgain
/// others drawn by `seed`, each once.
std::vector<int> PlacesToFlyAgain(const MapRows& rows, int columns, std::uint64_t seed, std::size_t shard)
{
    const int places = (rows.Last - rows.First + 1) * columns;
    std::vector<int> chosen{0};
    std::uint64_t state = Mix64(seed ^ Mix64(shard + 1));
    while (int(chosen.size()) < std::min(places, ShardPlacesFlownAgain + 1)) {
        state = Mix64(state + 1);
        const int place = int(state % std::uint64_t(places));
        if (std::find(chosen.begin(), chosen.end(), place) == chosen.end())
            chosen.push_back(place);
    }
    return chosen;
}

/// The shard's place `place` flown again for every method: what is wrong
/// when its rows are not what that gives, or nothing.
std::string FlyAgain(const MapSettings& settings, const MapRows& rows, const CaptureMap& map, int place,
                     std::uint64_t seed)
{
    const int column = place % map.Columns, row = rows.First + place / map.Columns;
    const int x = column * settings.Step, y = row * settings.Step;
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        const PlaceFigures again = MapPlace(settings, SteeringMode(mode), x, y);
        std::string said, flown;
        AppendPlaceRow(said, x, y, mode, map.At(column, row, mode));
        AppendPlaceRow(flown, x, y, mode, again);
        if (said != flown)
            return "line " + std::to_string(3 + place * SteeringModeCount + mode) +
                   " is not what its settings give when that place is flown again (" +
                   flown.substr(0, flown.size() - 1) + "; places drawn with seed " + std::to_string(seed) +
                   "): made with other settings, or edited";
    }
    return {};
}

} // namespace

/// One place's row, as a map's CSV holds it.
void AppendPlaceRow(std::string& out, int x, int y, int mode, const PlaceFigures& f)
{
    const auto value = [](int n) { return n ? std::to_string(n) : std::string(); };
    out += std::to_string(x) + ',' + std::to_string(y) + ',' + std::to_string(mode) + ',' + std::to_string(f.Shots) +
           ',' + std::to_string(f.Caught) + ',' + value(f.Median) + ',' + value(f.P90) + ',';
    if (f.Caught)
        AppendFixed(out, double(f.Mean), 2);
    out += ',';
    if (f.Caught < f.Shots)
        AppendFixed(out, double(f.Miss), 2);
    out += '\n';
}

std::string MadeBy() { return "homing-sim " HOMING_VERSION; }

std::string MadeByLine(const std::string& what) { return "# homing-sim " HOMING_VERSION " " + what + "\n"; }
std::string MapMadeByLine(const MapSettings& settings) { return MadeByLine("map " + MapSettingsText(settings)); }
std::string SweepMadeByLine(const MapSettings& settings, int values)
{
    return MadeByLine("sweep --values " + std::to_string(values) + " " + MapSettingsText(settings));
}

std::string DodgeMadeByLine(const MapSettings& settings, float sidestep)
{
    std::string what = "dodge --sidestep ";
    AppendFloat(what, sidestep);
    return MadeByLine(what + " " + MapSettingsText(settings));
}

std::string MapCsvHeader() { return "x,y,method,shots,caught,median,p90,mean,miss\n"; }

std::string MapCsvRows(const CaptureMap& map, const MapSettings& settings, int row)
{
    std::string rows;
    for (int column = 0; column < map.Columns; ++column)
        for (int mode = 0; mode < SteeringModeCount; ++mode)
            AppendPlaceRow(rows, column * settings.Step, row * settings.Step, mode, map.At(column, row, mode));
    return rows;
}

bool LooksLikeMapCsv(std::string_view head)
{
    return head.starts_with(MapCsvHeader()) || !MadeByVersion(head, " map ").empty() ||
           head.starts_with(UnversionedShardStart);
}

bool LooksLikeDodgeCsv(std::string_view head)
{
    return head.starts_with("method,frames_to_go,") || !MadeByVersion(head, " dodge ").empty();
}

bool LooksLikeSweepCsv(std::string_view head)
{
    return head.starts_with("method,parameter,") || !MadeByVersion(head, " sweep ").empty();
}

std::string MapShardLine(const MapSettings& settings, const MapRows& rows)
{
    return std::string(MadeByStart) + HOMING_VERSION + std::string(ShardKind) + RowsText(rows) + " of " +
           std::to_string(MapGridSize(settings.Step)) + "; " + MapSettingsText(settings) + "\n";
}

std::string ReadMapShard(const std::string& text, MapShard& shard)
{
    std::string_view rest = text;
    const std::size_t lineEnd = rest.find('\n');
    std::string_view line = rest.substr(0, lineEnd);
    int of = 0;
    const std::string_view version = MadeByVersion(line, ShardKind);
    if (line.starts_with(UnversionedShardStart))
        return "it was made by an earlier homing-sim, whose shards carry no version: make it again with this one "
               "(" HOMING_VERSION ")";
    if (!version.empty() && version != HOMING_VERSION)
        return "it was made by homing-sim " + Quoted(version) +
               ": shards are joined by the version that made them (this is " HOMING_VERSION ")";
    if (lineEnd == std::string_view::npos || version.empty() ||
        !TakeText(line, std::string(MadeByStart) + std::string(version) + std::string(ShardKind)) ||
        !TakeWhole(line, shard.Rows.First) || !TakeText(line, "-") || !TakeWhole(line, shard.Rows.Last) ||
        !TakeText(line, " of ") || !TakeWhole(line, of) || !TakeText(line, "; "))
        return "it is not a shard of a map (made with --rows): its first line is not \"" + std::string(MadeByStart) +
               HOMING_VERSION + std::string(ShardKind) + "FIRST-LAST of ROWS; SETTINGS\"";
    shard.Settings = std::string(line);
    if (std::string error = ReadMapSettingsText(shard.Settings, shard.Read); !error.empty())
        return "its settings are not a map's: " + error;
    if (of != MapGridSize(shard.Read.Step) || shard.Rows.First > shard.Rows.Last || shard.Rows.Last >= of)
        return "its rows " + RowsText(shard.Rows) + " of " + std::to_string(of) + " are not rows of its grid";
    rest.remove_prefix(lineEnd + 1);
    if (!TakeText(rest, MapCsvHeader()))
        return "its second line is not the map's header " + Quoted(MapCsvHeader().substr(0, 40));
    shard.Body = std::string(rest);
    CaptureMap check;
    check.Columns = check.Rows = of;
    check.Places.resize(std::size_t(of) * std::size_t(of) * SteeringModeCount);
    return ReadRows(shard.Body, shard.Read, shard.Rows, check, 3);
}

std::uint64_t FreshCheckSeed()
{
    std::random_device device;
    return (std::uint64_t(device()) << 32) ^ device();
}

std::string JoinMapShards(const std::vector<std::string>& names, const std::vector<MapShard>& shards, std::string& csv,
                          CaptureMap& map, std::uint64_t checkSeed)
{
    if (shards.empty())
        return "--join-map needs the shards to join";
    for (std::size_t n = 1; n < shards.size(); ++n)
        if (shards[n].Settings != shards[0].Settings)
            return names[n] + " was made with other settings (" + shards[n].Settings + ") than " + names[0] + " (" +
                   shards[0].Settings + ")";
    std::vector<std::size_t> order(shards.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return shards[a].Rows.First < shards[b].Rows.First; });
    const MapSettings& settings = shards[0].Read;
    const int rows = MapGridSize(settings.Step);
    int next = 0; // the first row no shard has given yet
    for (std::size_t n = 0; n < order.size(); ++n) {
        const MapShard& shard = shards[order[n]];
        if (shard.Rows.First > next)
            return "rows " + RowsText({next, shard.Rows.First - 1}) + " are in no shard (the next, " + names[order[n]] +
                   ", starts at row " + std::to_string(shard.Rows.First) + ")";
        if (shard.Rows.First < next)
            return names[order[n]] + " holds rows " + RowsText(shard.Rows) + ", which overlap those of " +
                   names[order[n - 1]] + " (" + RowsText(shards[order[n - 1]].Rows) + ")";
        next = shard.Rows.Last + 1;
    }
    if (next < rows)
        return "rows " + RowsText({next, rows - 1}) + " of " + std::to_string(rows) + " are in no shard";
    map.Columns = map.Rows = rows;
    map.Places.assign(std::size_t(rows) * std::size_t(rows) * SteeringModeCount, {});
    csv = MapMadeByLine(settings) + MapCsvHeader();
    for (const std::size_t n : order) {
        if (std::string error = ReadRows(shards[n].Body, settings, shards[n].Rows, map, 3); !error.empty())
            return names[n] + ": " + error;
        // Figures can be consistent and still not be the settings' own
        // (settings edited, a motion left out, figures made up): the shard's
        // first place and a few drawn by the seed, flown again.
        for (const int place : PlacesToFlyAgain(shards[n].Rows, map.Columns, checkSeed, n))
            if (std::string error = FlyAgain(settings, shards[n].Rows, map, place, checkSeed); !error.empty())
                return names[n] + ": " + error;
        csv += shards[n].Body;
    }
    return {};
}
