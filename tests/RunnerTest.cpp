// homing-sim from outside: the script language, the trace and every kind of bad input.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QColor>
#include <QImage>

#include "FloatText.h"
#include "PictureFile.h"
#include "Quoted.h"
#include "Replay.h"
#include "Script.h"
#include "ScriptReader.h"
#include "ScriptWorld.h"

namespace {

struct RunResult {
    int Status = -1;
    std::string Out, Err;
};

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::filesystem::path TempDir()
{
    static const std::filesystem::path dir = [] {
        auto path = std::filesystem::temp_directory_path() / ("homing-sim-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

/// Runs homing-sim with `arguments` (shell words), feeding `script` on standard input.
RunResult RunSim(const std::string& arguments, const std::string& script = "")
{
    const auto dir = TempDir();
    std::ofstream(dir / "in.txt", std::ios::binary) << script;
    const std::string command = std::string("'") + HOMING_SIM + "' " + arguments + " < '" + (dir / "in.txt").string() +
                                "' > '" + (dir / "out.txt").string() + "' 2> '" + (dir / "err.txt").string() + "'";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.Out = ReadAll(dir / "out.txt");
    result.Err = ReadAll(dir / "err.txt");
    return result;
}

RunResult RunShell(const std::string& line)
{
    const auto err = TempDir() / "shell-err.txt", script = TempDir() / "shell.sh";
    std::ofstream(script) << "SIM='" << HOMING_SIM << "'\n{ " << line << "\n} 2> '" << err.string() << "'\n";
    const int raw = std::system(("bash '" + script.string() + "'").c_str());
    RunResult result;
    result.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.Err = ReadAll(err);
    return result;
}

int CountLines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

constexpr const char* Header = "frame,slot,state,age,x,y,vx,vy,speed,angle,turn\n";

// The first mode past the table's last, and what the script reader says of it:
// no test spells out how many methods there are.
const std::string PastLastMode = std::to_string(SteeringModeCount);
const std::string ModeRange = "mode must be 0 to " + std::to_string(SteeringModeCount - 1) + ", got ";

} // namespace

TEST(ScriptParser, ReadsEveryCommand)
{
    EXPECT_EQ(ParseLine("   # only a comment").Kind, ParsedLine::Status::Empty);
    EXPECT_EQ(ParseLine("\t\r\n").Kind, ParsedLine::Status::Empty);

    const ParsedLine move = ParseLine("  move  -12.5\t1e2  # comment");
    ASSERT_EQ(move.Kind, ParsedLine::Status::Ok) << move.Error;
    EXPECT_EQ(move.Parsed.X, -12.5f);
    EXPECT_EQ(move.Parsed.Y, 100.f);

    const ParsedLine random = ParseLine("random 0 0.1 0.99999994");
    ASSERT_EQ(random.Kind, ParsedLine::Status::Ok) << random.Error;
    EXPECT_EQ(random.Parsed.Values, (std::vector<float>{0.f, 0.1f, 0.99999994f}));

    EXPECT_EQ(ParseLine("mode 5").Parsed.Mode, SteeringMode::AccelChase);
    EXPECT_EQ(ParseLine("press middle").Parsed.Button, MouseButton::Middle);
    EXPECT_EQ(ParseLine("seed 18446744073709551615").Parsed.Number, 18446744073709551615u);
    EXPECT_EQ(ParseLine("frames 0").Kind, ParsedLine::Status::Ok);
}

// The recorder writes with CommandLine: whatever it writes must read back as
// the very command, every kind and every float bit for bit.
TEST(ScriptWriter, EveryCommandReadsBackAsItself)
{
    const float tiny = std::nextafter(0.f, 1.f), awkward = std::nextafter(1.f, 2.f); // the least above 0 and 1
    const std::vector<Command> commands = {
        {.Kind = CommandKind::Seed, .Number = 18446744073709551615u},
        {.Kind = CommandKind::Random, .Values = {0.f, std::nextafter(0.1f, 1.f), 0.99999994f, tiny}},
        {.Kind = CommandKind::Mode, .Mode = SteeringMode::AngleChase2},
        {.Kind = CommandKind::Move, .X = -1e8f, .Y = awkward},
        {.Kind = CommandKind::Press, .Button = MouseButton::Left},
        {.Kind = CommandKind::Press, .Button = MouseButton::Right},
        {.Kind = CommandKind::Press, .Button = MouseButton::Middle},
        {.Kind = CommandKind::Limit},
        {.Kind = CommandKind::Vectors},
        {.Kind = CommandKind::Frames, .Number = 7},
        {.Kind = CommandKind::Png, .Path = "out/frame.png"},
        {.Kind = CommandKind::Trail, .Path = "trail.png"},
    };
    for (const Command& command : commands) {
        const std::string line = CommandLine(command);
        ASSERT_EQ(line.back(), '\n');
        const ParsedLine read = ParseLine(line);
        ASSERT_EQ(read.Kind, ParsedLine::Status::Ok) << line << read.Error;
        const Command& back = read.Parsed;
        EXPECT_EQ(back.Kind, command.Kind) << line;
        EXPECT_EQ(back.Number, command.Number) << line;
        EXPECT_EQ(back.Mode, command.Mode) << line;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(back.X), std::bit_cast<std::uint32_t>(command.X)) << line;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(back.Y), std::bit_cast<std::uint32_t>(command.Y)) << line;
        EXPECT_EQ(back.Button, command.Button) << line;
        EXPECT_EQ(back.Values, command.Values) << line;
        EXPECT_EQ(back.Path, command.Path) << line;
    }
}

// A replayed script in the window or the page: each command waits for the
// frames before it; batches stop at the limit; a command that fails ends the
// replay, naming the script and line, and is neither applied nor recorded.
TEST(ReplayCursor, WaitsForFramesBatchesAndStopsAtAFailingLine)
{
    // 1049 lines of 1000 values: the last would queue more than MaxQueuedRandom.
    std::string thousand = "random";
    for (int n = 0; n < 1000; ++n)
        thousand += " 0.5";
    std::string queueTooMany;
    for (int line = 0; line < 1049; ++line)
        queueTooMany += thousand + (line < 1048 ? "\n" : "");
    ReplayCursor cursor;
    cursor.Name = "'s.txt'";
    ASSERT_EQ(ScriptFromText("mode 2\nframes 2\nlimit\nvectors\nmove 3 4\n" + queueTooMany + "\nlimit\n", cursor.Input),
              "");
    ASSERT_EQ(StartReplay(cursor), "");
    World world;
    QueuedRandom random;
    std::FILE* file = std::tmpfile();
    CheckedOutput out(file, "the recording");
    ScriptRecorder recorder(out, 1);

    EXPECT_EQ(PlayDueCommands(cursor, world, random, &recorder, 100), 1); // mode 2, then frames to run
    EXPECT_EQ(world.Mode, SteeringMode::AngleChase);
    EXPECT_EQ(PlayDueCommands(cursor, world, random, &recorder, 100), 0);
    for (int frame = 0; frame < 2; ++frame) {
        recorder.OnFrame(world, {});
        cursor.OnFrame(world, {});
    }
    EXPECT_EQ(PlayDueCommands(cursor, world, random, &recorder, 2), 2); // limit, vectors: the batch is full
    EXPECT_TRUE(cursor.Playing);
    EXPECT_EQ(PlayDueCommands(cursor, world, random, &recorder, 5000), 1 + 1049); // move, randoms, the refused one
    EXPECT_FALSE(cursor.Playing);
    EXPECT_EQ(cursor.Error, "'s.txt' line 1054: more than 1048576 random values queued and not yet drawn");
    EXPECT_EQ(world.MeX, 3.f);
    EXPECT_EQ(world.SpeedLimitOn, FlagTrue); // the last limit line never ran
    EXPECT_EQ(random.Queue.size(), 1048000u);

    recorder.Flush();
    std::rewind(file);
    std::string text(8 << 20, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    const std::string head = "# recorded by homing --record\nseed 1\nmode 2\nframes 2\nlimit\nvectors\nmove 3 4\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.size(), head.size() + 1048 * (thousand.size() + 1)); // the refused line is not recorded
}

TEST(ScriptParser, DecimalsRoundOnceDirectlyToFloat)
{
    // Directly this rounds up to 1 + 2^-23; through a double it would first become the tie 1 + 2^-24 and
    // then round to even, 1 (a double rounding).
    const ParsedLine move = ParseLine("move 1.000000059604644775390625000001 0");
    ASSERT_EQ(move.Kind, ParsedLine::Status::Ok);
    EXPECT_EQ(move.Parsed.X, std::nextafter(1.f, 2.f));
    const ParsedLine tie = ParseLine("move 1.0000000596046447753906250 0"); // an exact tie: to even
    EXPECT_EQ(tie.Parsed.X, 1.f);
}

TEST(ScriptParser, SaysWhatIsWrong)
{
    const struct {
        std::string Line;
        std::string Error;
    } cases[] = {
        {"jump 3", "unknown command jump"},
        {"move 1", "move takes 2 arguments (X Y), got 1"},
        {"move 1 2 3", "move takes 2 arguments (X Y), got 3"},
        {"limit now", "limit takes no arguments, got 1"},
        {"frames", "frames takes 1 argument (N), got 0"},
        {"frames -1", "frames must be a whole number, 0 or more, got -1"},
        {"frames 1.5", "frames must be a whole number, 0 or more, got 1.5"},
        {"mode " + PastLastMode, ModeRange + PastLastMode},
        {"mode two", ModeRange + "two"},
        {"move nan 2", "move X must be a finite decimal, got nan"},
        {"move 1 1e39", "move Y must be a finite decimal, got 1e39"},
        {"move 1 +2", "move Y must be a finite decimal, got +2"},
        {"random 0.5 1", "random values must lie in [0, 1) as 32-bit floats, got 1"},
        {"random 0.99999999", "random values must lie in [0, 1) as 32-bit floats, got 0.99999999"},
        {"random -0.1", "random values must lie in [0, 1) as 32-bit floats, got -0.1"},
        {"random", "random takes at least 1 value, got 0"},
        {"press up", "press must be left, right or middle, got up"},
        {"seed -3", "seed must be a whole number from 0 to 18446744073709551615, got -3"},
        {"seed 18446744073709551616",
         "seed must be a whole number from 0 to 18446744073709551615, got 18446744073709551616"},
    };
    for (const auto& c : cases) {
        const ParsedLine line = ParseLine(c.Line);
        EXPECT_EQ(line.Kind, ParsedLine::Status::Error) << c.Line;
        EXPECT_EQ(line.Error, c.Error) << c.Line;
    }
}

TEST(RunnerCli, WritesATraceRowPerFlyingShotAfterEachFrame)
{
    const RunResult run = RunSim("", "move 152 100\nrandom 0.5\nframes 11\n");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, std::string(Header) + "10,0,flying,1,152,147.5,2,-2.5,2.5,0,0\n"
                                             "11,0,flying,2,152,145,0,-2.5,2.5,0,0\n");

    // Floats are the shortest text that reads back to the same 32-bit float:
    // a speed of 0.06 * 5 + 2 stored as a float is written 2.3.
    const RunResult shortest = RunSim("", "mode 1\nmove 250 150\nrandom 0.06\nframes 10\n");
    EXPECT_EQ(shortest.Out, std::string(Header) + "10,0,flying,1,152.3,150,2.3,0,2.3,0,0\n");
}

TEST(RunnerCli, MarksCaughtAndExpiredShots)
{
    // Mode 1 straight at a marker 40 pixels away at 4.5 a frame: 13 pixels off after six frames.
    const RunResult hit = RunSim("-", "mode 1\nmove 190 150\nrandom 0.5\nframes 15\n");
    EXPECT_EQ(hit.Status, 0);
    EXPECT_NE(hit.Out.find("\n14,0,flying,5,172.5,150,4.5,0,4.5,0,0\n15,0,hit,6,177,150,4.5,0,4.5,0,0\n"),
              std::string::npos)
        << hit.Out;
    // A mode 0 shot at speed 1 chasing a far-off marker expires at age 500 after
    // its last move; the freed slot takes the next launch.
    const RunResult expired = RunSim("", "move -1000 150\nrandom 0 0\nframes 510\n");
    EXPECT_NE(expired.Out.find("\n509,0,expired,500,-350,150,-1,0,1,0,0\n"), std::string::npos);
    EXPECT_NE(expired.Out.find("\n510,0,flying,1,"), std::string::npos);
}

TEST(RunnerCli, SameSeedSameTrace)
{
    const std::string script = "seed 42\nmode 3\nmove 40 260\nframes 300\n";
    const RunResult first = RunSim("", script);
    const RunResult second = RunSim("", script);
    EXPECT_EQ(first.Status, 0);
    EXPECT_GT(CountLines(first.Out), 100);
    EXPECT_EQ(first.Out, second.Out);
}

TEST(RunnerCli, RandomLinesQueueInOrderAndAreBounded)
{
    // Two lines queue their values one after the other, as one line would.
    const RunResult two = RunSim("", "seed 5\nmode 2\nrandom 0.1 0.2\nrandom 0.3 0.4\nframes 20\n");
    const RunResult one = RunSim("", "seed 5\nmode 2\nrandom 0.1 0.2 0.3 0.4\nframes 20\n");
    ASSERT_EQ(two.Status, 0) << two.Err;
    EXPECT_EQ(two.Out, one.Out);
    EXPECT_NE(two.Out.find("\n10,0,flying,1,"), std::string::npos); // drawn at all

    // Values not yet drawn take memory: past 2^20 of them the script is refused.
    std::string line = "random";
    for (int n = 0; n < 1000; ++n)
        line += " 0.5";
    std::string script = "frames 10\n";
    for (int n = 0; n < 1049; ++n)
        script += line + "\n";
    const RunResult flood = RunSim("", script);
    EXPECT_EQ(flood.Status, 2);
    EXPECT_EQ(flood.Err, "homing-sim: line 1050: more than 1048576 random values queued and not yet drawn\n");
}

TEST(RunnerCli, BadLineStopsTheRunAndKeepsEarlierRows)
{
    const RunResult run = RunSim("", "random 0.5\nframes 10\n\n# fine so far\nmode " + PastLastMode + "\nframes 5\n");
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, "homing-sim: line 5: " + ModeRange + PastLastMode + "\n");
    EXPECT_EQ(run.Out, std::string(Header) + "10,0,flying,1,147.5,147.5,-2.5,-2.5,2.5,0,0\n");
}

