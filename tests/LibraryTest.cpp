// libhoming through its C API, as a caller sees it: its world is the
// runner's world, its maps and sweeps are the study's (here under the
// sanitizers too), a cancelled run says so, and every refusal leaves the
// caller's memory as it was.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CaptureMap.h"
#include "FloatText.h"
#include "Sweep.h"
#include "homing/homing.h"

namespace {

/// The rows of a trace's last frame (frame, slot, ... as the runner writes them).
std::vector<std::string> LastFrameRows(const std::string& trace, const std::string& frame)
{
    std::vector<std::string> rows;
    for (std::size_t at = 0, end; at < trace.size(); at = end + 1) {
        end = trace.find('\n', at);
        const std::string row = trace.substr(at, end - at);
        if (row.starts_with(frame + ","))
            rows.push_back(row);
    }
    return rows;
}

std::string Trace(const std::string& script)
{
    std::size_t length = 0;
    EXPECT_EQ(homing_run_script(script.data(), script.size(), nullptr, 0, &length), HOMING_BUFFER_TOO_SMALL);
    std::string trace(length + 1, '\0');
    EXPECT_EQ(homing_run_script(script.data(), script.size(), trace.data(), trace.size(), &length), HOMING_OK)
        << homing_last_error();
    trace.resize(length);
    return trace;
}

std::vector<homing_figures> LibraryMap(const char* settings, unsigned threads, int first = 0, int last = -1,
                                       int method = -1)
{
    homing_map_def def = homing_map_default();
    def.settings = settings;
    def.threads = threads;
    def.first_row = first;
    def.last_row = last;
    def.method = method;
    homing_map_grid grid{};
    EXPECT_EQ(homing_map_size(&def, &grid), HOMING_OK) << homing_last_error();
    std::vector<homing_figures> figures(grid.figures);
    EXPECT_EQ(homing_map(&def, figures.data(), figures.size()), HOMING_OK) << homing_last_error();
    return figures;
}

bool SameFigures(const homing_figures& a, const PlaceFigures& b)
{
    return a.shots == b.Shots && a.caught == b.Caught && a.median == b.Median && a.p90 == b.P90 && a.mean == b.Mean &&
           a.miss == b.Miss;
}

} // namespace

// A world stepped by hand flies what a script's trace shows for the same
// seed, method, limit and marker: the calls go through the one Apply and the
// one frame step.
TEST(Library, AWorldFliesWhatTheScriptsTraceShows)
{
    homing_world_def def = homing_world_default();
    def.mode = 5;
    def.speed_limit = 1;
    def.seed = 7;
    def.marker_x = 40;
    def.marker_y = 250;
    homing_world* world = nullptr;
    ASSERT_EQ(homing_world_create(&def, &world), HOMING_OK) << homing_last_error();
    ASSERT_EQ(homing_world_step(world, 37, nullptr), HOMING_OK);
    ASSERT_EQ(homing_world_move_marker(world, 200, 20), HOMING_OK);
    int caught = -1;
    ASSERT_EQ(homing_world_step(world, 30, &caught), HOMING_OK);
    homing_shot shots[HOMING_SHOT_SLOTS];
    std::size_t count = 0;
    ASSERT_EQ(homing_world_shots(world, shots, HOMING_SHOT_SLOTS, &count), HOMING_OK);
    homing_world_destroy(world);

    const std::vector<std::string> rows =
        LastFrameRows(Trace("seed 7\nmode 5\nlimit\nmove 40 250\nframes 37\nmove 200 20\nframes 30\n"), "67");
    ASSERT_EQ(rows.size(), count);
    ASSERT_GT(count, 0u);
    for (std::size_t n = 0; n < count; ++n) {
        std::string expected = "67," + std::to_string(shots[n].slot) + ",flying," + std::to_string(shots[n].age) + ",";
        for (const float value : {shots[n].x, shots[n].y, shots[n].vx, shots[n].vy}) {
            AppendFloat(expected, value);
            expected += ',';
        }
        EXPECT_TRUE(rows[n].starts_with(expected)) << rows[n] << " against " << expected;
    }
}

