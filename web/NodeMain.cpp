// homing-sim for Node (the web build): the runner's trace, from the same
// script reader, world and trace writer as the native one, without pictures
// (png and trail lines are passed over) and without --summary or --compare;
// and a capture map's CSV, from the same map code the page computes with.

#include <cstdio>
#include <cstring>
#include <string>

#include "CaptureMap.h"
#include "MapCsv.h"
#include "MapSettings.h"
#include "Output.h"
#include "ScriptReader.h"
#include "ScriptWorld.h"

namespace {

int Fail(const std::string& message, int status = 2)
{
    std::fprintf(stderr, "homing-sim: %s\n", message.c_str());
    return status;
}

/// homing-sim.js --map - [MAP SETTINGS]: the map's CSV on standard output,
/// byte for byte what the native --map OUT.csv writes (one thread here).
int WriteMap(int argc, char** argv)
{
    MapSettings settings;
    std::string error;
    for (int n = 3; n < argc; ++n)
        if (ReadMapSetting(argc, argv, n, settings, error) != SettingRead::Read)
            return Fail(error.empty() ? "not a map setting: " + std::string(argv[n]) : error);
    settings.Threads = 1;
    const CaptureMap map = ComputeMap(settings);
    CheckedOutput out(stdout, "the map");
    out.Write(MapMadeByLine(settings) + MapCsvHeader());
    for (int row = 0; row < map.Rows; ++row)
        out.Write(MapCsvRows(map, settings, row));
    return out.Flush() ? 0 : Fail(out.Error, 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--map") == 0 && std::strcmp(argv[2], "-") == 0)
        return WriteMap(argc, argv);
    if (argc > 2 || (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0'))
        return Fail("usage: homing-sim.js [SCRIPT] | --map - [MAP SETTINGS] (pictures need the native homing-sim)");
    ScriptInput script;
    if (std::string error = OpenScript(argc == 2 ? argv[1] : "-", script); !error.empty())
        return Fail(error);
    CheckedOutput out(stdout, "the trace");
    ScriptCheck check;
    const std::string error = TraceScript(script, check, out);
    if (out.Failed())
        return Fail(out.Error, 1);
    if (!error.empty())
        return Fail(error);
    return check.BadLine ? Fail(LineMessage(check.BadLine, check.Error)) : 0;
}