TEST(RunnerCli, BadArgumentsAndFiles)
{
    const RunResult missing = RunSim("/nonexistent/script.txt");
    EXPECT_EQ(missing.Status, 2);
    EXPECT_EQ(missing.Err, "homing-sim: cannot open /nonexistent/script.txt: No such file or directory\n");
    EXPECT_EQ(missing.Out, "");

    const RunResult directory = RunSim("/");
    EXPECT_EQ(directory.Status, 2);
    EXPECT_EQ(CountLines(directory.Err), 1);
    EXPECT_NE(directory.Err.find("Is a directory"), std::string::npos) << directory.Err;

    const RunResult option = RunSim("--frobnicate");
    EXPECT_EQ(option.Status, 2);
    EXPECT_EQ(option.Err, "homing-sim: unknown option --frobnicate (see --help)\n");

    const RunResult two = RunSim("a b");
    EXPECT_EQ(two.Status, 2);
    EXPECT_EQ(CountLines(two.Err), 1);
}

// Standard input is kept up to the spool's limit and refused past it, here
// through a limit lowered to 200 KiB (the real one, 256 MiB, is too big to test).
TEST(RunnerCli, AScriptPastTheSpoolLimitIsRefused)
{
    std::string text;
    while (text.size() < 300 << 10)
        text += "frames 1\n";
    for (const long long limit : {400ll << 10, 200ll << 10}) {
        std::FILE* from = ::fmemopen(text.data(), text.size(), "r");
        ASSERT_NE(from, nullptr);
        ScriptInput input;
        input.Name = "standard input";
        const std::string error = SpoolScript(from, input, limit);
        std::fclose(from);
        if (limit >= (long long)text.size())
            EXPECT_EQ(error, "");
        else
            EXPECT_EQ(error, "standard input holds more than 0 MiB of script: save it to a file and name the file");
    }
}

