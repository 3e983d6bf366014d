#pragma once
// homing-sim's command line: what it asks for, read and checked as a whole
// before anything runs.

#include <string>
#include <vector>

#include "DodgeWindow.h"
#include "MapCsv.h"
#include "MapSettings.h"

enum class Output { Trace, Summary, Compare, Map, JoinMap, Sweep, Dodge };

struct Arguments {
    const char* Script = "-";
    bool ScriptGiven = false;
    Output Writes = Output::Trace;
    const char* WritesOption = nullptr; ///< the option that chose it: --summary, --compare or --map
    const char* Picture = nullptr;      ///< --compare's or --map's output
    MapSettings Map;
    const char* MapOption = nullptr;   ///< the first map setting given, for a message when --map is not
    bool StepGiven = false;            ///< --step given (a sweep's grid is --step 10, a dodge window's 20, otherwise)
    int Values = 10;                   ///< --values N: a sweep's values of each parameter
    const char* SweepOption = nullptr; ///< --values, for a message when --sweep is not given
    float Sidestep = DefaultSidestep;  ///< --sidestep SPEED: the dodge window's, pixels a frame
    const char* DodgeOption = nullptr; ///< --sidestep, for a message when --dodge is not given
    bool Shard = false;                ///< --rows given: only those rows, as a shard
    MapRows Rows;
    std::vector<const char*> Shards; ///< --join-map's shards
    bool Help = false;
    bool Version = false;
};

/// Reads the whole command line into `arguments`; false with `error` (one
/// line) when an argument is bad or the arguments do not go together.
bool ParseArguments(int argc, char** argv, Arguments& arguments, std::string& error);

/// What the run writes, as its messages name it: "the trace", "the map", ...
const char* OutputName(const Arguments& arguments);
