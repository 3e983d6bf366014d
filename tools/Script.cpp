#include "Script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

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

/// A decimal rounded once, directly, to a float; infinities and NaN refused.
bool ParseFiniteFloat(std::string_view token, float& value)
{
    const auto [end, error] =
        std::from_chars(token.data(), token.data() + token.size(), value, std::chars_format::general);
    return error == std::errc() && end == token.data() + token.size() && std::isfinite(value);
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
        return Fail(std::string(what) + ", got " + std::string(token));
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
        return true;
    }
    return Fail("unknown command " + std::string(name));
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

bool Script::Uses(CommandKind kind) const
{
    return std::any_of(Commands.begin(), Commands.end(), [kind](const auto& c) { return c.second.Kind == kind; });
}

Script ParseScript(std::string_view text)
{
    Script script;
    long number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        ++number;
        ParsedLine line = ParseLine(text.substr(at, end - at));
        if (line.Kind == ParsedLine::Status::Error) {
            script.BadLine = number;
            script.Error = std::move(line.Error);
            break;
        }
        if (line.Kind == ParsedLine::Status::Ok)
            script.Commands.emplace_back(number, std::move(line.Parsed));
        at = end + 1;
    }
    return script;
}

const char* const ScriptHelp = R"(Usage: homing-sim [SCRIPT]
       homing-sim --summary [SCRIPT]
       homing-sim --compare OUT.png [SCRIPT]
       homing-sim --help

Runs a scenario script on one world, without a window, and writes a CSV trace
to standard output. SCRIPT is a file; without it, or with -, the script is read
from standard input. The world starts as the window's does once it has loaded:
mode 0, speed limit off, velocity lines on, marker at (0, 0), no shots.

  --summary          instead of the trace, one CSV row per shot launched:
                     shot,slot,mode,launch_frame,end_frame,outcome,frames,
                     path_length,closest,max_turn,circled,speed,angle,turn
                     (outcome: hit, expired, cleared or flying; path_length and
                     closest in pixels; max_turn, the largest change of
                     direction between two frames, in degrees; circled: yes
                     when its direction turned through more than 360 degrees
                     in one sense)
  --compare OUT.png  run the script's inputs once under each of the six methods
                     (its mode, png and trail lines are ignored; every run
                     starts from the same world and draws the same random
                     values) and write their trails side by side to OUT.png,
                     with shots launched, caught, expired and the median
                     frames to catch, also printed as a table

Script: one command per line; tokens separated by blanks; # starts a comment.

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
  trail PATH         save the path of every shot so far over the playfield,
                     a dot where a shot was caught and a cross where it expired

Trace: frame,slot,state,age,x,y,vx,vy,speed,angle,turn
  one row after each frame for every slot that was flying at that frame's hit
  test or ended its life in it; state is flying, hit or expired; floats are
  written as the shortest decimal that reads back to the same 32-bit float.

Exit status: 0 on success; 2 on a bad script, argument or file, with one line
on standard error naming the line and what is wrong.
)";