TEST(RunnerCli, ErrorLinesQuoteTokensSafelyAndBriefly)
{
    const RunResult escape = RunSim("", "mode \x1b[31m" + PastLastMode + "\n");
    EXPECT_EQ(escape.Status, 2);
    EXPECT_EQ(escape.Err, "homing-sim: line 1: " + ModeRange + "\\x1b[31m" + PastLastMode + "\n");

    // At most 60 characters of a token (a UTF-8 character counts once), and
    // bytes that are not UTF-8 written as \xNN.
    const RunResult huge = RunSim("", "frames " + std::string(4000, '7') + "\n");
    EXPECT_EQ(huge.Err,
              "homing-sim: line 1: frames must be a whole number, 0 or more, got " + std::string(60, '7') + "...\n");
    // A line is read only up to its limit, wherever it comes from: memory stays bounded.
    for (const char* source : {"", "-"}) {
        const RunResult endless =
            RunShell("head -c 100000000 /dev/zero | $SIM " + std::string(source) + " > /dev/null");
        EXPECT_EQ(endless.Status, 2);
        EXPECT_EQ(endless.Err, "homing-sim: line 1: longer than 4096 bytes\n");
    }
    const RunResult longer = RunSim("", "frames 1\n" + std::string(4096, ' ') + "\n" + std::string(4097, ' ') + "\n");
    EXPECT_EQ(longer.Err, "homing-sim: line 3: longer than 4096 bytes\n");
    const RunResult bytes = RunSim("", "press \xE2\x86\x91\xFF\xC3\n");
    EXPECT_EQ(bytes.Err, "homing-sim: line 1: press must be left, right or middle, got \xE2\x86\x91\\xff\\xc3\n");
}

TEST(RunnerCli, ByteOrderMarkAndTinyDecimalsAreRead)
{
    const RunResult bom = RunSim("", "\xEF\xBB\xBFseed 1\nframes 1\n");
    EXPECT_EQ(bom.Status, 0) << bom.Err;
    const ParsedLine tiny = ParseLine("move 1e-50 -1e-40");
    ASSERT_EQ(tiny.Kind, ParsedLine::Status::Ok) << tiny.Error;
    EXPECT_EQ(tiny.Parsed.X, 0.f);
    EXPECT_EQ(tiny.Parsed.Y, -0x1.16c262p-133f); // the subnormal nearest -1e-40
}

/// Runs a shell command line with homing-sim as $SIM; returns the status and standard error.
TEST(RunnerOutput, AFailedWriteStopsTheRunWithExitStatus1)
{
    const std::string frames = "printf 'frames 100000\\n' | ";
    const RunResult full = RunShell(frames + "$SIM > /dev/full");
    EXPECT_EQ(full.Status, 1);
    EXPECT_EQ(full.Err, "homing-sim: cannot write the trace: No space left on device\n");
    const RunResult closed = RunShell(frames + "$SIM >&-");
    EXPECT_EQ(closed.Status, 1);
    EXPECT_EQ(closed.Err, "homing-sim: cannot write the trace: Bad file descriptor\n");
    // With SIGPIPE ignored, a reader that goes away ends a run of billions of frames at once.
    const RunResult pipe = RunShell("trap '' PIPE; printf 'frames 4000000000\\n' | $SIM | head -c 1 > /dev/null");
    EXPECT_EQ(pipe.Err, "homing-sim: cannot write the trace: Broken pipe\n");
    for (const char* mode : {"--summary", "--help"}) {
        const RunResult other = RunShell(frames + "$SIM " + mode + " > /dev/full");
        EXPECT_EQ(other.Status, 1) << mode;
        EXPECT_NE(other.Err.find("No space left on device"), std::string::npos) << mode;
    }
    // A short output fails only at the final flush, which is checked like every write.
    for (const char* mode : {"", "--summary"}) {
        const RunResult small = RunShell(std::string("printf 'frames 11\\n' | $SIM ") + mode + " > /dev/full");
        EXPECT_EQ(small.Status, 1) << mode;
        EXPECT_NE(small.Err.find("No space left on device"), std::string::npos) << mode;
    }
}

