#include "Script.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "FloatText.h"

namespace {

std::vector<std::string_view> Tokens(std::string_view line)
{
    if (const auto hash = line.find('#'); hash != std::string_view::npos)
        line = line.substr(0, hash);
    std::vector<std::string_view> tokens;
    constexpr std::string_view blanks = " \t\r\n\v\f";
    for (std::size_t at = line.find_first_not_of(blanks); at != std::string_view::npos;) {
        const std::size_t end = line.find_first_of(blanks, at);
        tokens.push_back(line.substr(at, end - at));
        at = line.find_first_not_of(blanks, end == std::string_view::npos ? line.size() : end);
    }
    return tokens;
}

template <typename Number>
bool ParseWhole(std::string_view token, Number& value)
{
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    return error == std::errc() && end == token.data() + token.size();
}

struct LineParser {
    std::vector<std::string_view> Tokens;
    ParsedLine Result;

    std::string_view Name() const { return Tokens[0]; }
    std::size_t Arguments() const { return Tokens.size() - 1; }
    std::string_view Argument(std::size_t n) const { return Tokens[n + 1]; }

    bool Fail(std::string message)
    {
        Result.Kind = ParsedLine::Status::Error;
        Result.Error = std::move(message);
        return false;
    }

    bool Expect(std::size_t count, std::string_view names)
    {
        if (Arguments() == count)
            return true;
        std::string message(Name());
        message += count == 0 ? " takes no arguments"
                              : " takes " + std::to_string(count) + " argument" + (count == 1 ? "" : "s") + " (" +
                                    std::string(names) + ")";
        return Fail(message + ", got " + std::to_string(Arguments()));
    }

    bool Invalid(std::string_view what, std::string_view token)
    {
        return Fail(std::string(what) + ", got " + Quoted(token));
    }

    bool Parse();
};

bool LineParser::Parse()
{
    Command& command = Result.Parsed;
    const std::string_view name = Name();
    if (name == "seed") {
        command.Kind = CommandKind::Seed;
        return Expect(1, "N") && (ParseWhole(Argument(0), command.Number) ||
                                  Invalid("seed must be a whole number from 0 to 18446744073709551615", Argument(0)));
    }
    if (name == "random") {
        command.Kind = CommandKind::Random;
        if (Arguments() == 0)
            return Fail("random takes at least 1 value, got 0");
        for (std::size_t n = 0; n < Arguments(); ++n) {
            float value = 0;
            if (!ParseFiniteFloat(Argument(n), value) || !(value >= 0 && value < 1))
                return Invalid("random values must lie in [0, 1) as 32-bit floats", Argument(n));
            command.Values.push_back(value);
        }
        return true;
    }
    if (name == "mode") {
        command.Kind = CommandKind::Mode;
        int mode = -1;
        if (!Expect(1, "M"))
            return false;
        if (!ParseWhole(Argument(0), mode) || mode < 0 || mode >= SteeringModeCount)
            return Invalid("mode must be 0 to 5", Argument(0));
        command.Mode = static_cast<SteeringMode>(mode);
        return true;
    }
    if (name == "move") {
        command.Kind = CommandKind::Move;
        return Expect(2, "X Y") &&
               (ParseFiniteFloat(Argument(0), command.X) || Invalid("move X must be a finite decimal", Argument(0))) &&
               (ParseFiniteFloat(Argument(1), command.Y) || Invalid("move Y must be a finite decimal", Argument(1)));
    }
    if (name == "press") {
        command.Kind = CommandKind::Press;
        if (!Expect(1, "left, right or middle"))
            return false;
        const std::string_view button = Argument(0);
        if (button == "left")
            command.Button = MouseButton::Left;
        else if (button == "right")
            command.Button = MouseButton::Right;
        else if (button == "middle")
            command.Button = MouseButton::Middle;
        else
            return Invalid("press must be left, right or middle", button);
        return true;
    }
    if (name == "limit") {
        command.Kind = CommandKind::Limit;
        return Expect(0, "");
    }
    if (name == "vectors") {
        command.Kind = CommandKind::Vectors;
        return Expect(0, "");
    }
    if (name == "frames") {
        command.Kind = CommandKind::Frames;
        return Expect(1, "N") && (ParseWhole(Argument(0), command.Number) ||
                                  Invalid("frames must be a whole number, 0 or more", Argument(0)));
    }
    if (name == "png" || name == "trail") {
        command.Kind = name == "png" ? CommandKind::Png : CommandKind::Trail;
        if (!Expect(1, "PATH"))
            return false;
        command.Path = std::string(Argument(0));
        if (std::string bad = PictureNameError(command.Path); !bad.empty())
            return Fail(bad);
        return true;
    }
    return Fail("unknown command " + Quoted(name));
}

} // namespace

