#include "Arguments.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "FloatText.h"
#include "Quoted.h"
#include "Sweep.h"

namespace {

/// --rows FIRST-LAST: rows of the grid, checked against the grid once the step is known.
bool ReadRows(int argc, char** argv, int& n, MapRows& rows, std::string& error)
{
    const std::string_view text = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    const std::size_t dash = text.find('-');
    const auto whole = [](std::string_view part, int& value) {
        const auto [end, status] = std::from_chars(part.data(), part.data() + part.size(), value);
        return !part.empty() && status == std::errc() && end == part.data() + part.size() && value >= 0;
    };
    if (dash == std::string_view::npos || !whole(text.substr(0, dash), rows.First) ||
        !whole(text.substr(dash + 1), rows.Last) || rows.First > rows.Last) {
        error = "--rows must be FIRST-LAST, two whole numbers with FIRST no more than LAST, " + GotText(text);
        return false;
    }
    ++n;
    return true;
}

/// --values N: a sweep's values of each parameter, 1 to MostSweepValues.
bool ReadValues(int argc, char** argv, int& n, int& values, std::string& error)
{
    const std::string_view text = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), values);
    if (text.empty() || status != std::errc() || end != text.data() + text.size() || values < 1 ||
        values > MostSweepValues) {
        error = "--values must be a whole number from 1 to " + std::to_string(MostSweepValues) + ", " + GotText(text);
        return false;
    }
    ++n;
    return true;
}

/// --sidestep SPEED: pixels a frame, not 0, at most the width of the playfield.
bool ReadSidestep(int argc, char** argv, int& n, float& speed, std::string& error)
{
    const std::string_view text = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    if (!ParseFiniteFloat(text, speed) || speed == 0 || std::fabs(speed) > PlayfieldSize) {
        error = "--sidestep must be a number of pixels a frame, not 0, from -" + std::to_string(PlayfieldSize) +
                " to " + std::to_string(PlayfieldSize) + ", " + GotText(text);
        return false;
    }
    ++n;
    return true;
}

/// False, saying so, when `option` was given before.
bool FirstTime(bool given, std::string_view option, std::string& error)
{
    if (given)
        error = std::string(option) + " is given twice";
    return !given;
}

/// What the run writes, chosen once: a second choice is refused, named.
bool ChooseOutput(Arguments& arguments, Output writes, const char* option, std::string& error)
{
    if (arguments.WritesOption) {
        error = std::string_view(arguments.WritesOption) == option
                    ? std::string(option) + " is given twice"
                    : std::string(arguments.WritesOption) + " and " + option + " cannot be combined";
        return false;
    }
    arguments.Writes = writes;
    arguments.WritesOption = option;
    return true;
}

/// The path after an output option, as argv[n + 1].
bool OutputPath(int argc, char** argv, int& n, const char* what, const char*& path, std::string& error)
{
    if (n + 1 >= argc || argv[n + 1][0] == '\0' || argv[n + 1][0] == '-') {
        error = std::string(argv[n]) + " needs the path of " + what + " to write";
        return false;
    }
    path = argv[++n];
    return true;
}

} // namespace