TEST(RunnerOutput, PicturesReplaceOnlyPngFiles)
{
    const auto dir = TempDir() / "pictures";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "folder.png");
    ASSERT_EQ(::mkfifo((dir / "fifo.png").c_str(), 0644), 0);
    std::ofstream(dir / "notes.png") << "precious";
    std::ofstream(dir / "notes.txt") << "precious";
    const struct {
        std::string Name, Error;
    } refused[] = {
        {"folder.png", " is not a regular file"},
        {"fifo.png", " is not a regular file"},
        {"notes.png", " exists and is not a PNG picture: an existing file is replaced only when it is empty or of "
                      "the kind written there"},
        {"notes.txt", " does not end in .png: pictures are written only to .png files"},
    };
    for (const auto& c : refused) {
        const std::string path = (dir / c.Name).string();
        const RunResult run = RunSim("", "frames 1\npng " + path + "\n");
        EXPECT_EQ(run.Status, 2) << c.Name;
        EXPECT_EQ(run.Err, "homing-sim: line 2: " + path + c.Error + "\n");
    }
    EXPECT_EQ(ReadAll(dir / "notes.png"), "precious");
    EXPECT_EQ(ReadAll(dir / "notes.txt"), "precious");
    const RunResult device = RunSim("--compare /dev/null", "frames 1\n");
    EXPECT_EQ(device.Err, "homing-sim: /dev/null does not end in .png: pictures are written only to .png files\n");

    // A PNG is replaced, through a symlink that stays a link, with a new file's
    // permissions, and nothing else is left in the folder.
    const auto target = dir / "target.png", link = dir / "link.png";
    const RunResult first = RunSim("", "png " + target.string() + "\n");
    ASSERT_EQ(first.Status, 0) << first.Err;
    std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink(target, link);
    const RunResult twice = RunSim("", "png " + link.string() + "\nmove 150 150\npng " + link.string() + "\n");
    ASSERT_EQ(twice.Status, 0) << twice.Err;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    const QImage second(QString::fromStdString(target.string()));
    EXPECT_EQ(second.pixel(150, 134) & 0xFFFFFF, 0u); // the marker's black outline, drawn by the second png
    // A private picture stays private.
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0600));
    const auto entries = [&] {
        return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
    };
    EXPECT_EQ(entries(), 6); // folder, fifo, two notes, target and link: no temporary file left

    // A write that fails part way (a file-size limit) leaves the folder as it was.
    const std::string before = ReadAll(target);
    // (The trace goes nowhere: the limit would fail a trace written to a long log file too.)
    const RunResult limited =
        RunShell("ulimit -f 1; printf 'move 20 20\\npng " + target.string() + "\\n' | $SIM > /dev/null");
    EXPECT_EQ(limited.Status, 1); // output that cannot be written, not bad input
    EXPECT_EQ(limited.Err, "homing-sim: line 2: cannot write " + target.string() + ": File too large\n");
    EXPECT_EQ(ReadAll(target), before);
    EXPECT_EQ(entries(), 6);

    // The longest name the folder takes works: the temporary's name is no longer.
    const auto longest = dir / (std::string(251, 'n') + ".png");
    const RunResult named = RunSim("", "png " + longest.string() + "\n");
    EXPECT_EQ(named.Status, 0) << named.Err;
    EXPECT_TRUE(std::filesystem::is_regular_file(longest));
}

TEST(RunnerOutput, PicturesTheUserMayNotWriteAreRefused)
{
    const auto dir = TempDir() / "locked";
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms(0777));
    const auto locked = dir / "locked.png";
    ASSERT_EQ(RunSim("", "png " + locked.string() + "\n").Status, 0);
    std::filesystem::permissions(locked, std::filesystem::perms(0444));
    // Root may write anything: look through the eyes of an ordinary user.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    const std::string refused = CheckPicturePath(locked.string());
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    EXPECT_EQ(refused, "cannot write " + locked.string() + ": Permission denied");
}

TEST(RunnerCli, HelpDescribesTheLanguage)
{
    const RunResult run = RunSim("--help");
    EXPECT_EQ(run.Status, 0);
    for (const char* word : {"seed N", "random V1", "mode M", "move X Y", "press", "limit", "vectors", "frames N"})
        EXPECT_NE(run.Out.find(word), std::string::npos) << word;
}

TEST(RunnerPictures, PngIsTheFrameTheWindowWouldShow)
{
    const auto path = TempDir() / "frame.png";
    std::filesystem::remove(path);
    const RunResult run = RunSim("", "move 10.5 20.5\npng " + path.string() + "\n");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const QImage image(QString::fromStdString(path.string()));
    ASSERT_EQ(image.size(), QSize(300, 300));
    EXPECT_EQ(image.pixel(150, 150) & 0xFFFFFF, 0xFFFF00u);        // the launcher's yellow middle
    EXPECT_EQ(image.pixel(299, 299) & 0xFFFFFF, 0xFFFFFFu);        // white elsewhere
    EXPECT_EQ(image.pixel(-6 + 16, 4 + 16) & 0xFFFFFF, 0xFFFF00u); // the marker, drawn at (-6, 4)
}

TEST(RunnerPictures, TrailDrawsEveryPathSoFar)
{
    const auto path = TempDir() / "trail.png";
    std::filesystem::remove(path);
    const RunResult run = RunSim("", "seed 5\nmode 1\nmove 150 40\nframes 60\ntrail " + path.string() + "\n");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const QImage image(QString::fromStdString(path.string()));
    ASSERT_EQ(image.size(), QSize(300, 300));
    // Direct chase straight up from the launcher: the paths colour the column above it.
    int coloured = 0;
    for (int y = 60; y < 130; ++y) {
        const QColor colour = image.pixelColor(150, y);
        coloured += colour.saturation() > 100 && colour != QColor(Qt::yellow);
    }
    EXPECT_GT(coloured, 50);
}

TEST(RunnerPictures, AnUnwritablePathIsRefusedBeforeAnythingRuns)
{
    for (const char* mode : {"", "--summary"}) {
        const RunResult run = RunSim(mode, "random 0.5\nframes 10\npng /nonexistent-dir/frame.png\nframes 5\n");
        EXPECT_EQ(run.Status, 1); // an output that cannot be written, found before the run or during it
        EXPECT_EQ(run.Err, "homing-sim: line 3: cannot write /nonexistent-dir/frame.png: No such file or directory\n");
        EXPECT_EQ(run.Out, "") << mode;
    }

    const auto existing = TempDir() / "keep.png";
    std::ofstream(existing) << "precious";
    std::filesystem::create_directory(TempDir() / "dir.png");
    const RunResult onDirectory = RunSim("", "trail " + (TempDir() / "dir.png").string() + "\n");
    EXPECT_EQ(onDirectory.Status, 2);
    EXPECT_EQ(CountLines(onDirectory.Err), 1);
    EXPECT_EQ(ReadAll(existing), "precious");
}

