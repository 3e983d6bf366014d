#include "Runner.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CaptureMap.h"
#include "FloatText.h"
#include "Help.h"
#include "MapCsv.h"
#include "MapSettings.h"
#include "Methods.h"
#include "Output.h"
#include "PictureFile.h"
#include "Pictures.h"
#include "Quoted.h"
#include "Scenario.h"
#include "Script.h"
#include "Study.h"
#include "Sweep.h"

namespace {

/// Exit status for output that cannot be written.
constexpr int CannotWrite = 1;

/// One line on standard error; any control character left in it is shown as
/// '?' so the message stays one line whatever the script or arguments held.
int Fail(const std::string& message, int status = BadInput)
{
    std::string line = "homing-sim: " + message;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    std::fprintf(stderr, "%s\n", line.c_str());
    return status;
}

/// Qt's own notices (about the session it runs in) are no business of a
/// command-line tool: only its fatal errors get through.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fprintf(stderr, "homing-sim: %s\n", qPrintable(message));
}

enum class Output { Trace, Summary, Compare, Map, JoinMap, Sweep };

struct Arguments {
    const char* Script = "-";
    bool ScriptGiven = false;
    Output Writes = Output::Trace;
    const char* WritesOption = nullptr; ///< the option that chose it: --summary, --compare or --map
    const char* Picture = nullptr;      ///< --compare's or --map's output
    MapSettings Map;
    const char* MapOption = nullptr;   ///< the first map setting given, for a message when --map is not
    bool StepGiven = false;            ///< --step given (a sweep's grid is --step 10 otherwise)
    int Values = 10;                   ///< --values N: a sweep's values of each parameter
    const char* SweepOption = nullptr; ///< --values, for a message when --sweep is not given
    bool Shard = false;                ///< --rows given: only those rows, as a shard
    MapRows Rows;
    std::vector<const char*> Shards; ///< --join-map's shards
    bool Help = false;
    bool Version = false;
};

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
        error = "--rows must be FIRST-LAST, two whole numbers with FIRST no more than LAST, got " + Quoted(text);
        return false;
    }
    ++n;
    return true;
}

/// --values N: a sweep's values of each parameter, 1 to 100.
bool ReadValues(int argc, char** argv, int& n, int& values, std::string& error)
{
    const std::string_view text = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), values);
    if (text.empty() || status != std::errc() || end != text.data() + text.size() || values < 1 || values > 100) {
        error = "--values must be a whole number from 1 to 100, got " + Quoted(text);
        return false;
    }
    ++n;
    return true;
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
        } else if (argument == "--values") {
            arguments.SweepOption = argv[n];
            if (!ReadValues(argc, argv, n, arguments.Values, error))
                return false;
        } else if (argument == "--map" || argument == "--join-map") {
            if (!ChooseOutput(arguments, argument == "--map" ? Output::Map : Output::JoinMap, argv[n], error) ||
                !OutputPath(argc, argv, n, "the picture (.png) or table (.csv)", arguments.Picture, error))
                return false;
        } else if (argument == "--rows") {
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
    const bool mapLike = arguments.Writes == Output::Map || arguments.Writes == Output::Sweep;
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
    if (arguments.Writes == Output::Sweep && !arguments.StepGiven)
        arguments.Map.Step = 10;
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

/// Runs the script's good lines in order, then reports its bad line, if any:
/// the trace of every line before a bad one is written.
int RunTrace(ScriptInput& script, const ScriptCheck& firstReading, CheckedOutput& out)
{
    Scenario scenario;
    StartScenario(scenario, false, firstReading.UsesTrail);
    scenario.Sim.Out = &out;
    TraceWriter trace(out);
    scenario.Sim.Observers.Add(&trace);
    ScriptCheck check;
    const std::string error =
        RunScript(script, check, &out, [&](const Command& command) { return Execute(scenario, command); });
    if (!trace.Flush())
        return Fail(out.Error, CannotWrite);
    if (!error.empty())
        return Fail(error, scenario.PictureFailed ? CannotWrite : BadInput);
    return check.BadLine ? Fail(LineMessage(check.BadLine, check.Error)) : 0;
}

int RunSummary(ScriptInput& script, const ScriptCheck& firstReading, CheckedOutput& out)
{
    Scenario scenario;
    StartScenario(scenario, true, firstReading.UsesTrail);
    scenario.Sim.Out = &out;
    SummaryWriter summary(out);
    scenario.History->Sinks.push_back(&summary);
    ScriptCheck check;
    const std::string error =
        RunScript(script, check, &out, [&](const Command& command) { return Execute(scenario, command); });
    if (error.empty())
        scenario.History->Finish(scenario.Sim.World);
    if (out.Failed() || !out.Flush())
        return Fail(out.Error, CannotWrite);
    return error.empty() ? 0 : Fail(error, scenario.PictureFailed ? CannotWrite : BadInput);
}

/// Text in pictures needs a font database, which needs an application; no
/// window is shown. Says so when no font shows the Japanese captions.
struct FontApplication {
    int Argc = 1;
    char Name[11] = "homing-sim";
    char* Argv[2] = {Name, nullptr};
    std::unique_ptr<QGuiApplication> Application;

    FontApplication()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQt);
        Application = std::make_unique<QGuiApplication>(Argc, Argv);
        std::setlocale(LC_NUMERIC, "C"); // Qt took the user's; every number is read and printed one way
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            std::fputs("homing-sim: no installed font shows the Japanese captions; install fonts-ipafont-gothic (or "
                       "another Japanese font)\n",
                       stderr);
    }
};

