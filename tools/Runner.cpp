#include "Runner.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Scenario.h"
#include "Script.h"

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

struct Arguments {
    const char* Script = "-";
    bool Help = false;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments, std::string& error)
{
    bool haveScript = false;
    for (int n = 1; n < argc; ++n) {
        const std::string_view argument = argv[n];
        if (argument == "--help" || argument == "-h") {
            arguments.Help = true;
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

std::FILE* OpenScript(const char* path, std::string& error)
{
    if (std::strcmp(path, "-") == 0)
        return stdin;
    std::FILE* file = std::fopen(path, "r");
    if (!file)
        error = "cannot open " + std::string(path) + ": " + std::strerror(errno);
    return file;
}

/// Reads the whole script; false (with the reason) when it cannot be read.
bool ReadScript(std::FILE* in, const char* path, std::string& text, std::string& error)
{
    char chunk[1 << 14];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
        text.append(chunk, got);
    if (!std::ferror(in))
        return true;
    error = "cannot read " + std::string(path) + ": " + std::strerror(errno ? errno : EIO);
    return false;
}

/// The script's commands, each with its line number, up to its first bad line.
struct Script {
    std::vector<std::pair<long, Command>> Commands;
    long BadLine = 0; ///< 0 when every line is good
    std::string Error;

    bool Uses(CommandKind kind) const
    {
        return std::any_of(Commands.begin(), Commands.end(), [kind](const auto& c) { return c.second.Kind == kind; });
    }
};

Script ParseScript(std::string_view text)
{
    Script script;
    long number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        ++number;
        ParsedLine line = ParseLine(text.substr(at, end - at));
        if (line.Kind == ParsedLine::Status::Error) {
            script.BadLine = number;
            script.Error = std::move(line.Error);
            break;
        }
        if (line.Kind == ParsedLine::Status::Ok)
            script.Commands.emplace_back(number, std::move(line.Parsed));
        at = end + 1;
    }
    return script;
}

/// Carries out the script's good lines in order, then reports its bad line, if
/// any: the trace of every line before a bad one is written. Returns the exit status.
int RunScript(const Script& script, Scenario& scenario, TraceWriter& trace)
{
    for (const auto& [number, command] : script.Commands) {
        const std::string error = Execute(scenario, command);
        if (!error.empty()) {
            trace.Flush();
            return Fail("line " + std::to_string(number) + ": " + error);
        }
    }
    trace.Flush();
    return script.BadLine ? Fail("line " + std::to_string(script.BadLine) + ": " + script.Error) : 0;
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
    std::FILE* in = OpenScript(arguments.Script, error);
    if (!in)
        return Fail(error);
    std::string text;
    const bool read = ReadScript(in, arguments.Script, text, error);
    if (in != stdin)
        std::fclose(in);
    if (!read)
        return Fail(error);

    const Script script = ParseScript(text);
    Scenario scenario;
    StartScenario(scenario, false, script.Uses(CommandKind::Trail));
    TraceWriter trace(stdout);
    scenario.Observers.push_back(&trace);
    return RunScript(script, scenario, trace);
}