TEST(RunnerStudy, CompareWritesThePictureAndATable)
{
    const auto path = TempDir() / "compare.png";
    std::filesystem::remove(path);
    const RunResult run = RunSim("--compare '" + path.string() + "'", "move 200 100\nframes 60\n");
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(CountLines(run.Out), 1 + SteeringModeCount);
    EXPECT_NE(run.Out.find("augmented proportional navigation"), std::string::npos);
    const QImage image(QString::fromStdString(path.string()));
    EXPECT_EQ(image.size(), QSize(3 * 300 + 4 * 12, 3 * (28 + 300 + 40) + 4 * 12));
}

TEST(RunnerStudy, SummaryHasOneRowPerShot)
{
    const RunResult run = RunSim("--summary", "seed 3\nmove 200 100\nframes 60\n");
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("shot,slot,mode,launch_frame,end_frame,outcome,frames,path_length,closest,max_turn,"
                            "circled,speed,angle,turn,mean_turn\n",
                            0),
              0u);
    EXPECT_EQ(CountLines(run.Out), 1 + 6);

    // Every valid script runs, its pictures included.
    const auto trail = TempDir() / "summary-trail.png";
    const RunResult pictured = RunSim("--summary", "seed 3\nframes 20\ntrail " + trail.string() + "\n");
    ASSERT_EQ(pictured.Status, 0) << pictured.Err;
    EXPECT_EQ(CountLines(pictured.Out), 1 + 2);
    EXPECT_TRUE(std::filesystem::is_regular_file(trail));

    // Rows come in launch order though shot 1, four times as fast, is caught
    // first; a shot cleared after the last frame ran is cleared, not flying.
    const RunResult order =
        RunSim("--summary", "seed 1\nmode 1\nmove 150 10\nrandom 0 0.99\nframes 100\npress right\n");
    ASSERT_EQ(order.Status, 0) << order.Err;
    std::istringstream rows(order.Out);
    std::string row;
    std::getline(rows, row);
    for (int shot = 0; std::getline(rows, row); ++shot) {
        EXPECT_EQ(row.substr(0, row.find(',')), std::to_string(shot)) << row;
        if (shot == 9) {
            EXPECT_NE(row.find(",cleared,"), std::string::npos) << row;
        }
    }
}

TEST(RunnerStudy, BadArgumentsAndScripts)
{
    const RunResult noPath = RunSim("--compare");
    EXPECT_EQ(noPath.Status, 2);
    EXPECT_EQ(noPath.Err, "homing-sim: --compare needs the path of the picture to write\n");

    const RunResult dash = RunSim("--compare --summary s.txt");
    EXPECT_EQ(dash.Status, 2);
    EXPECT_EQ(dash.Err, "homing-sim: --compare needs the path of the picture to write\n");

    const RunResult both = RunSim("--summary --compare x.png");
    EXPECT_EQ(both.Status, 2);
    EXPECT_EQ(both.Err, "homing-sim: --summary and --compare cannot be combined\n");

    const RunResult twice = RunSim("--compare a.png --compare b.png");
    EXPECT_EQ(twice.Err, "homing-sim: --compare is given twice\n");
    EXPECT_EQ(RunSim("''").Err, "homing-sim: cannot open a script with an empty name\n");

    const RunResult badScript = RunSim("--summary", "frames 30\nmode " + PastLastMode + "\n");
    EXPECT_EQ(badScript.Status, 2);
    EXPECT_EQ(badScript.Err, "homing-sim: line 2: " + ModeRange + PastLastMode + "\n");
    EXPECT_EQ(badScript.Out, ""); // nothing runs

    const RunResult unwritable = RunSim("--compare /nonexistent-dir/c.png", "frames 10\n");
    EXPECT_EQ(unwritable.Status, 1);
    EXPECT_EQ(unwritable.Err, "homing-sim: cannot write /nonexistent-dir/c.png: No such file or directory\n");
}

