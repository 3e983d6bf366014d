#pragma once
// A capture map as CSV text: one row per place and method. A shard, some of
// the grid's rows computed on one machine, starts with a line that carries
// its rows and settings, so shards made with other settings cannot be joined.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CaptureMap.h"
#include "MapSettings.h"

/// What a map's or a sweep's CSV starts with: "# homing-sim VERSION " and
/// `what` made it, never the file's own name, so the same settings give the
/// same bytes wherever they are written (a CSV reader skips it as a comment).
std::string MadeByLine(const std::string& what);
/// "homing-sim VERSION": what a picture's Software text says made it.
std::string MadeBy();
/// "# homing-sim VERSION map --step 4 --shots 8 ...\n".
std::string MapMadeByLine(const MapSettings& settings);
/// "# homing-sim VERSION sweep --values 10 --step 10 ...\n".
std::string SweepMadeByLine(const MapSettings& settings, int values);
/// The first line of a dodge window's CSV: its sidestep and map settings.
std::string DodgeMadeByLine(const MapSettings& settings, float sidestep);

/// "x,y,method,shots,caught,median,p90,mean,miss\n".
std::string MapCsvHeader();

/// One place's line of the CSV: where, which method, its figures.
void AppendPlaceRow(std::string& out, int x, int y, int mode, const PlaceFigures& f);

/// The CSV rows of one row of the grid, every place and method.
std::string MapCsvRows(const CaptureMap& map, const MapSettings& settings, int row);

/// Whether a file's first bytes are a map's CSV (its header, or the line
/// that says a homing-sim map or shard of one made it): a file that begins
/// otherwise is not replaced by a map.
bool LooksLikeMapCsv(std::string_view head);
/// Likewise a sweep's CSV.
bool LooksLikeSweepCsv(std::string_view head);
/// Whether a file's first bytes are those of a dodge window's CSV.
bool LooksLikeDodgeCsv(std::string_view head);

/// The first line of a shard of rows `rows` (both ends given).
std::string MapShardLine(const MapSettings& settings, const MapRows& rows);

/// A shard read back: its rows of the grid and its settings, as its first
/// line gives them, and its CSV rows, checked against both.
struct MapShard {
    std::string Settings; ///< as MapSettingsText wrote them
    MapSettings Read;     ///< the same, read
    MapRows Rows;
    std::string Body; ///< its CSV rows, the header left out
};

/// Reads a shard's whole text. Returns what is wrong in one line, or nothing.
[[nodiscard]] std::string ReadMapShard(const std::string& text, MapShard& shard);

/// A seed for the places a join flies again, drawn anew for each join so
/// that no forged shard can know them.
std::uint64_t FreshCheckSeed();

/// How many places of each shard, besides its first, a join flies again.
inline constexpr int ShardPlacesFlownAgain = 4;

/// Joins shards that agree on their settings and hold every row of the grid
/// exactly once into the whole map's CSV (the bytes one run writes) and its
/// figures. Every figure is checked against what its shots can give, and a
/// few places of each shard (its first, and others drawn by `checkSeed`) are
/// flown again. `names` name the shards in messages. Returns what is wrong in
/// one line, naming the shard (and the seed, where a place flown again
/// differs), or nothing.
[[nodiscard]] std::string JoinMapShards(const std::vector<std::string>& names, const std::vector<MapShard>& shards,
                                        std::string& csv, CaptureMap& map, std::uint64_t checkSeed);
