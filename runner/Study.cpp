#include "Study.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "FloatText.h"
#include "Methods.h"
#include "Pictures.h"

namespace {

std::string SummaryRow(const ShotRecord& shot)
{
    char figures[160];
    std::snprintf(figures, sizeof figures, "%llu,%d,%d,%d,%d,%s,%lld,%.3f,%.3f,%.3f,%s,",
                  static_cast<unsigned long long>(shot.Index), shot.Slot, int(shot.Mode), shot.LaunchFrame,
                  shot.EndFrame, OutcomeName(shot.Outcome), static_cast<long long>(shot.Frames), shot.PathLength,
                  shot.Closest, shot.MaxTurn, shot.Circled ? "yes" : "no");
    char mean[32];
    std::snprintf(mean, sizeof mean, ",%.3f\n", shot.MeanTurn());
    return figures + FloatText(shot.Speed) + ',' + FloatText(shot.Angle) + ',' + FloatText(shot.Turn) + mean;
}

} // namespace

SummaryWriter::SummaryWriter(CheckedOutput& out) : Out(out)
{
    Out.Write("shot,slot,mode,launch_frame,end_frame,outcome,frames,path_length,closest,max_turn,circled,speed,angle,"
              "turn,mean_turn\n");
}

void SummaryWriter::OnShotEnded(const ShotRecord& shot)
{
    Ended.emplace(shot.Index, SummaryRow(shot));
    for (auto first = Ended.begin(); first != Ended.end() && first->first == Next; first = Ended.erase(first), ++Next)
        Out.Write(first->second);
}

void FigureCounter::OnShotEnded(const ShotRecord& shot)
{
    ++Counts.Launched;
    Counts.Caught += shot.Outcome == ShotOutcome::Hit;
    Counts.Expired += shot.Outcome == ShotOutcome::Expired;
    Counts.Flying += shot.Outcome == ShotOutcome::Flying;
    if (shot.Outcome == ShotOutcome::Hit)
        ++CaughtAfter[std::size_t(std::clamp<std::int64_t>(shot.Frames, 0, ShotLife))];
}

MethodFigures FigureCounter::Figures() const
{
    MethodFigures figures = Counts;
    if (figures.Caught == 0)
        return figures;
    // The k-th smallest frames to catch, counting from 0.
    const auto nth = [this](std::int64_t k) {
        std::size_t frames = 0;
        for (std::int64_t seen = 0; (seen += CaughtAfter[frames]) <= k;)
            ++frames;
        return double(frames);
    };
    const std::int64_t caught = figures.Caught, middle = caught / 2;
    figures.MedianFramesToCatch = caught % 2 ? nth(middle) : (nth(middle - 1) + nth(middle)) / 2;
    return figures;
}

std::string MedianText(const MethodFigures& figures)
{
    if (!figures.MedianFramesToCatch)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%g", *figures.MedianFramesToCatch);
    return text;
}

std::string RunMethod(ScriptInput& script, std::uint64_t seed, SteeringMode mode, MethodRun& method)
{
    Scenario& run = method.Run;
    StartScenario(run, true, true);
    run.History->Sinks.push_back(&method.Counter);
    (void)Execute(run, {.Kind = CommandKind::Seed, .Number = seed}); // neither can fail
    (void)Execute(run, {.Kind = CommandKind::Mode, .Mode = mode});
    ScriptCheck check;
    const std::string error = RunScript(script, check, nullptr, [&](const Command& command) {
        if (command.Kind == CommandKind::Mode || command.Kind == CommandKind::Png || command.Kind == CommandKind::Trail)
            return std::string();
        return Execute(run, command);
    });
    run.History->Finish(run.Sim.World);
    return error;
}

namespace {

std::string FiguresLine(const MethodFigures& figures)
{
    return std::to_string(figures.Launched) + " launched, " + std::to_string(figures.Caught) + " caught, " +
           std::to_string(figures.Expired) + " expired, " + std::to_string(figures.Flying) +
           " flying\nmedian frames to catch: " + MedianText(figures);
}

} // namespace

std::string CompareMethods(ScriptInput& script, std::uint64_t seed, const std::string& picturePath, CheckedOutput& out,
                           bool& pictureFailed)
{
    std::array<MethodFigures, SteeringModeCount> figures;
    ComparePanels panels;
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        const auto method = std::make_unique<MethodRun>();
        if (std::string error = RunMethod(script, seed, static_cast<SteeringMode>(mode), *method); !error.empty())
            return error;
        const Scenario& run = method->Run;
        figures[std::size_t(mode)] = method->Counter.Figures();
        panels[std::size_t(mode)] = {Methods[std::size_t(mode)].Caption, Methods[std::size_t(mode)].Name,
                                     FiguresLine(figures[std::size_t(mode)]),
                                     run.Trails->Picture(run.Sim.World, run.Sheet, *run.History)};
    }
    if (std::string error = SaveComparison(panels, picturePath, "compare, script " + script.Name); !error.empty()) {
        pictureFailed = true;
        return error;
    }

    int nameWidth = 0; // the column as wide as the longest name
    for (const Method& method : Methods)
        nameWidth = std::max(nameWidth, int(std::strlen(method.Name)));
    char line[200];
    std::snprintf(line, sizeof line, "%-4s  %-*s  %8s  %6s  %7s  %6s  %s\n", "mode", nameWidth, "method", "launched",
                  "caught", "expired", "flying", "median frames to catch");
    out.Write(line);
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        const MethodFigures& row = figures[std::size_t(mode)];
        std::snprintf(line, sizeof line, "%-4d  %-*s  %8d  %6d  %7d  %6d  %s\n", mode, nameWidth,
                      Methods[std::size_t(mode)].Name, row.Launched, row.Caught, row.Expired, row.Flying,
                      MedianText(row).c_str());
        out.Write(line);
    }
    return {};
}