// Shards of rows computed apart join to the very bytes of the map computed in
// one run, as a table and as a picture; shards that do not fit together (a
// gap, an overlap, other settings, one cut short) are refused whole.
TEST(RunnerStudy, ShardsJoinToTheWholeMapAndMisfitsAreRefused)
{
    const auto dir = TempDir() / "shards";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    // (Not "'" + string: GCC 12 at -O3 warns of an overlapping copy there, -Wrestrict.)
    const auto at = [&](const char* name) { return std::string("'") + (dir / name).string() + "'"; };
    const std::string settings = " --step 30 --shots 2 --seed 7 --limit --marker-velocity 0.5 -0.25 --threads 2";
    for (const char* run : {"--map whole.csv", "--map whole.png", "--map a.csv --rows 0-3", "--map b.csv --rows 4-4",
                            "--map c.csv --rows 5-9", "--map other.csv --rows 4-4 --step 30 --shots 2 --seed 8"}) {
        const std::string name = std::string(run).substr(6, std::string(run).find(' ', 6) - 6);
        const std::string options = std::string(run).substr(6 + name.size());
        const bool own = options.find("--seed 8") != std::string::npos;
        ASSERT_EQ(RunSim("--map " + at(name.c_str()) + options + (own ? "" : settings)).Status, 0) << run;
    }
    ASSERT_EQ(
        RunSim("--join-map " + at("joined.csv") + " " + at("c.csv") + " " + at("a.csv") + " " + at("b.csv")).Status, 0);
    EXPECT_EQ(ReadAll(dir / "joined.csv"), ReadAll(dir / "whole.csv"));
    ASSERT_EQ(
        RunSim("--join-map " + at("joined.png") + " " + at("a.csv") + " " + at("b.csv") + " " + at("c.csv")).Status, 0);
    EXPECT_EQ(ReadAll(dir / "joined.png"), ReadAll(dir / "whole.png"));
    // A picture says what made it, as its CSV's first line does.
    EXPECT_EQ(QImage(QString::fromStdString((dir / "whole.png").string())).text("Source").toStdString(),
              "map --step 30 --shots 2 --seed 7 --limit --marker-velocity 0.5 -0.25");

    std::ofstream(dir / "cut.csv") << ReadAll(dir / "c.csv").substr(0, 900);
    const std::string a = (dir / "a.csv").string(), b = (dir / "b.csv").string(), c = (dir / "c.csv").string();
    const std::vector<std::pair<std::string, std::string>> misfits = {
        {at("a.csv") + " " + at("c.csv"), "rows 4-4 are in no shard (the next, " + c + ", starts at row 5)"},
        {at("a.csv") + " " + at("b.csv") + " " + at("c.csv") + " " + at("b.csv"),
         b + " holds rows 4-4, which overlap those of " + b + " (4-4)"},
        {at("a.csv") + " " + at("other.csv") + " " + at("c.csv"),
         (dir / "other.csv").string() + " was made with other settings (--step 30 --shots 2 --seed 8) than " + a +
             " (--step 30 --shots 2 --seed 7 --limit --marker-velocity 0.5 -0.25)"},
        {at("a.csv") + " " + at("b.csv") + " " + at("cut.csv"),
         (dir / "cut.csv").string() + ": it ends part way through row 5 of the grid, at line 31 (cut short?)"},
        {at("whole.csv"), (dir / "whole.csv").string() + ": it is not a shard of a map (made with --rows): its first "
                                                         "line is not \"# homing-sim " HOMING_VERSION_TEXT
                                                         " map shard: rows FIRST-LAST of ROWS; SETTINGS\""},
    };
    for (const auto& [shards, message] : misfits) {
        const RunResult refused = RunSim("--join-map " + at("refused.csv") + " " + shards);
        EXPECT_EQ(refused.Status, 2) << shards;
        EXPECT_EQ(refused.Err, "homing-sim: " + message + "\n") << shards;
        EXPECT_FALSE(std::filesystem::exists(dir / "refused.csv")) << shards;
    }

    // A join is a check: every figure as the runner writes it, in range, and
    // the settings' own (a place flown again), each fault named by its line in the file.
    const auto edited = [&](const char* name, const std::string& from, const std::string& to, std::size_t after) {
        std::string text = ReadAll(dir / "a.csv");
        text.replace(text.find(from, after), from.size(), to);
        std::ofstream(dir / name, std::ios::binary) << text;
    };
    const std::size_t line3 = ReadAll(dir / "a.csv").find("\n0,0,0,") + 1;
    edited("caught.csv", "0,0,0,2,", "0,0,0,2,9", line3);
    edited("padded.csv", "0,0,0,2,", "0,0,0,02,", line3);
    for (const char* shard : {"a", "b", "c"}) { // every shard's settings edited alike
        std::string text = ReadAll(dir / (std::string(shard) + ".csv"));
        text.replace(text.find("--seed 7"), 8, "--seed 9");
        std::ofstream(dir / (std::string("seed9") + shard + ".csv"), std::ios::binary) << text;
    }
    std::ofstream(dir / "crlf.csv", std::ios::binary)
        << ReadAll(dir / "c.csv").insert(ReadAll(dir / "c.csv").size() - 1, "\r");
    const std::string rest = " " + at("b.csv") + " " + at("c.csv");
    for (const auto& [shards, fault] : std::vector<std::pair<std::string, std::string>>{
             {at("caught.csv") + rest, "caught.csv: line 3 says more caught ("},
             {at("padded.csv") + rest, "padded.csv: line 3 is not written as homing-sim writes it: "},
             {at("seed9a.csv") + " " + at("seed9b.csv") + " " + at("seed9c.csv"),
              "seed9a.csv: line 3 is not what its settings give when that place is flown again"},
             {at("a.csv") + " " + at("b.csv") + " " + at("crlf.csv"),
              "crlf.csv: line 452 ends in a carriage return (a DOS line end)"}}) {
        const RunResult refused = RunSim("--join-map " + at("refused.csv") + " " + shards);
        EXPECT_EQ(refused.Status, 2) << shards;
        EXPECT_NE(refused.Err.find(fault), std::string::npos) << refused.Err;
        EXPECT_FALSE(std::filesystem::exists(dir / "refused.csv")) << shards;
    }
    // Nor is a shard its output, by any name; a named pipe is waited on aloud.
    std::filesystem::copy_file(dir / "a.csv", dir / "a2.csv");
    std::filesystem::create_symlink(dir / "a2.csv", dir / "link.csv");
    const RunResult itself = RunSim("--join-map " + at("link.csv") + " " + at("a2.csv") + rest);
    EXPECT_EQ(itself.Status, 2);
    EXPECT_NE(itself.Err.find("the joined map would overwrite it"), std::string::npos) << itself.Err;
    EXPECT_EQ(ReadAll(dir / "a2.csv"), ReadAll(dir / "a.csv"));
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const RunResult waiting =
        RunShell("\"$SIM\" --join-map " + at("piped.csv") + " " + at("fifo") + " & sleep 0.5; kill $!");
    EXPECT_NE(waiting.Err.find("waiting for a writer of the named pipe"), std::string::npos) << waiting.Err;
    const RunResult script = RunShell("\"$SIM\" " + at("fifo") + " & sleep 0.5; kill $!");
    EXPECT_NE(script.Err.find("waiting for a writer of the named pipe"), std::string::npos) << script.Err;
}

// Every output is checked before the work it would throw away: a map of the
// whole grid towards a missing folder is refused at once (computed, it would
// run for minutes). Output that cannot be written at the end is exit 1, not
// bad input; a map needs no standard output; its progress line ends at 100 %.
TEST(RunnerStudy, OutputsAreCheckedFirstAndTheirFailuresAreExit1)
{
    const RunResult missing = RunSim("--map /nonexistent-dir/m.png --step 1 --shots 256");
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "homing-sim: cannot write /nonexistent-dir/m.png: No such file or directory\n");

    const auto dir = TempDir() / "outputs";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string compare = (dir / "c.png").string(), map = (dir / "m.csv").string();
    const RunResult tooLarge = RunShell("ulimit -f 1; printf 'frames 30\\n' | $SIM --compare '" + compare + "'");
    EXPECT_EQ(tooLarge.Status, 1) << tooLarge.Err;
    EXPECT_EQ(tooLarge.Err, "homing-sim: cannot write " + compare + ": File too large\n");

    const RunResult closed = RunShell("$SIM --map '" + map + "' --step 150 --shots 1 >&-");
    EXPECT_EQ(closed.Status, 0) << closed.Err;
    const std::string terminal = (dir / "terminal.txt").string();
    const RunResult progress = RunShell("script -qec \"$SIM --map '" + map +
                                        "' --step 60 --shots 1 --threads 64\" /dev/null > '" + terminal + "'");
    EXPECT_EQ(progress.Status, 0);
    EXPECT_TRUE(ReadAll(terminal).ends_with("map 100 %, about 0 s left  \r\n")) << ReadAll(terminal);
}

