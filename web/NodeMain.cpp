// homing-sim for Node (the web build): the runner's trace, from the same
// script reader, world and trace writer as the native one, without pictures
// (png and trail lines are passed over) and without --summary or --compare.

#include <cstdio>
#include <cstring>
#include <string>

#include "Output.h"
#include "ScriptReader.h"
#include "ScriptWorld.h"
#include "TraceWriter.h"

namespace {

int Fail(const std::string& message, int status = 2)
{
    std::fprintf(stderr, "homing-sim: %s\n", message.c_str());
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0'))
        return Fail("usage: homing-sim.js [SCRIPT] (the trace only; pictures need the native homing-sim)");
    ScriptInput script;
    if (std::string error = OpenScript(argc == 2 ? argv[1] : "-", script); !error.empty())
        return Fail(error);
    CheckedOutput out(stdout, "the trace");
    ScriptWorld sim;
    StartWorld(sim);
    sim.Out = &out;
    TraceWriter trace(out);
    sim.Observers.Add(&trace);
    ScriptCheck check;
    const std::string error = RunScript(script, check, &out, [&](const Command& command) {
        if (command.Kind == CommandKind::Png || command.Kind == CommandKind::Trail)
            return std::string(); // pictures need the native runner
        return RunCommand(sim, command);
    });
    if (!trace.Flush())
        return Fail(out.Error, 1);
    if (!error.empty())
        return Fail(error);
    return check.BadLine ? Fail(LineMessage(check.BadLine, check.Error)) : 0;
}
