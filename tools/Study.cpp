#include "Study.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "Input.h"
#include "ModeCaptions.h"
#include "Pictures.h"
#include "Scenario.h"

namespace {

std::string FloatText(float value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

/// One scenario run to its end under one mode, with every shot's history.
struct MethodRun {
    Scenario Run;
    MethodFigures Numbers;
};

} // namespace

std::string RunMethod(const Script& script, std::uint64_t seed, SteeringMode mode, Scenario& run)
{
    StartScenario(run, true, true);
    SeedRandom(run.Random.Generator, seed);
    SelectMode(run.World, mode);
    for (const auto& [number, command] : script.Commands) {
        if (command.Kind == CommandKind::Mode || command.Kind == CommandKind::Png || command.Kind == CommandKind::Trail)
            continue;
        if (std::string error = Execute(run, command); !error.empty())
            return "line " + std::to_string(number) + ": " + error;
    }
    run.History->Settle(run.World);
    return {};
}

std::string MedianText(const MethodFigures& figures)
{
    if (!figures.MedianFramesToCatch)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%g", *figures.MedianFramesToCatch);
    return text;
}

namespace {

std::string FiguresLine(const MethodFigures& figures)
{
    return std::to_string(figures.Launched) + " launched, " + std::to_string(figures.Caught) + " caught, " +
           std::to_string(figures.Expired) + " expired\nmedian frames to catch: " + MedianText(figures);
}

} // namespace

void WriteSummary(const ShotHistory& history, std::FILE* out)
{
    std::fputs("shot,slot,mode,launch_frame,end_frame,outcome,frames,path_length,closest,max_turn,circled,speed,angle,"
               "turn\n",
               out);
    for (std::size_t n = 0; n < history.Shots.size(); ++n) {
        const ShotRecord& shot = history.Shots[n];
        std::fprintf(out, "%zu,%d,%d,%d,%d,%s,%lld,%.3f,%.3f,%.3f,%s,%s,%s,%s\n", n, shot.Slot, int(shot.Mode),
                     shot.LaunchFrame, shot.EndFrame, OutcomeName(shot.Outcome), static_cast<long long>(shot.Frames),
                     shot.PathLength, shot.Closest, shot.MaxTurn, shot.Circled ? "yes" : "no",
                     FloatText(shot.Speed).c_str(), FloatText(shot.Angle).c_str(), FloatText(shot.Turn).c_str());
    }
}

MethodFigures Figures(const ShotHistory& history)
{
    MethodFigures figures;
    std::vector<std::int64_t> toCatch;
    for (const ShotRecord& shot : history.Shots) {
        ++figures.Launched;
        if (shot.Outcome == ShotOutcome::Hit) {
            ++figures.Caught;
            toCatch.push_back(shot.Frames);
        }
        figures.Expired += shot.Outcome == ShotOutcome::Expired;
    }
    if (!toCatch.empty()) {
        std::sort(toCatch.begin(), toCatch.end());
        const std::size_t middle = toCatch.size() / 2;
        figures.MedianFramesToCatch =
            toCatch.size() % 2 ? double(toCatch[middle]) : (double(toCatch[middle - 1]) + double(toCatch[middle])) / 2;
    }
    return figures;
}

std::string CompareMethods(const Script& script, std::uint64_t seed, const std::string& picturePath, std::FILE* out)
{
    std::array<MethodRun, SteeringModeCount> methods;
    std::array<ComparePanel, SteeringModeCount> panels;
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        MethodRun& method = methods[std::size_t(mode)];
        if (std::string error = RunMethod(script, seed, static_cast<SteeringMode>(mode), method.Run); !error.empty())
            return error;
        method.Numbers = Figures(*method.Run.History);
        panels[std::size_t(mode)] = {ModeCaptions[std::size_t(mode)], FiguresLine(method.Numbers), &method.Run.World,
                                     &method.Run.Sheet, method.Run.History.get()};
    }
    if (std::string error = SaveComparison(panels, picturePath); !error.empty())
        return error;

    std::fprintf(out, "%-4s  %-27s  %8s  %6s  %7s  %s\n", "mode", "method", "launched", "caught", "expired",
                 "median frames to catch");
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        const MethodFigures& figures = methods[std::size_t(mode)].Numbers;
        std::fprintf(out, "%-4d  %-27s  %8d  %6d  %7d  %s\n", mode, ModeNames[std::size_t(mode)], figures.Launched,
                     figures.Caught, figures.Expired, MedianText(figures).c_str());
    }
    return {};
}