// The library's map is the study's, figure for figure, on any threads and for
// any rows; its sweep likewise.
TEST(Library, MapsAndSweepsAreTheStudys)
{
    const char* text = "--step 30 --shots 3 --marker-motion circle 20 60";
    MapSettings settings;
    ASSERT_EQ(ReadMapSettingsText(text, settings), "");
    const CaptureMap map = ComputeMap(settings);
    const std::vector<homing_figures> one = LibraryMap(text, 1), two = LibraryMap(text, 2);
    const std::vector<homing_figures> rows = LibraryMap(text, 2, 3, 4);
    ASSERT_EQ(one.size(), map.Places.size());
    for (std::size_t n = 0; n < one.size(); ++n) {
        EXPECT_TRUE(SameFigures(one[n], map.Places[n])) << "figures " << n << " on one thread";
        EXPECT_TRUE(SameFigures(two[n], map.Places[n])) << "figures " << n << " on two threads";
    }
    const std::size_t rowFigures = std::size_t(map.Columns) * SteeringModeCount;
    ASSERT_EQ(rows.size(), 2 * rowFigures);
    for (std::size_t n = 0; n < rows.size(); ++n)
        EXPECT_TRUE(SameFigures(rows[n], map.Places[3 * rowFigures + n])) << "rows 3 and 4, figures " << n;
    const std::vector<homing_figures> alone = LibraryMap(text, 2, 0, -1, 7);
    ASSERT_EQ(alone.size(), map.Places.size() / SteeringModeCount);
    for (std::size_t n = 0; n < alone.size(); ++n)
        EXPECT_TRUE(SameFigures(alone[n], map.Places[n * SteeringModeCount + 7])) << "method 7 alone, place " << n;

    homing_sweep_def sweep = homing_sweep_default();
    sweep.settings = "--step 75 --shots 2";
    sweep.values = 2;
    std::size_t points = 0;
    ASSERT_EQ(homing_sweep_size(&sweep, &points), HOMING_OK);
    std::vector<homing_sweep_point> got(points);
    ASSERT_EQ(homing_sweep(&sweep, got.data(), got.size()), HOMING_OK) << homing_last_error();
    MapSettings swept;
    ASSERT_EQ(ReadMapSettingsText(sweep.settings, swept), "");
    std::size_t n = 0;
    for (const SweepCurve& curve : ComputeSweep(swept, 2))
        for (const SweepPoint& point : curve.Points) {
            ASSERT_LT(n, got.size());
            const homing_sweep_point& p = got[n++];
            homing_draw_info draw{};
            ASSERT_EQ(homing_method_draw(p.mode, p.draw, &draw), HOMING_OK);
            EXPECT_EQ(p.mode, int(curve.Parameter.Mode));
            EXPECT_STREQ(draw.name, LaunchDrawName(curve.Parameter.Draw));
            EXPECT_EQ(p.value, point.Value);
            EXPECT_EQ(p.caught, point.Figures.Caught);
            EXPECT_EQ(p.median, point.Figures.Median);
            EXPECT_EQ(p.miss, point.Figures.Miss);
        }
    EXPECT_EQ(n, got.size());
}

// A map whose callback cancels it returns HOMING_CANCELLED (never a partial
// array as whole) and leaves the array untouched, on one thread or two.
TEST(Library, ACancelledMapSaysSoAndWritesNothing)
{
    for (const unsigned threads : {1u, 2u}) {
        homing_map_def def = homing_map_default();
        def.settings = "--step 10 --shots 2";
        def.threads = threads;
        int calls = 0;
        def.user = &calls;
        def.progress = [](double, void* user) { return ++*static_cast<int*>(user) == 2 ? 1 : 0; };
        homing_map_grid grid{};
        ASSERT_EQ(homing_map_size(&def, &grid), HOMING_OK);
        std::vector<homing_figures> figures(grid.figures, homing_figures{7, 7, 7, 7, 7, 7});
        EXPECT_EQ(homing_map(&def, figures.data(), figures.size()), HOMING_CANCELLED) << threads << " threads";
        EXPECT_EQ(calls, 2) << "no progress is told after the cancel";
        for (const homing_figures& f : figures)
            ASSERT_EQ(f.shots, 7) << "a cancelled map writes nothing";
    }
}

