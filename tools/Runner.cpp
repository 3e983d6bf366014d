#include "Runner.h"

#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "Scenario.h"
#include "Script.h"
#include "Study.h"

namespace {

/// One line on standard error; control characters are shown as '?' so the
/// message stays one readable line whatever the script held.
int Fail(const std::string& message)
{
    std::string line = "homing-sim: " + message;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    std::fprintf(stderr, "%s\n", line.c_str());
    return BadInput;
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
    Output Writes = Output::Trace;
    const char* Picture = nullptr; ///< --compare's output
    bool Help = false;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments, std::string& error)
{
    bool haveScript = false;
    for (int n = 1; n < argc; ++n) {
        const std::string_view argument = argv[n];
        if (argument == "--help" || argument == "-h") {
            arguments.Help = true;
        } else if (argument == "--summary" || argument == "--compare") {
            if (arguments.Writes != Output::Trace) {
                error = "--summary and --compare cannot be combined";
                return false;
            }
            arguments.Writes = argument == "--summary" ? Output::Summary : Output::Compare;
            if (arguments.Writes == Output::Compare) {
                if (n + 1 >= argc || argv[n + 1][0] == '\0') {
                    error = "--compare needs the path of the picture to write";
                    return false;
                }
                arguments.Picture = argv[++n];
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + std::string(argument) + " (see --help)";
            return false;
        } else if (haveScript) {
            error = "only one SCRIPT may be given, got " + std::string(argument) + " too";
            return false;
        } else {
            arguments.Script = argv[n];
            haveScript = true;
        }
    }
    return true;
}

/// Reads the whole script from a file, or standard input for "-".
bool ReadScript(const char* path, std::string& text, std::string& error)
{
    const bool standardInput = std::strcmp(path, "-") == 0;
    std::FILE* in = standardInput ? stdin : std::fopen(path, "r");
    if (!in) {
        error = "cannot open " + std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    char chunk[1 << 14];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
        text.append(chunk, got);
    const bool failed = std::ferror(in);
    const int reason = errno ? errno : EIO;
    if (!standardInput)
        std::fclose(in);
    if (failed)
        error = "cannot read " + std::string(path) + ": " + std::strerror(reason);
    return !failed;
}

std::string LineError(long number, const std::string& error) { return "line " + std::to_string(number) + ": " + error; }

/// Carries out the script's good lines in order, then reports its bad line, if
/// any: the trace of every line before a bad one is written.
int RunTrace(const Script& script)
{
    Scenario scenario;
    StartScenario(scenario, false, script.Uses(CommandKind::Trail));
    TraceWriter trace(stdout);
    scenario.Observers.push_back(&trace);
    for (const auto& [number, command] : script.Commands) {
        const std::string error = Execute(scenario, command);
        if (!error.empty()) {
            trace.Flush();
            return Fail(LineError(number, error));
        }
    }
    trace.Flush();
    return script.BadLine ? Fail(LineError(script.BadLine, script.Error)) : 0;
}

int RunSummary(const Script& script)
{
    Scenario scenario;
    StartScenario(scenario, true, script.Uses(CommandKind::Trail));
    for (const auto& [number, command] : script.Commands)
        if (const std::string error = Execute(scenario, command); !error.empty())
            return Fail(LineError(number, error));
    scenario.History->Settle(scenario.World);
    WriteSummary(*scenario.History, stdout);
    return 0;
}

int RunComparison(const Script& script, const char* picture)
{
    // Text needs a font database, which needs an application; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQt);
    int argc = 1;
    char name[] = "homing-sim";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    PseudoRandom clock;
    SeedRandom(clock); // one seed for all six runs, so they draw the same values
    const std::string error = CompareMethods(script, clock.State, picture, stdout);
    return error.empty() ? 0 : Fail(error);
}

} // namespace

int RunHomingSim(int argc, char** argv)
{
    Arguments arguments;
    std::string error;
    if (!ParseArguments(argc, argv, arguments, error))
        return Fail(error);
    if (arguments.Help) {
        std::fputs(ScriptHelp, stdout);
        return 0;
    }
    std::string text;
    if (!ReadScript(arguments.Script, text, error))
        return Fail(error);
    const Script script = ParseScript(text);
    switch (arguments.Writes) {
    case Output::Trace: return RunTrace(script);
    case Output::Summary:
    case Output::Compare:
        // These write only at the end: a bad script runs nothing.
        if (script.BadLine)
            return Fail(LineError(script.BadLine, script.Error));
        return arguments.Writes == Output::Summary ? RunSummary(script) : RunComparison(script, arguments.Picture);
    }
    return 0;
}