TEST(RunnerStudy, MapWritesItsTableAndRefusesBadSettings)
{
    const auto dir = TempDir();
    const std::string csv = (dir / "map.csv").string();
    std::filesystem::remove(csv);
    const RunResult made = RunSim("--map '" + csv + "' --step 100 --shots 2 --seed 5 --limit --threads 2");
    EXPECT_EQ(made.Status, 0) << made.Err;
    const std::string table = ReadAll(csv);
    // What made it first, a comment to a CSV reader, without the file's name: the same settings, the same bytes.
    EXPECT_EQ(table.rfind("# homing-sim " HOMING_VERSION_TEXT " map --step 100 --shots 2 --seed 5 --limit\n"
                          "x,y,method,shots,caught,median,p90,mean,miss\n",
                          0),
              0u);
    EXPECT_EQ(CountLines(table), 2 + 3 * 3 * SteeringModeCount); // places 0, 100, 200 across and down
    EXPECT_EQ(RunSim("--map '" + csv + "' --step 100 --shots 2 --seed 5 --limit --threads 1").Status, 0);
    EXPECT_EQ(ReadAll(csv), table); // replaced, the same for one thread

    const std::string other = (dir / "notes.csv").string();
    std::ofstream(other) << "name,value\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--map", "--map needs the path of the picture (.png) or table (.csv) to write"},
        {"--map m.txt", "m.txt does not end in .png or .csv: a map is written as a picture or a table"},
        {"--map '" + other + "'", other + " exists and is not a capture map's CSV (or a shard of one): an existing "
                                          "file is replaced only when it is empty or of the kind written there"},
        {"--map m.csv --step 0", "--step must be a whole number from 1 to 300, got 0"},
        {"--map m.csv --step", "--step must be a whole number from 1 to 300, got nothing"},
        {"--map m.csv --hold speed=0.1 --hold speed=0.2", "--hold is given twice"},
        {"--map m.csv --shots 257", "--shots must be a whole number from 1 to 256, got 257"},
        {"--map m.csv --draws 1", "--draws must lie in [0, 1), got 1"},
        {"--map m.csv --marker-velocity 1 x", "--marker-velocity VY must be a finite number, got x"},
        {"--step 5", "--step is a setting of --map"},
        {"--map m.csv s.txt", "--map takes no SCRIPT: its settings are options (see --help)"},
        {"--summary --map m.csv", "--summary and --map cannot be combined"},
        {"--map a.csv --map b.csv", "--map is given twice"},
        {"--map m.csv --marker-motion circle 30 0", "--marker-motion circle PERIOD must be more than 0, got 0"},
        {"--map m.csv --marker-motion spiral 1", "--marker-motion must be line VX VY, circle RADIUS PERIOD, weave "
                                                 "AMPLITUDE PERIOD, flee SPEED or jink FRAME SPEED, got spiral"},
        {"--map m.csv --hold turn=1", "--hold must be DRAW=R with DRAW speed, heading, turn, acceleration, limit or "
                                      "gain and R in [0, 1), got turn=1"},
        {"--values 5", "--values is a setting of --sweep"},
        {"--sweep s.csv --rows 0-1", "--rows is a setting of --map"},
        {"--sweep s.csv --values 0", "--values must be a whole number from 1 to 100, got 0"},
        {"--map .csv", ".csv has no name before .csv"},
        // Each setting once, as the window takes each option once.
        {"--map m.csv --step 100 --step 50", "--step is given twice"},
        {"--map m.csv --marker-velocity 1 0 --marker-motion flee 2",
         "--marker-motion gives the marker's motion, given already"},
        {"--sweep s.csv --values 5 --values 7", "--values is given twice"},
        {"--sweep s.csv --hold turn=0.05", "--hold is not a setting of --sweep: a sweep holds each draw in turn (a "
                                           "map holds one)"},
        {"--map m.csv --marker-velocity 3e38 0",
         "--marker-velocity carries the marker past the largest float within a shot's life of 500 frames"},
    };
    for (const auto& [arguments, message] : cases) {
        const RunResult refused = RunSim(arguments);
        EXPECT_EQ(refused.Status, 2) << arguments;
        EXPECT_EQ(refused.Err, "homing-sim: " + message + "\n") << arguments;
    }
    EXPECT_EQ(ReadAll(other), "name,value\n"); // untouched
}

// A run that writes to standard output fails when it is closed, whatever
// else is closed with it (the messages' /dev/null must not become the
// output); a map, which writes none, still runs.
TEST(RunnerCli, AClosedStandardOutputIsAFailureEvenWithNoStandardError)
{
    const std::string script = "printf 'seed 5\\nmode 7\\nmove 60 200\\nframes 300\\n' | ";
    for (const char* run : {"$SIM", "$SIM --summary", "$SIM --version", "$SIM --help"})
        EXPECT_EQ(RunShell(script + run + " 2>&- >&-").Status, 1) << run;
    const std::string map = (TempDir() / "closed.csv").string();
    EXPECT_EQ(RunShell("$SIM --map '" + map + "' --step 150 --shots 1 2>&- >&-").Status, 0);
    EXPECT_EQ(RunShell("$SIM --version > /dev/full").Err, "homing-sim: cannot write the version: No space left on "
                                                          "device\n");
}

// Threads the system will not start (a memory limit) leave their rows to those
// that did: the same map, and one line that says so.
TEST(RunnerStudy, RefusedThreadsLeaveTheirWorkToThoseThatStart)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#endif
    const std::string one = (TempDir() / "threads1.csv").string(), many = (TempDir() / "threads256.csv").string();
    const std::string settings = " --step 25 --shots 4";
    ASSERT_EQ(RunSim("--map '" + one + "'" + settings + " --threads 1").Status, 0);
    const RunResult limited = RunShell("ulimit -v 600000; $SIM --map '" + many + "'" + settings + " --threads 256");
    ASSERT_EQ(limited.Status, 0) << limited.Err;
    EXPECT_EQ(CountLines(limited.Err), 1);
    EXPECT_NE(limited.Err.find(" of the 256 threads asked for could start; the map ran on "), std::string::npos)
        << limited.Err;
    EXPECT_EQ(ReadAll(many), ReadAll(one));
}