// Refusals name what is wrong and where, with the runner's own words for settings.
TEST(Library, RefusalsNameWhatAndWhere)
{
    homing_map_def def = homing_map_default();
    def.settings = "--step 10 --hold gain 1.5";
    homing_map_grid grid{};
    EXPECT_EQ(homing_map_size(&def, &grid), HOMING_BAD_SETTINGS);
    EXPECT_NE(std::string(homing_last_error()).find("homing_map_size: "), std::string::npos) << homing_last_error();
    def.settings = "--step 10";
    def.first_row = 30;
    EXPECT_EQ(homing_map_size(&def, &grid), HOMING_OUT_OF_RANGE);
    EXPECT_NE(std::string(homing_last_error()).find("grid's 30"), std::string::npos) << homing_last_error();
    EXPECT_EQ(homing_map(nullptr, nullptr, 0), HOMING_NULL_ARGUMENT);
    EXPECT_STREQ(homing_last_error(), "homing_map: def is null");

    const std::string script = "frames 3\nmode 99\n";
    std::size_t length = 0;
    EXPECT_EQ(homing_run_script(script.data(), script.size(), nullptr, 0, &length), HOMING_BAD_SETTINGS);
    EXPECT_TRUE(std::string(homing_last_error()).starts_with("homing_run_script: line 2")) << homing_last_error();
    EXPECT_STREQ(homing_status_text(HOMING_BUFFER_TOO_SMALL), "buffer too small");
}

// Shards made by the library are homing-sim's, and join, by its checked join,
// into the whole map; a forged figure in one is refused, naming that shard.
TEST(Library, ShardsJoinIntoTheWholeMap)
{
    const char* text = "--step 50 --shots 4 --limit";
    std::vector<std::string> shards;
    for (const auto& [first, last] : {std::pair{3, 5}, std::pair{0, 2}}) {
        homing_map_def def = homing_map_default();
        def.settings = text;
        def.first_row = first;
        def.last_row = last;
        homing_map_grid grid{};
        ASSERT_EQ(homing_map_size(&def, &grid), HOMING_OK);
        std::string shard(grid.shard_bytes, '\0');
        std::size_t length = 0;
        ASSERT_EQ(homing_map_shard(&def, shard.data(), shard.size(), &length), HOMING_OK) << homing_last_error();
        shards.push_back(shard.substr(0, length));
    }
    EXPECT_TRUE(shards[0].starts_with("# homing-sim " HOMING_VERSION_TEXT " map shard: rows 3-5 of 6; --step 50"))
        << shards[0].substr(0, 80);
    const std::vector<homing_figures> whole = LibraryMap(text, 1);
    std::vector<homing_figures> joined(whole.size());
    const char* texts[] = {shards[0].c_str(), shards[1].c_str()};
    ASSERT_EQ(homing_join_map(texts, 2, joined.data(), joined.size()), HOMING_OK) << homing_last_error();
    // Joined from text, the mean and the miss are the CSV's, to the hundredth.
    const auto hundredths = [](float value) {
        std::string fixed;
        AppendFixed(fixed, double(value), 2);
        return fixed;
    };
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const homing_figures &a = joined[n], &b = whole[n];
        EXPECT_TRUE(a.shots == b.shots && a.caught == b.caught && a.median == b.median && a.p90 == b.p90 &&
                    hundredths(a.mean) == hundredths(b.mean) && hundredths(a.miss) == hundredths(b.miss))
            << "figures " << n;
    }

    std::string forged = shards[1];
    const std::size_t row = forged.find("\n0,0,0,4,") + 1;
    forged.replace(row + 7, 2, ",3"); // one shot fewer caught than the run said
    const char* forgedTexts[] = {shards[0].c_str(), forged.c_str()};
    EXPECT_EQ(homing_join_map(forgedTexts, 2, joined.data(), joined.size()), HOMING_BAD_SETTINGS);
    EXPECT_NE(std::string(homing_last_error()).find("shard 1"), std::string::npos) << homing_last_error();
}
