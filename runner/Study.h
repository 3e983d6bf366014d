#pragma once
// The runner's study outputs: one row per shot, and the methods side by
// side on one scenario. Both take shots as they end, so memory does not grow
// with the frames run.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "Output.h"
#include "Scenario.h"
#include "ScriptReader.h"
#include "ShotHistory.h"

/// Writes one CSV row per shot ever launched, in launch order.
struct SummaryWriter final : ShotSink {
    explicit SummaryWriter(CheckedOutput& out);
    void OnShotEnded(const ShotRecord& shot) override;

private:
    CheckedOutput& Out;
    std::uint64_t Next = 0;                     ///< the index of the next row to write
    std::map<std::uint64_t, std::string> Ended; ///< rows ended before an earlier shot
};

/// The figures under each method's picture.
struct MethodFigures {
    int Launched = 0;
    int Caught = 0;
    int Expired = 0;
    int Flying = 0;                            ///< still flying when the script ended
    std::optional<double> MedianFramesToCatch; ///< none when nothing was caught
};

/// Counts shots as they end; frames to catch are kept as counts per frame
/// (no shot flies more than its life), which gives the median exactly.
struct FigureCounter final : ShotSink {
    void OnShotEnded(const ShotRecord& shot) override;
    MethodFigures Figures() const;

private:
    MethodFigures Counts;
    std::array<std::int64_t, ShotLife + 1> CaughtAfter{}; ///< shots caught after n frames, by n
};

/// The median frames to catch as written under a picture and in the table
/// (17.5 stays 17.5), or "-" when nothing was caught.
std::string MedianText(const MethodFigures& figures);

/// One method's run of a scenario to its end, with its figures and trails.
struct MethodRun {
    Scenario Run;
    FigureCounter Counter;
};

/// Runs the script's inputs under one steering mode, in a fresh run seeded
/// with `seed`, ignoring its mode, png and trail lines. The script is read
/// again from its start; its lines must all be good.
[[nodiscard]] std::string RunMethod(ScriptInput& script, std::uint64_t seed, SteeringMode mode, MethodRun& method);

/// Runs the script's inputs once under each steering mode, from the same world
/// and the same random values, writes the 3 x 2 picture to `picturePath` and
/// the figures as a table to `out`. Returns what went wrong, or nothing;
/// `pictureFailed` tells a picture that could not be written from a bad script.
[[nodiscard]] std::string CompareMethods(ScriptInput& script, std::uint64_t seed, const std::string& picturePath,
                                         CheckedOutput& out, bool& pictureFailed);