int RunComparison(ScriptInput& script, const char* picture, CheckedOutput& out)
{
    const FontApplication fonts;
    PseudoRandom clock;
    SeedRandom(clock); // one seed for every method's run, so they draw the same values
    bool pictureFailed = false;
    const std::string error = CompareMethods(script, clock.State, picture, out, pictureFailed);
    if (out.Failed() || !out.Flush())
        return Fail(out.Error, CannotWrite);
    return error.empty() ? 0 : Fail(error, pictureFailed ? CannotWrite : BadInput);
}

/// A line on a terminal's standard error, rewritten as the map is made.
struct MapProgress {
    const char* What = "map";
    std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now(), Shown = Start;
    explicit MapProgress(const char* what = "map") : What(what) {}
    void operator()(double done)
    {
        const auto now = std::chrono::steady_clock::now();
        if (done < 1 && now - Shown < std::chrono::milliseconds(250))
            return;
        Shown = now;
        const double seconds = std::chrono::duration<double>(now - Start).count();
        const double left = done > 0 ? seconds * (1 - done) / done : 0;
        std::fprintf(stderr, "\rhoming-sim: %s %3.0f %%, about %.0f s left  %s", What, 100 * done, left,
                     done >= 1 ? "\n" : "");
    }
};

std::string MapNote(const MapSettings& map)
{
    std::string note = std::to_string(map.Shots) + (map.Shots == 1 ? " shot" : " shots") + " a place, every " +
                       (map.Step == 1 ? std::string("pixel") : std::to_string(map.Step) + " pixels") + "; ";
    std::string draw;
    AppendFloat(draw, map.Draw);
    note +=
        map.FixedDraws ? "every random draw " + draw : "each shot's own random draws, seed " + std::to_string(map.Seed);
    note += map.Limit ? "; speed limit on" : "; speed limit off";
    const auto number = [](float value) {
        std::string text;
        AppendFloat(text, value);
        return text;
    };
    switch (map.Motion) {
    case MarkerMotion::Line:
        if (map.MarkerVX != 0 || map.MarkerVY != 0)
            note += "; the marker moving (" + number(map.MarkerVX) + ", " + number(map.MarkerVY) +
                    ") pixels a frame from its place";
        break;
    case MarkerMotion::Circle:
        note += "; the marker circling its place, radius " + number(map.MotionSize) + " pixels, once in " +
                number(map.MotionPeriod) + " frames";
        break;
    case MarkerMotion::Weave:
        note += "; the marker weaving across the way from the launcher, " + number(map.MotionSize) +
                " pixels either side, once in " + number(map.MotionPeriod) + " frames";
        break;
    case MarkerMotion::Flee:
        note += "; the marker fleeing from the launcher at " + number(map.MotionSize) + " pixels a frame";
        break;
    }
    return note;
}

/// A map's or a sweep's output, checked before anything is computed: a
/// .png, or a .csv of kind `table`; `kind` says which.
std::string CheckPictureOrTable(const std::string& path, const char* what, OutputKind table, OutputKind& kind)
{
    const bool csv = path.ends_with(".csv");
    if (!csv && !path.ends_with(".png"))
        return QuotedPath(path) + " does not end in .png or .csv: " + what + " is written as a picture or a table";
    kind = csv ? table : OutputKind::Png;
    return CheckPicturePath(path, kind);
}