ParsedLine ParseLine(std::string_view line)
{
    LineParser parser{Tokens(line), {}};
    if (parser.Tokens.empty())
        return {};
    parser.Result.Kind = ParsedLine::Status::Ok;
    parser.Parse();
    return std::move(parser.Result);
}

std::string CommandLine(const Command& command)
{
    std::string line;
    switch (command.Kind) {
    case CommandKind::Seed: line = "seed " + std::to_string(command.Number); break;
    case CommandKind::Random:
        line = "random";
        for (const float value : command.Values) {
            line += ' ';
            AppendFloat(line, value);
        }
        break;
    case CommandKind::Mode: line = "mode " + std::to_string(int(command.Mode)); break;
    case CommandKind::Move:
        line = "move ";
        AppendFloat(line, command.X);
        line += ' ';
        AppendFloat(line, command.Y);
        break;
    case CommandKind::Press:
        line = command.Button == MouseButton::Left    ? "press left"
               : command.Button == MouseButton::Right ? "press right"
                                                      : "press middle";
        break;
    case CommandKind::Limit: line = "limit"; break;
    case CommandKind::Vectors: line = "vectors"; break;
    case CommandKind::Frames: line = "frames " + std::to_string(command.Number); break;
    case CommandKind::Png: line = "png " + command.Path; break;
    case CommandKind::Trail: line = "trail " + command.Path; break;
    }
    return line + '\n';
}

std::string PictureNameError(const std::string& path)
{
    if (!path.ends_with(".png"))
        return QuotedPath(path) + " does not end in .png: pictures are written only to .png files";
    if (path == ".png" || path.ends_with("/.png"))
        return QuotedPath(path) + " has no name before .png";
    return {};
}

std::string LineMessage(long number, const std::string& error)
{
    return "line " + std::to_string(number) + ": " + error;
}

namespace {

/// The length of the UTF-8 sequence at the start of `text`, or 0 when it is not one.
std::size_t Utf8Length(std::string_view text)
{
    const auto byte = [&](std::size_t n) { return static_cast<unsigned char>(text[n]); };
    const unsigned char lead = byte(0);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (std::size_t n = 1; n < length; ++n)
        if ((byte(n) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) || (lead == 0xF0 && byte(1) < 0x90) ||
        (lead == 0xF4 && byte(1) > 0x8F))
        return 0;
    return length;
}

/// `token` with every byte that is not printable UTF-8 as \xNN, cut to
/// `most` characters and "..." when longer.
std::string Escaped(std::string_view token, std::size_t most)
{
    std::string quoted;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < token.size(); ++characters) {
        if (characters == most)
            return quoted + "...";
        const unsigned char c = static_cast<unsigned char>(token[at]);
        const std::size_t length = Utf8Length(token.substr(at));
        if (length == 0 || c < 0x20 || c == 0x7F) {
            static constexpr char Hex[] = "0123456789abcdef";
            quoted += {'\\', 'x', Hex[c >> 4], Hex[c & 15]};
            ++at;
        } else {
            quoted.append(token.substr(at, length));
            at += length;
        }
    }
    return quoted;
}

} // namespace

std::string Quoted(std::string_view token) { return Escaped(token, 60); }

std::string QuotedPath(std::string_view path) { return Escaped(path, std::string_view::npos); }

ScriptInput::~ScriptInput()
{
    if (File && Owned)
        std::fclose(File);
}

