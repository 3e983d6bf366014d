#include "Runner.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <fcntl.h>
#include <sys/stat.h>
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

#include "Arguments.h"
#include "CaptureMap.h"
#include "DodgeWindow.h"
#include "FloatText.h"
#include "Help.h"
#include "MapCsv.h"
#include "MapNote.h"
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

/// Runs the script's good lines in order, then reports its bad line, if any:
/// the trace of every line before a bad one is written.
int RunTrace(ScriptInput& script, const ScriptCheck& firstReading, CheckedOutput& out)
{
    Scenario scenario;
    scenario.Script = "script " + script.Name;
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
    scenario.Script = "script " + script.Name;
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

/// One line when the system refused some of the threads asked for: the
/// work went to those that started, and the result is the same.
void SayThreadsRefused(const char* what)
{
    const ThreadsRefused refused = LastThreadsRefused();
    if (refused.Asked)
        std::fprintf(stderr, "homing-sim: only %u of the %u threads asked for could start; the %s ran on %u\n",
                     refused.Started, refused.Asked, what, refused.Started);
}

/// A map's or a sweep's output, checked before anything is computed: a
/// .png, or a .csv of kind `table`; `kind` says which. Its refusal, said, and
/// the exit status of its cause; 0 when it may be written.
int CheckPictureOrTable(const std::string& path, const char* what, OutputKind table, OutputKind& kind)
{
    const bool csv = path.ends_with(".csv");
    if (!csv && !path.ends_with(".png"))
        return Fail(QuotedPath(path) + " does not end in .png or .csv: " + what +
                    " is written as a picture or a table");
    kind = csv ? table : OutputKind::Png;
    bool cannotWrite = false;
    const std::string bad = CheckPicturePath(path, kind, &cannotWrite);
    return bad.empty() ? 0 : Fail(bad, cannotWrite ? CannotWrite : BadInput);
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
    const std::string error = SaveMap(panels, MapNote(settings), path, "map " + MapSettingsText(settings));
    return error.empty() ? 0 : Fail(error, CannotWrite);
}

int RunMap(const Arguments& arguments)
{
    const std::string path = arguments.Picture;
    OutputKind kind = OutputKind::Png;
    if (const int refused = CheckPictureOrTable(path, "a map", OutputKind::MapCsv, kind))
        return refused;
    const MapRows rows = arguments.Shard ? arguments.Rows : MapRows{0, MapGridSize(arguments.Map.Step) - 1};
    MapProgress progress;
    const CaptureMap map = ::isatty(STDERR_FILENO) ? ComputeMap(arguments.Map, std::ref(progress), rows)
                                                   : ComputeMap(arguments.Map, {}, rows);
    SayThreadsRefused("map");
    if (kind == OutputKind::Png)
        return WriteMap(map, arguments.Map, {}, path, kind);
    std::string text =
        (arguments.Shard ? MapShardLine(arguments.Map, rows) : MapMadeByLine(arguments.Map)) + MapCsvHeader();
    for (int row = rows.First; row <= rows.Last; ++row)
        text += MapCsvRows(map, arguments.Map, row);
    return WriteMap(map, arguments.Map, text, path, kind);
}

/// The sweep, checked before it is computed, as a picture or a table.
int RunSweep(const Arguments& arguments)
{
    const std::string path = arguments.Picture;
    OutputKind kind = OutputKind::Png;
    if (const int refused = CheckPictureOrTable(path, "a sweep", OutputKind::SweepCsv, kind))
        return refused;
    const bool csv = kind == OutputKind::SweepCsv;
    MapProgress progress("sweep");
    const std::vector<SweepCurve> curves = ::isatty(STDERR_FILENO)
                                               ? ComputeSweep(arguments.Map, arguments.Values, std::ref(progress))
                                               : ComputeSweep(arguments.Map, arguments.Values);
    SayThreadsRefused("sweep");
    std::string error;
    if (csv) {
        error = WritePictureFile(SweepMadeByLine(arguments.Map, arguments.Values) + SweepCsv(curves), path, kind);
    } else {
        const FontApplication fonts;
        error = SaveSweep(curves,
                          MapNote(arguments.Map) + "; " + std::to_string(arguments.Values) +
                              " values of each draw, held while the others are drawn as usual",
                          path,
                          "sweep --values " + std::to_string(arguments.Values) + " " + MapSettingsText(arguments.Map));
    }
    return error.empty() ? 0 : Fail(error, CannotWrite);
}

/// The dodge window, checked before it is computed, as a table.
int RunDodge(const Arguments& arguments)
{
    const std::string path = arguments.Picture;
    if (!path.ends_with(".csv"))
        return Fail(QuotedPath(path) + " does not end in .csv: the dodge window is written as a table");
    bool cannotWrite = false;
    if (const std::string bad = CheckPicturePath(path, OutputKind::DodgeCsv, &cannotWrite); !bad.empty())
        return Fail(bad, cannotWrite ? CannotWrite : BadInput);
    MapProgress progress("dodge window");
    const std::vector<DodgeCurve> curves =
        ::isatty(STDERR_FILENO)
            ? ComputeDodgeWindow(arguments.Map, arguments.Sidestep, SteeringMode::Count, std::ref(progress))
            : ComputeDodgeWindow(arguments.Map, arguments.Sidestep);
    SayThreadsRefused("dodge window");
    const std::string error = WritePictureFile(DodgeMadeByLine(arguments.Map, arguments.Sidestep) + DodgeCsv(curves),
                                               path, OutputKind::DodgeCsv);
    return error.empty() ? 0 : Fail(error, CannotWrite);
}

/// Opening a named pipe waits for a writer: said at once, not in silence.
void SayIfNamedPipe(const char* path)
{
    struct stat status {};
    if (::stat(path, &status) == 0 && S_ISFIFO(status.st_mode))
        std::fprintf(stderr, "homing-sim: waiting for a writer of the named pipe %s\n", QuotedPath(path).c_str());
}

/// A shard's whole text; no shard of the finest grid comes near the bound.
std::string ReadWholeFile(const char* path, std::string& text)
{
    constexpr long long MostBytes = 256ll << 20;
    if (*path == '\0')
        return "cannot read a shard with an empty name";
    SayIfNamedPipe(path);
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
    if (const int refused = CheckPictureOrTable(path, "a map", OutputKind::MapCsv, kind))
        return refused;
    std::vector<std::string> names;
    std::vector<MapShard> shards;
    // The output may not be one of the shards (by any name): it would be
    // replaced by the joined map.
    struct stat out {};
    const bool outExists = ::stat(path.c_str(), &out) == 0;
    for (const char* shardPath : arguments.Shards) {
        struct stat shard {};
        if (outExists && ::stat(shardPath, &shard) == 0 && shard.st_dev == out.st_dev && shard.st_ino == out.st_ino)
            return Fail(QuotedPath(path) + " is also the shard " + QuotedPath(shardPath) +
                        ": the joined map would overwrite it");
    }
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
    // The seed is said where it matters.
    const std::uint64_t seed = FreshCheckSeed();
    if (std::string error = JoinMapShards(names, shards, csv, map, seed); !error.empty())
        return Fail(error);
    if (::isatty(STDERR_FILENO))
        std::fprintf(
            stderr,
            "homing-sim: every figure checked; up to %d places of each shard flown again, drawn with seed %llu\n",
            ShardPlacesFlownAgain + 1, static_cast<unsigned long long>(seed));
    return WriteMap(map, shards[0].Read, csv, path, kind);
}

/// Writes a whole text, such as the help, to standard output.
int WriteText(const char* text, CheckedOutput& out)
{
    return out.Write(text) && out.Flush() ? 0 : Fail(out.Error, CannotWrite);
}

/// Puts /dev/null on a closed descriptor `fd`, on that one alone (open takes
/// the lowest free one, which may be another closed standard stream).
void FillWithNull(int fd, int flags)
{
    if (::fcntl(fd, F_GETFD) >= 0)
        return;
    const int opened = ::open("/dev/null", flags);
    if (opened < 0 || opened == fd)
        return;
    ::dup2(opened, fd);
    ::close(opened);
}

/// Standard output and error must be open before any file is: a file opened
/// on a closed descriptor 1 would take the trace, or on 2 the messages. A map
/// writes nothing to standard output, so there a closed one is no fault; a
/// run that writes to a closed one fails, whatever else is closed too.
bool StandardStreamsOpen(const char* what, bool writesStandardOutput)
{
    const bool outputClosed = ::fcntl(STDOUT_FILENO, F_GETFD) < 0;
    FillWithNull(STDIN_FILENO, O_RDONLY);
    FillWithNull(STDERR_FILENO, O_WRONLY); // messages go nowhere, not into a file
    if (!outputClosed || !writesStandardOutput) {
        FillWithNull(STDOUT_FILENO, O_WRONLY);
        return true;
    }
    FillWithNull(STDOUT_FILENO, O_WRONLY); // nothing else may take descriptor 1 either
    Fail(std::string("cannot write ") + what + ": " + std::strerror(EBADF), CannotWrite);
    return false;
}

/// Maps and sweeps go to their files alone, nothing to standard output.
bool WritesFilesOnly(Output writes)
{
    return writes == Output::Map || writes == Output::JoinMap || writes == Output::Sweep || writes == Output::Dodge;
}

int Run(int argc, char** argv);

} // namespace