/// Writes a whole map as its CSV `text` or as the picture of its figures.
int WriteMap(const CaptureMap& map, const MapSettings& settings, const std::string& text, const std::string& path,
             OutputKind kind)
{
    if (kind == OutputKind::MapCsv) {
        const std::string error = WritePictureFile(text, path, kind);
        return error.empty() ? 0 : Fail(error, CannotWrite);
    }
    const FontApplication fonts;
    ComparePanels panels;
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        const auto steering = static_cast<SteeringMode>(mode);
        panels[std::size_t(mode)] = {Methods[std::size_t(mode)].Caption, Methods[std::size_t(mode)].Name,
                                     "at least half caught at " + std::to_string(MostlyCaughtPercent(map, steering)) +
                                         " % of places",
                                     MapPanel(map, settings, steering)};
    }
    const std::string error = SaveMap(panels, MapNote(settings), path);
    return error.empty() ? 0 : Fail(error, CannotWrite);
}

int RunMap(const Arguments& arguments)
{
    const std::string path = arguments.Picture;
    OutputKind kind = OutputKind::Png;
    if (std::string bad = CheckPictureOrTable(path, "a map", OutputKind::MapCsv, kind); !bad.empty())
        return Fail(bad);
    const MapRows rows = arguments.Shard ? arguments.Rows : MapRows{0, MapGridSize(arguments.Map.Step) - 1};
    MapProgress progress;
    const CaptureMap map = ::isatty(STDERR_FILENO) ? ComputeMap(arguments.Map, std::ref(progress), rows)
                                                   : ComputeMap(arguments.Map, {}, rows);
    if (kind == OutputKind::Png)
        return WriteMap(map, arguments.Map, {}, path, kind);
    std::string text = arguments.Shard ? MapShardLine(arguments.Map, rows) + MapCsvHeader() : MapCsvHeader();
    for (int row = rows.First; row <= rows.Last; ++row)
        text += MapCsvRows(map, arguments.Map, row);
    return WriteMap(map, arguments.Map, text, path, kind);
}

/// The sweep, checked before it is computed, as a picture or a table.
int RunSweep(const Arguments& arguments)
{
    const std::string path = arguments.Picture;
    OutputKind kind = OutputKind::Png;
    if (std::string bad = CheckPictureOrTable(path, "a sweep", OutputKind::SweepCsv, kind); !bad.empty())
        return Fail(bad);
    const bool csv = kind == OutputKind::SweepCsv;
    MapProgress progress("sweep");
    const std::vector<SweepCurve> curves = ::isatty(STDERR_FILENO)
                                               ? ComputeSweep(arguments.Map, arguments.Values, std::ref(progress))
                                               : ComputeSweep(arguments.Map, arguments.Values);
    std::string error;
    if (csv) {
        error = WritePictureFile(SweepCsv(curves), path, kind);
    } else {
        const FontApplication fonts;
        error = SaveSweep(curves,
                          MapNote(arguments.Map) + "; " + std::to_string(arguments.Values) +
                              " values of each draw, held while the others are drawn as usual",
                          path);
    }
    return error.empty() ? 0 : Fail(error, CannotWrite);
}

/// A shard's whole text; no shard of the finest grid comes near the bound.
std::string ReadWholeFile(const char* path, std::string& text)
{
    constexpr long long MostBytes = 256ll << 20;
    if (*path == '\0')
        return "cannot read a shard with an empty name";
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return "cannot read " + QuotedPath(path) + ": " + std::strerror(errno);
    char block[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 && (long long)(text.size() + got) <= MostBytes)
        text.append(block, got);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed)
        return "cannot read " + QuotedPath(path) + ": " + std::strerror(error);
    if (got > 0)
        return QuotedPath(path) + " holds more than " + std::to_string(MostBytes >> 20) + " MiB: it is not a shard";
    return {};
}

/// Reads every shard whole, checks that they agree and cover the grid once,
/// then writes the map they make, byte for byte the map one run makes.
int RunJoinMap(const Arguments& arguments)
{
    const std::string path = arguments.Picture;
    OutputKind kind = OutputKind::Png;
    if (std::string bad = CheckPictureOrTable(path, "a map", OutputKind::MapCsv, kind); !bad.empty())
        return Fail(bad);
    std::vector<std::string> names;
    std::vector<MapShard> shards;
    for (const char* shardPath : arguments.Shards) {
        names.push_back(QuotedPath(shardPath));
        std::string text;
        if (std::string error = ReadWholeFile(shardPath, text); !error.empty())
            return Fail(error);
        shards.emplace_back();
        if (std::string error = ReadMapShard(text, shards.back()); !error.empty())
            return Fail(names.back() + ": " + error);
    }
    std::string csv;
    CaptureMap map;
    if (std::string error = JoinMapShards(names, shards, csv, map); !error.empty())
        return Fail(error);
    return WriteMap(map, shards[0].Read, csv, path, kind);
}