namespace {

long long ChangedAt(const struct stat& status)
{
    return static_cast<long long>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}

std::string ReadError(const ScriptInput& input, int error)
{
    return "cannot read " + input.Name + ": " + std::strerror(error ? error : EIO);
}

/// An anonymous file in $TMPDIR, or /tmp: gone as soon as it is closed.
std::FILE* AnonymousFile()
{
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/homing-script-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return nullptr;
    ::unlink(name.c_str());
    std::FILE* file = ::fdopen(fd, "w+");
    if (!file)
        ::close(fd);
    return file;
}

/// Follows the length of the line being read through `size` more bytes; it
/// stops, past MaxLineBytes, at the first line that is too long.
void CountLineLength(const char* data, std::size_t size, std::size_t& lineLength)
{
    const char* const end = data + size;
    while (lineLength <= MaxLineBytes) {
        const char* newline = static_cast<const char*>(std::memchr(data, '\n', std::size_t(end - data)));
        lineLength += std::size_t((newline ? newline : end) - data);
        if (!newline || lineLength > MaxLineBytes)
            return;
        lineLength = 0;
        data = newline + 1;
    }
}

/// Copies what is left of `from` into an anonymous file, at most
/// MaxSpoolBytes. A line longer than MaxLineBytes ends the copy at once: the
/// first reading stops at that line anyway, and so input that never ends in
/// a newline (/dev/zero) is refused in bounded time and space.
std::string Spool(std::FILE* from, ScriptInput& input)
{
    input.File = AnonymousFile();
    if (!input.File)
        return "cannot keep a copy of " + input.Name + ": " + std::strerror(errno);
    input.Owned = true;
    std::vector<char> chunk(1 << 16);
    long long kept = 0;
    std::size_t lineLength = 0; ///< bytes since the last newline
    std::size_t got;
    while (lineLength <= MaxLineBytes && (got = std::fread(chunk.data(), 1, chunk.size(), from)) > 0) {
        if (kept + static_cast<long long>(got) > MaxSpoolBytes)
            return input.Name + " holds more than " + std::to_string(MaxSpoolBytes >> 20) +
                   " MiB of script: save it to a file and name the file";
        if (std::fwrite(chunk.data(), 1, got, input.File) != got)
            return "cannot keep a copy of " + input.Name + ": " + std::strerror(errno);
        kept += static_cast<long long>(got);
        CountLineLength(chunk.data(), got, lineLength);
    }
    if (std::ferror(from))
        return ReadError(input, errno);
    if (std::fflush(input.File) != 0)
        return "cannot keep a copy of " + input.Name + ": " + std::strerror(errno);
    return {};
}

} // namespace

std::string OpenScript(const char* path, ScriptInput& input)
{
    const bool standardInput = std::strcmp(path, "-") == 0;
    input.Name = standardInput ? "standard input" : QuotedPath(path);
    std::FILE* file = standardInput ? stdin : std::fopen(path, "r");
    if (!file)
        return "cannot open " + input.Name + ": " + std::strerror(errno);
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
        if (!standardInput)
            std::fclose(file);
        return ReadError(input, error);
    }
    if (S_ISREG(status.st_mode)) {
        input.File = file;
        input.Owned = !standardInput;
        input.Start = std::max<long long>(0, ftello(file));
        input.Size = status.st_size;
        input.ChangedAt = ChangedAt(status);
        return {};
    }
    std::string error = Spool(file, input);
    if (!standardInput)
        std::fclose(file);
    return error;
}

std::string ScriptFromText(std::string_view text, ScriptInput& input)
{
    input.Name = "the script";
    input.Text = std::string(text); // read from memory: no file, which a web page may lack
    return {};
}

std::string ScriptReader::Start(ScriptInput& input)
{
    Input = &input;
    Check = {};
    ReadError.clear();
    Number = 0;
    TextAt = 0;
    BlockAt = BlockEnd = 0;
    if (!input.File)
        return {};
    Block.resize(1 << 16);
    if (fseeko(input.File, input.Start, SEEK_SET) != 0)
        return ReadError = ::ReadError(input, errno);
    std::clearerr(input.File);
    Changed();
    return ReadError;
}

bool ScriptReader::Changed()
{
    struct stat status {};
    if (!Input || !Input->File || Input->Size < 0 || ::fstat(fileno(Input->File), &status) != 0 ||
        (status.st_size == Input->Size && ChangedAt(status) == Input->ChangedAt))
        return false;
    ReadError = Input->Name + " changed while it was read, at line " + std::to_string(Number + 1);
    return true;
}

ScriptReader::LineRead ScriptReader::NextLine(std::string_view& line)
{
    if (Input->File)
        return NextFileLine(line);
    const std::string& text = Input->Text;
    if (TextAt >= text.size())
        return LineRead::End;
    const std::size_t end = std::min(text.find('\n', TextAt), text.size());
    if (end - TextAt > MaxLineBytes)
        return LineRead::TooLong;
    line = std::string_view(text).substr(TextAt, end - TextAt);
    TextAt = end + 1;
    return LineRead::Line;
}