int RunHomingSim(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        // A memory limit (ulimit -v) met part way: said, and nothing replaced.
        return Fail("out of memory", CannotWrite);
    }
}

namespace {

int Run(int argc, char** argv)
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
        if (bool cannotWrite = false;
            !(error = CheckPicturePath(arguments.Picture, OutputKind::Png, &cannotWrite)).empty())
            return Fail(error, cannotWrite ? CannotWrite : BadInput);
    if (arguments.Writes == Output::Map)
        return RunMap(arguments);
    if (arguments.Writes == Output::JoinMap)
        return RunJoinMap(arguments);
    if (arguments.Writes == Output::Sweep)
        return RunSweep(arguments);
    if (arguments.Writes == Output::Dodge)
        return RunDodge(arguments);

    if (!arguments.ScriptGiven && ::isatty(STDIN_FILENO))
        std::fputs("homing-sim: reading a script from standard input (end it with Ctrl+D; --help describes the "
                   "language)\n",
                   stderr);
    ScriptInput script;
    if (arguments.ScriptGiven && std::strcmp(arguments.Script, "-") != 0)
        SayIfNamedPipe(arguments.Script);
    if (error = OpenScript(arguments.Script, script); !error.empty())
        return Fail(error);
    // A first reading finds any bad line (and whether trails are drawn) before
    // anything runs; the summary and the comparison then run nothing at all.
    // The comparison passes over picture lines; the trace and the summary
    // write them, so their paths are checked here too.
    ScriptCheck check;
    bool cannotWrite = false;
    error = arguments.Writes == Output::Compare ? CheckScript(script, check)
                                                : CheckRunnerScript(script, check, &cannotWrite);
    if (!error.empty())
        return Fail(error, cannotWrite ? CannotWrite : BadInput);
    if (arguments.Writes != Output::Trace && check.BadLine)
        return Fail(LineMessage(check.BadLine, check.Error));
    switch (arguments.Writes) {
    case Output::Trace: return RunTrace(script, check, out);
    case Output::Summary: return RunSummary(script, check, out);
    case Output::Compare: return RunComparison(script, arguments.Picture, out);
    case Output::Map:
    case Output::JoinMap:
    case Output::Sweep:
    case Output::Dodge: break; // run above
    }
    return 0;
}

} // namespace
