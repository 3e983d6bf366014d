#include "Runner.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

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

/// Reads and carries out the script line by line, so the trace of every line
/// before a bad one is written. Returns the exit status.
int RunScript(std::FILE* in, const char* path, Scenario& scenario, TraceWriter& trace)
{
    char* text = nullptr;
    std::size_t capacity = 0;
    int status = 0;
    for (long number = 1;; ++number) {
        errno = 0;
        const ssize_t length = getline(&text, &capacity, in);
        if (length < 0) {
            if (std::ferror(in)) {
                trace.Flush();
                status = Fail("cannot read " + std::string(path) + ": " + std::strerror(errno ? errno : EIO));
            }
            break;
        }
        const ParsedLine line = ParseLine(std::string_view(text, static_cast<std::size_t>(length)));
        std::string error = line.Kind == ParsedLine::Status::Error ? line.Error
                            : line.Kind == ParsedLine::Status::Ok ? Execute(scenario, line.Parsed)
                                                                     : std::string();
        if (!error.empty()) {
            trace.Flush();
            status = Fail("line " + std::to_string(number) + ": " + error);
            break;
        }
    }
    std::free(text);
    return status;
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

    Scenario scenario;
    StartScenario(scenario);
    TraceWriter trace(stdout);
    scenario.Observers.push_back(&trace);
    const int status = RunScript(in, arguments.Script, scenario, trace);
    if (in != stdin)
        std::fclose(in);
    return status;
}