/// Writes a whole text, such as the help, to standard output.
int WriteText(const char* text, CheckedOutput& out)
{
    return out.Write(text) && out.Flush() ? 0 : Fail(out.Error, CannotWrite);
}

/// Standard output and error must be open before any file is: a file opened
/// on a closed descriptor 1 would take the trace, or on 2 the messages. A map
/// writes nothing to standard output, so there a closed one is no fault.
bool StandardStreamsOpen(const char* what, bool writesStandardOutput)
{
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0)
        ::open("/dev/null", O_RDONLY);
    if (::fcntl(STDOUT_FILENO, F_GETFD) < 0 && !writesStandardOutput)
        ::open("/dev/null", O_WRONLY);
    if (::fcntl(STDERR_FILENO, F_GETFD) < 0)
        ::open("/dev/null", O_WRONLY); // takes descriptor 2: messages go nowhere, not into a file
    if (::fcntl(STDOUT_FILENO, F_GETFD) >= 0)
        return true;
    Fail(std::string("cannot write ") + what + ": " + std::strerror(EBADF), CannotWrite);
    return false;
}

/// Maps and sweeps go to their files alone, nothing to standard output.
bool WritesFilesOnly(Output writes)
{
    return writes == Output::Map || writes == Output::JoinMap || writes == Output::Sweep;
}

const char* OutputName(const Arguments& arguments)
{
    if (arguments.Help || arguments.Version)
        return "the help";
    switch (arguments.Writes) {
    case Output::Trace: return "the trace";
    case Output::Summary: return "the summary";
    case Output::Compare: return "the table";
    case Output::Map:
    case Output::JoinMap: return "the map";
    case Output::Sweep: return "the sweep";
    }
    return "the output";
}

} // namespace

int RunHomingSim(int argc, char** argv)
{
    // Past a file-size limit a write fails with "File too large", reported
    // like any failed write, instead of the process dying mid-file.
    std::signal(SIGXFSZ, SIG_IGN);
    Arguments arguments;
    std::string error;
    if (!ParseArguments(argc, argv, arguments, error))
        return Fail(error);
    const bool writesStandardOutput = arguments.Help || arguments.Version || !WritesFilesOnly(arguments.Writes);
    if (!StandardStreamsOpen(OutputName(arguments), writesStandardOutput))
        return CannotWrite;
    CheckedOutput out(stdout, OutputName(arguments));
    if (arguments.Help)
        return WriteText(RunnerHelp().c_str(), out);
    if (arguments.Version)
        return WriteText("homing-sim " HOMING_VERSION "\n", out);
    if (arguments.Writes == Output::Compare)
        if (std::string bad = CheckPicturePath(arguments.Picture); !bad.empty())
            return Fail(bad);
    if (arguments.Writes == Output::Map)
        return RunMap(arguments);
    if (arguments.Writes == Output::JoinMap)
        return RunJoinMap(arguments);
    if (arguments.Writes == Output::Sweep)
        return RunSweep(arguments);

    if (!arguments.ScriptGiven && ::isatty(STDIN_FILENO))
        std::fputs("homing-sim: reading a script from standard input (end it with Ctrl+D; --help describes the "
                   "language)\n",
                   stderr);
    ScriptInput script;
    if (error = OpenScript(arguments.Script, script); !error.empty())
        return Fail(error);
    // A first reading finds any bad line (and whether trails are drawn) before
    // anything runs; the summary and the comparison then run nothing at all.
    // The comparison passes over picture lines; the trace and the summary
    // write them, so their paths are checked here too.
    ScriptCheck check;
    error = arguments.Writes == Output::Compare ? CheckScript(script, check) : CheckRunnerScript(script, check);
    if (!error.empty())
        return Fail(error);
    if (arguments.Writes != Output::Trace && check.BadLine)
        return Fail(LineMessage(check.BadLine, check.Error));
    switch (arguments.Writes) {
    case Output::Trace: return RunTrace(script, check, out);
    case Output::Summary: return RunSummary(script, check, out);
    case Output::Compare: return RunComparison(script, arguments.Picture, out);
    case Output::Map:
    case Output::JoinMap:
    case Output::Sweep: break; // run above
    }
    return 0;
}