/// The next line of the file, its newline included, gathered block by block
/// and given up as soon as it passes MaxLineBytes.
ScriptReader::LineRead ScriptReader::NextFileLine(std::string_view& line)
{
    Line.clear();
    for (;;) {
        if (BlockAt == BlockEnd) {
            BlockAt = 0;
            BlockEnd = std::fread(Block.data(), 1, Block.size(), Input->File);
            if (Changed())
                return LineRead::End;
            if (BlockEnd == 0) {
                if (std::ferror(Input->File))
                    ReadError = ::ReadError(*Input, errno);
                line = Line;
                return Line.empty() || !ReadError.empty() ? LineRead::End : LineRead::Line;
            }
        }
        const char* from = Block.data() + BlockAt;
        const auto* newline = static_cast<const char*>(std::memchr(from, '\n', BlockEnd - BlockAt));
        const std::size_t take = newline ? std::size_t(newline - from) + 1 : BlockEnd - BlockAt;
        if (Line.size() + take - (newline ? 1 : 0) > MaxLineBytes)
            return LineRead::TooLong;
        Line.append(from, take);
        BlockAt += take;
        if (newline) {
            line = Line;
            return LineRead::Line;
        }
    }
}

bool ScriptReader::Next(long& number, Command& command)
{
    while (Input && Check.BadLine == 0 && ReadError.empty()) {
        std::string_view line;
        const LineRead read = NextLine(line);
        if (read == LineRead::End)
            return false;
        ++Number;
        if (read == LineRead::TooLong) {
            Check.BadLine = Number;
            Check.Error = "longer than " + std::to_string(MaxLineBytes) + " bytes";
            return false;
        }
        if (Number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3); // a byte-order mark, as Windows editors write
        ParsedLine parsed = ParseLine(line);
        if (parsed.Kind == ParsedLine::Status::Error) {
            Check.BadLine = Number;
            Check.Error = std::move(parsed.Error);
            return false;
        }
        if (parsed.Kind == ParsedLine::Status::Empty)
            continue;
        Check.UsesTrail = Check.UsesTrail || parsed.Parsed.Kind == CommandKind::Trail;
        number = Number;
        command = std::move(parsed.Parsed);
        return true;
    }
    return false;
}

std::string ForEachCommand(ScriptInput& input, ScriptCheck& check,
                           const std::function<std::string(long number, const Command& command)>& visit)
{
    ScriptReader reader;
    std::string error = reader.Start(input);
    long number = 0;
    Command command;
    while (error.empty() && reader.Next(number, command))
        error = visit(number, command);
    check = reader.Check;
    return error.empty() ? reader.ReadError : error;
}

std::string CheckScript(ScriptInput& input, ScriptCheck& check)
{
    return ForEachCommand(input, check, [](long, const Command&) { return std::string(); });
}

const char* const ScriptHelp = R"(Usage: homing-sim [SCRIPT]
       homing-sim --summary [SCRIPT]
       homing-sim --compare OUT.png [SCRIPT]
       homing-sim --map OUT.png|OUT.csv [MAP SETTINGS]
       homing-sim --help | --version