bool ParseArguments(int argc, char** argv, Arguments& arguments, std::string& error)
{
    SettingRead setting = SettingRead::NotASetting;
    for (int n = 1; n < argc; ++n) {
        const std::string_view argument = argv[n];
        if (argument == "--help" || argument == "-h") {
            arguments.Help = true;
        } else if (argument == "--version") {
            arguments.Version = true;
        } else if (argument == "--summary") {
            if (!ChooseOutput(arguments, Output::Summary, argv[n], error))
                return false;
        } else if (argument == "--compare") {
            if (!ChooseOutput(arguments, Output::Compare, argv[n], error) ||
                !OutputPath(argc, argv, n, "the picture", arguments.Picture, error))
                return false;
        } else if (argument == "--sweep") {
            if (!ChooseOutput(arguments, Output::Sweep, argv[n], error) ||
                !OutputPath(argc, argv, n, "the picture (.png) or table (.csv)", arguments.Picture, error))
                return false;
        } else if (argument == "--dodge") {
            if (!ChooseOutput(arguments, Output::Dodge, argv[n], error) ||
                !OutputPath(argc, argv, n, "the table (.csv)", arguments.Picture, error))
                return false;
        } else if (argument == "--sidestep") {
            if (!FirstTime(arguments.DodgeOption != nullptr, argument, error))
                return false;
            arguments.DodgeOption = argv[n];
            if (!ReadSidestep(argc, argv, n, arguments.Sidestep, error))
                return false;
        } else if (argument == "--values") {
            if (!FirstTime(arguments.SweepOption != nullptr, argument, error))
                return false;
            arguments.SweepOption = argv[n];
            if (!ReadValues(argc, argv, n, arguments.Values, error))
                return false;
        } else if (argument == "--map" || argument == "--join-map") {
            if (!ChooseOutput(arguments, argument == "--map" ? Output::Map : Output::JoinMap, argv[n], error) ||
                !OutputPath(argc, argv, n, "the picture (.png) or table (.csv)", arguments.Picture, error))
                return false;
        } else if (argument == "--rows") {
            if (!FirstTime(arguments.Shard, argument, error))
                return false;
            if (!arguments.MapOption)
                arguments.MapOption = argv[n];
            if (!ReadRows(argc, argv, n, arguments.Rows, error))
                return false;
            arguments.Shard = true;
        } else if (const int at = n;
                   (setting = ReadMapSetting(argc, argv, n, arguments.Map, error)) != SettingRead::NotASetting) {
            if (setting == SettingRead::Bad)
                return false;
            if (!arguments.MapOption)
                arguments.MapOption = argv[at];
            arguments.StepGiven = arguments.StepGiven || std::string_view(argv[at]) == "--step";
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + Quoted(argument) + " (see --help)";
            return false;
        } else if (arguments.Writes == Output::JoinMap) {
            arguments.Shards.push_back(argv[n]);
        } else if (arguments.ScriptGiven) {
            error = "only one SCRIPT may be given, got " + Quoted(argument) + " too";
            return false;
        } else {
            arguments.Script = argv[n];
            arguments.ScriptGiven = true;
        }
    }
    const bool mapLike =
        arguments.Writes == Output::Map || arguments.Writes == Output::Sweep || arguments.Writes == Output::Dodge;
    if (arguments.MapOption && (!mapLike || (arguments.Shard && arguments.Writes != Output::Map))) {
        error = std::string(arguments.Shard && mapLike ? "--rows" : arguments.MapOption) + " is a setting of --map" +
                (arguments.Writes == Output::JoinMap ? " (a joined map takes its shards' settings)" : "");
        return false;
    }
    if (arguments.SweepOption && arguments.Writes != Output::Sweep) {
        error = std::string(arguments.SweepOption) + " is a setting of --sweep";
        return false;
    }
    if (mapLike && arguments.ScriptGiven) {
        error = std::string(arguments.WritesOption) + " takes no SCRIPT: its settings are options (see --help)";
        return false;
    }
    if (arguments.Writes == Output::Sweep && arguments.Map.Held != LaunchDraw::None) {
        error = "--hold is not a setting of --sweep: a sweep holds each draw in turn (a map holds one)";
        return false;
    }
    if (arguments.DodgeOption && arguments.Writes != Output::Dodge) {
        error = std::string(arguments.DodgeOption) + " is a setting of --dodge";
        return false;
    }
    if (arguments.Writes == Output::Dodge && (arguments.Map.Given & MotionSettingBit)) {
        error = "the marker's motion is not a setting of --dodge: its marker stands, then steps aside (--sidestep)";
        return false;
    }
    if (arguments.Writes == Output::Sweep && !arguments.StepGiven)
        arguments.Map.Step = 10;
    if (arguments.Writes == Output::Dodge && !arguments.StepGiven)
        arguments.Map.Step = 20;
    if (arguments.Writes == Output::JoinMap && arguments.Shards.empty()) {
        error = "--join-map needs the shards to join: --join-map OUT.csv SHARD.csv...";
        return false;
    }
    if (arguments.Shard) {
        const int rows = MapGridSize(arguments.Map.Step);
        if (arguments.Rows.Last >= rows) {
            error = "--rows " + std::to_string(arguments.Rows.First) + "-" + std::to_string(arguments.Rows.Last) +
                    " goes past the grid's last row, " + std::to_string(rows - 1);
            return false;
        }
        if (!std::string_view(arguments.Picture).ends_with(".csv")) {
            error = "--rows writes a shard, a table: its output must end in .csv";
            return false;
        }
    }
    return true;
}

const char* OutputName(const Arguments& arguments)
{
    if (arguments.Help)
        return "the help";
    if (arguments.Version)
        return "the version";
    switch (arguments.Writes) {
    case Output::Trace: return "the trace";
    case Output::Summary: return "the summary";
    case Output::Compare: return "the table";
    case Output::Map:
    case Output::JoinMap: return "the map";
    case Output::Sweep: return "the sweep";
    case Output::Dodge: return "the dodge window";
    }
    return "the output";
}
