#include "Runner.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "Output.h"
#include "Pictures.h"
#include "Scenario.h"
#include "Script.h"
#include "Study.h"

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

enum class Output { Trace, Summary, Compare };

struct Arguments {
    const char* Script = "-";
    bool ScriptGiven = false;
    Output Writes = Output::Trace;
    const char* Picture = nullptr; ///< --compare's output
    bool Help = false;
    bool Version = false;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments, std::string& error)
{
    for (int n = 1; n < argc; ++n) {
        const std::string_view argument = argv[n];
        if (argument == "--help" || argument == "-h") {
            arguments.Help = true;
        } else if (argument == "--version") {
            arguments.Version = true;
        } else if (argument == "--summary" || argument == "--compare") {
            if (arguments.Writes != Output::Trace) {
                error = "--summary and --compare cannot be combined";
                return false;
            }
            arguments.Writes = argument == "--summary" ? Output::Summary : Output::Compare;
            if (arguments.Writes == Output::Compare) {
                if (n + 1 >= argc || argv[n + 1][0] == '\0' || argv[n + 1][0] == '-') {
                    error = "--compare needs the path of the picture to write";
                    return false;
                }
                arguments.Picture = argv[++n];
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + Quoted(argument) + " (see --help)";
            return false;
        } else if (arguments.ScriptGiven) {
            error = "only one SCRIPT may be given, got " + Quoted(argument) + " too";
            return false;
        } else {
            arguments.Script = argv[n];
            arguments.ScriptGiven = true;
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
        return Fail(error);
    return check.BadLine ? Fail(LineMessage(check.BadLine, check.Error)) : 0;
}

int RunSummary(ScriptInput& script, CheckedOutput& out)
{
    Scenario scenario;
    StartScenario(scenario, true, false);
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
    return error.empty() ? 0 : Fail(error);
}

int RunComparison(ScriptInput& script, const char* picture, CheckedOutput& out)
{
    // Text needs a font database, which needs an application; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQt);
    int argc = 1;
    char name[] = "homing-sim";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        std::fputs("homing-sim: no installed font shows the Japanese captions; install fonts-ipafont-gothic (or "
                   "another Japanese font)\n",
                   stderr);
    PseudoRandom clock;
    SeedRandom(clock); // one seed for all six runs, so they draw the same values
    const std::string error = CompareMethods(script, clock.State, picture, out);
    if (out.Failed() || !out.Flush())
        return Fail(out.Error, CannotWrite);
    return error.empty() ? 0 : Fail(error);
}

/// Writes a whole text, such as the help, to standard output.
int WriteText(const char* text, CheckedOutput& out)
{
    return out.Write(text) && out.Flush() ? 0 : Fail(out.Error, CannotWrite);
}

/// Standard output and error must be open before any file is: a file opened
/// on a closed descriptor 1 would take the trace, or on 2 the messages.
bool StandardStreamsOpen(const char* what)
{
    if (::fcntl(STDERR_FILENO, F_GETFD) < 0)
        ::open("/dev/null", O_WRONLY); // takes descriptor 2: messages go nowhere, not into a file
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0)
        ::open("/dev/null", O_RDONLY);
    if (::fcntl(STDOUT_FILENO, F_GETFD) >= 0)
        return true;
    Fail(std::string("cannot write ") + what + ": " + std::strerror(EBADF), CannotWrite);
    return false;
}

const char* OutputName(const Arguments& arguments)
{
    if (arguments.Help || arguments.Version)
        return "the help";
    switch (arguments.Writes) {
    case Output::Trace: return "the trace";
    case Output::Summary: return "the summary";
    case Output::Compare: return "the table";
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
    if (!StandardStreamsOpen(OutputName(arguments)))
        return CannotWrite;
    CheckedOutput out(stdout, OutputName(arguments));
    if (arguments.Help)
        return WriteText(ScriptHelp, out);
    if (arguments.Version)
        return WriteText("homing-sim " HOMING_VERSION "\n", out);
    if (arguments.Writes == Output::Compare)
        if (std::string bad = CheckPicturePath(arguments.Picture); !bad.empty())
            return Fail(bad);

    if (!arguments.ScriptGiven && ::isatty(STDIN_FILENO))
        std::fputs("homing-sim: reading a script from standard input (end it with Ctrl+D; --help describes the "
                   "language)\n",
                   stderr);
    ScriptInput script;
    if (error = OpenScript(arguments.Script, script); !error.empty())
        return Fail(error);
    // A first reading finds any bad line (and whether trails are drawn) before
    // anything runs; the summary and the comparison then run nothing at all.
    ScriptCheck check;
    if (error = CheckScript(script, check); !error.empty())
        return Fail(error);
    if (arguments.Writes != Output::Trace && check.BadLine)
        return Fail(LineMessage(check.BadLine, check.Error));
    switch (arguments.Writes) {
    case Output::Trace: return RunTrace(script, check, out);
    case Output::Summary: return RunSummary(script, out);
    case Output::Compare: return RunComparison(script, arguments.Picture, out);
    }
    return 0;
}