Runs a scenario script on one world, without a window, and writes a CSV trace
to standard output. SCRIPT is a file; without it, or with -, the script is read
from standard input. The world starts as the window's does once it has loaded:
mode 0, speed limit off, velocity lines on, marker at (0, 0), no shots.

  --summary          instead of the trace, one CSV row per shot launched:
                     shot,slot,mode,launch_frame,end_frame,outcome,frames,
                     path_length,closest,max_turn,circled,speed,angle,turn
                     (outcome: hit, expired, cleared or flying, when still
                     flying at the end; path_length and closest in pixels;
                     max_turn, the largest change of direction between two
                     frames, in degrees; circled: yes when its direction
                     turned through more than 360 degrees in one sense)
  --compare OUT.png  run the script's inputs once under each of the six methods
                     (its mode, png and trail lines are ignored; every run
                     starts from the same world and draws the same random
                     values) and write their trails side by side to OUT.png,
                     with shots launched, caught, expired and still flying and
                     the median frames to catch, also printed as a table
  --map OUT.png      a capture map: for every place the marker could stand,
  --map OUT.csv      what happens to shots launched towards it, each method in
                     its own panel. A place's colour is the median frames from
                     launch to the catch (uncaught shots counting as never),
                     0 to 500 on a perceptually uniform scale; grey, darker
                     the fewer, where fewer than half are caught. Each shot
                     flies alone from launch, in a world as the window's after
                     `mode M`, `move X Y`: the same shot as the first one of
                     that script with the shot's own seed. OUT.csv has a row
                     per place and method: x,y,method,shots,caught,median,
                     p90,mean (median and p90 empty when not defined, mean of
                     the caught shots). Settings:
    --step N         pixels between places, across and down (1, the default:
                     every pixel; up to 300)
    --shots N        shots per place and method (default 32, up to 256)
    --seed N         every shot's own seed is made from N and its place,
                     method and number (default 1), so a map is reproducible
                     and any place can be recomputed alone
    --draws R        every random draw is R, in [0, 1), instead: the geometry
                     of one typical shot
    --limit          the speed limit on (modes 4 and 5)
    --marker-velocity VX VY  the marker moves from its place by (VX, VY)
                     pixels a frame from the launch on
    --threads N      threads to use (default: one per core); the map is the
                     same for any number
                     While it runs on a terminal, a line on standard error
                     shows how far it is.

Script: one command per line; tokens separated by blanks; # starts a comment
anywhere on a line, so no token (a path included) can hold a #.

  seed N             seed the random generator with the whole number N
                     (without it, it is seeded from the clock)
  random V1 V2 ...   queue exact values for the random source, each in [0, 1);
                     queued values are drawn first, in order
  mode M             click option button M (0 to 5): set the steering mode and
                     clear all shots
                       0 per-axis chase       3 vector turn chase
                       1 direct chase         4 per-axis accelerating chase
                       2 angle chase          5 accelerating chase
  move X Y           move the pointer over the playfield to (X, Y), in pixels
  press BUTTON       press left, right or middle on the playfield
                     (right and middle clear the shots)
  limit              click the speed-limit check box
  vectors            click the velocity-lines check box
  frames N           run N frames, writing the trace rows after each
  png PATH           save the playfield as the window would show it now
  trail PATH         save the path of every shot so far over the playfield, a
                     dot where a shot was caught and a cross where it expired,
                     over the marker's own path in grey
  PATH must end in .png; an existing file there is replaced only if it is a
  PNG picture you may write, never a directory, device, pipe or socket; it
  keeps its permissions.

A line holds at most 4096 bytes; standard input is copied to $TMPDIR (or
/tmp), at most 256 MiB; at most 1048576 random values may wait to be drawn.

Trace: frame,slot,state,age,x,y,vx,vy,speed,angle,turn
  one row after each frame for every slot that was flying at that frame's hit
  test or ended its life in it; floats are written as the shortest decimal
  that reads back to the same 32-bit float.
  frame     the frame count, from 1; a shot is launched on every tenth frame
  slot      the shot's slot, 0 to 20 (the lowest free one at launch)
  state     flying, hit (caught within 16 pixels, this frame) or expired
            (reached age 500, this frame)
  age       frames flown, 1 in the frame of its launch
  x, y      position after this frame's move, pixels (y down)
  vx, vy    velocity of this frame's move, pixels per frame
  speed     modes 0 to 3: the shot's speed, pixels per frame; modes 4 and 5:
            its acceleration, pixels per frame per frame
  angle     mode 2: its heading, degrees from the x axis towards y (it turns
            with the shot); mode 3: the random heading it was launched at,
            never updated; modes 4 and 5: its speed limit, pixels per frame;
            modes 0 and 1: unused (left from the slot's earlier shots)
  turn      modes 2 and 3: its turn rate, degrees per frame; modes 0, 1, 4
            and 5: unused (left from the slot's earlier shots)

Every output (a png or trail line's picture, --compare's or --map's) is
checked before anything runs. Numbers are read and written the same way in
every locale.

Exit status: 0 on success; 1 when an output cannot be written (a full disk, a
file-size limit), with one line on standard error; 2 on a bad script, argument
or file, with one line on standard error naming the line and what is wrong. A
reader that stops early (| head) ends it quietly by SIGPIPE, as any filter.
)";