// A join takes only what one run could have written: every relation between a
// place's figures is checked (what `shots` whole-frame catches and misses of
// at least the catch radius give), shards say the version that made them, and
// -0 is 0 in the settings.
TEST(RunnerStudy, AJoinRefusesFiguresNoRunGivesAndOtherVersions)
{
    const auto dir = TempDir() / "forged";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string shard = (dir / "shard.csv").string(), out = (dir / "joined.csv").string();
    ASSERT_EQ(RunSim("--map '" + shard + "' --rows 0-2 --step 100 --shots 4 --hold gain=-0").Status, 0);
    const std::string text = ReadAll(shard);
    EXPECT_NE(text.find("--hold gain=0\n"), std::string::npos) << text.substr(0, 120);
    ASSERT_EQ(RunSim("--join-map '" + out + "' '" + shard + "'").Status, 0);

    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    const auto fields = [](const std::string& line) {
        std::vector<std::string> split;
        std::stringstream in(line);
        for (std::string field; std::getline(in, field, ',');)
            split.push_back(field);
        if (line.ends_with(','))
            split.push_back("");
        return split;
    };
    const auto joined = [](const std::vector<std::string>& f) {
        std::string line;
        for (std::size_t n = 0; n < f.size(); ++n)
            line += (n ? "," : "") + f[n];
        return line;
    };
    // One row all caught with a median below its 90th percentile, one with misses.
    std::size_t allCaught = 0, someMissed = 0;
    for (std::size_t n = 2; n < lines.size(); ++n) {
        const std::vector<std::string> f = fields(lines[n]);
        if (!allCaught && f[4] == "4" && std::stoi(f[5]) > 1 && f[5] != f[6])
            allCaught = n;
        if (!someMissed && f[4] != "4")
            someMissed = n;
    }
    ASSERT_TRUE(allCaught && someMissed);
    const std::vector<std::string> caught = fields(lines[allCaught]), missed = fields(lines[someMissed]);
    std::vector<std::pair<std::vector<std::string>, std::size_t>> forgeries;
    const auto forge = [&](std::vector<std::string> f, std::size_t field, const std::string& value, std::size_t line) {
        f[field] = value;
        forgeries.push_back({f, line});
    };
    // A hundredth more, in the "C" locale's text whatever the test's locale.
    double readMean = 0;
    std::from_chars(caught[7].data(), caught[7].data() + caught[7].size(), readMean);
    std::string mean;
    AppendFixed(mean, readMean + 0.01, 2);
    forge(caught, 6, std::to_string(std::stoi(caught[5]) - 1), allCaught); // a 90th percentile below the median
    forge(caught, 6, "", allCaught);                                       // emptied, with every shot caught
    forge(caught, 7, mean, allCaught);                                     // no whole frames over 4 catches
    forge(caught, 7, "1.00", allCaught);                                   // below what its median allows
    forge(missed, 8, "5.00", someMissed);                                  // a miss inside the catch radius
    for (const auto& [f, line] : forgeries) {
        std::vector<std::string> edited = lines;
        edited[line] = joined(f);
        std::string forged;
        for (const std::string& each : edited)
            forged += each + "\n";
        forged.pop_back(); // the text ended with its last row's newline
        std::ofstream((dir / "forged.csv").string(), std::ios::binary) << forged;
        const RunResult refused = RunSim("--join-map '" + out + "' '" + (dir / "forged.csv").string() + "'");
        EXPECT_EQ(refused.Status, 2) << edited[line];
        EXPECT_NE(refused.Err.find(": line " + std::to_string(line + 1) + " has a "), std::string::npos)
            << edited[line] << "\n"
            << refused.Err;
    }

    const auto refusedWith = [&](const std::string& from, const std::string& to) {
        std::string other = text;
        other.replace(0, from.size(), to);
        std::ofstream((dir / "other.csv").string(), std::ios::binary) << other;
        return RunSim("--join-map '" + out + "' '" + (dir / "other.csv").string() + "'").Err;
    };
    const std::string head = "# homing-sim " HOMING_VERSION_TEXT " map shard: rows ";
    EXPECT_NE(refusedWith(head, "# homing-sim 0.9 map shard: rows ").find("it was made by homing-sim 0.9: shards are "),
              std::string::npos);
    EXPECT_NE(refusedWith(head, "# homing-sim map shard: rows ").find("whose shards carry no version"),
              std::string::npos);
    EXPECT_NE(refusedWith(text, text + "\n").find("is blank: a map's CSV ends with its last row"), std::string::npos);
}

// One rule for what every output replaces: an empty file, or one of the kind
// written there; a folder that takes no new file is refused before the work
// (a map of the whole grid would run for minutes first), as output that
// cannot be written.
TEST(RunnerOutput, OneRuleForWhatEveryOutputReplaces)
{
    const auto dir = TempDir() / "rule";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string map = (dir / "map.csv").string(), sweep = (dir / "sweep.csv").string();
    const std::string notes = (dir / "notes.csv").string(), empty = (dir / "empty.png").string();
    ASSERT_EQ(RunSim("--map '" + map + "' --step 150 --shots 1").Status, 0);
    ASSERT_EQ(RunSim("--sweep '" + sweep + "' --step 150 --shots 1 --values 1").Status, 0);
    std::ofstream(notes) << "# homing-sim notes of my own\n";
    std::ofstream(empty).flush();
    const std::string rule = ": an existing file is replaced only when it is empty or of the kind written there\n";
    EXPECT_EQ(RunSim("--sweep '" + map + "' --step 150 --shots 1 --values 1").Err,
              "homing-sim: " + map + " exists and is not a sweep's CSV" + rule);
    EXPECT_EQ(RunSim("--map '" + sweep + "' --step 150 --shots 1").Err,
              "homing-sim: " + sweep + " exists and is not a capture map's CSV (or a shard of one)" + rule);
    EXPECT_EQ(RunSim("--map '" + notes + "' --step 150 --shots 1").Status, 2);
    EXPECT_EQ(ReadAll(notes), "# homing-sim notes of my own\n");
    const RunResult onEmpty = RunSim("", "png " + empty + "\n");
    EXPECT_EQ(onEmpty.Status, 0) << onEmpty.Err;
    EXPECT_EQ(ReadAll(empty).substr(1, 3), "PNG");

    if (std::filesystem::is_directory("/sys/kernel")) {
        const RunResult special = RunSim("--map /sys/kernel/m.csv --step 1 --shots 256");
        EXPECT_EQ(special.Status, 1);
        EXPECT_EQ(special.Err.rfind("homing-sim: cannot write in the folder /sys/kernel (for /sys/kernel/m.csv): ", 0),
                  0u)
            << special.Err;
    }
    const auto entries = std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 4); // no temporary file left by the checks
}

TEST(FloatText, PortableShortestTextIsToCharsText)
{
    // The web build has no floating-point to_chars; its text must be the same.
    const auto check = [](float value) {
        std::string portable, reference;
        AppendFloatPortably(portable, value);
        char text[32];
        reference.assign(text, std::to_chars(text, text + sizeof text, value).ptr);
        return portable == reference ? ::testing::AssertionSuccess()
                                     : ::testing::AssertionFailure() << portable << " for " << reference;
    };
    std::uint32_t bits = 12345;
    for (int n = 0; n < 500000; ++n) {
        bits = bits * 1664525u + 1013904223u;
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            ASSERT_TRUE(check(value));
        }
    }
    // Powers of two, where a float's rounding interval is lopsided, and their neighbours.
    for (std::uint32_t exponent = 0; exponent < 255; ++exponent)
        for (const std::uint32_t mantissa : {0u, 1u, 2u, 0x7FFFFEu, 0x7FFFFFu}) {
            const std::uint32_t pattern = exponent << 23 | mantissa;
            float value;
            std::memcpy(&value, &pattern, sizeof value);
            ASSERT_TRUE(check(value));
            ASSERT_TRUE(check(-value));
        }
    for (int whole = -3000; whole <= 3000; ++whole) {
        ASSERT_TRUE(check(float(whole)));
        ASSERT_TRUE(check(float(whole) / 8));
        ASSERT_TRUE(check(float(whole) * 0.1f));
    }
    for (const float value : {1e6f, 1e-4f, 123456789.f, 1e10f, 3.4028235e38f, 1e-45f, 1.17549435e-38f})
        ASSERT_TRUE(check(value));
}
