#include "Script.h"

#include <charconv>

#include "FloatText.h"
#include "Quoted.h"

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
            return Invalid("mode must be 0 to " + std::to_string(SteeringModeCount - 1), Argument(0));
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
    if (name == "lag" || name == "noise") {
        const bool lag = name == "lag";
        command.Kind = lag ? CommandKind::Lag : CommandKind::Noise;
        const float most = lag ? MostLag : MostNoise;
        std::string what = std::string(name) + (lag ? " FRAMES" : " DEGREES");
        return Expect(1, lag ? "FRAMES" : "DEGREES") &&
               ((ParseFiniteFloat(Argument(0), command.X) && command.X >= 0 && command.X <= most) ||
                Invalid(what + " must be from 0 to " + FloatText(most), Argument(0)));
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
            return Fail(Quoted(command.Path) + bad); // a token: quoted briefly
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
    case CommandKind::Lag:
    case CommandKind::Noise:
        line = command.Kind == CommandKind::Lag ? "lag " : "noise ";
        AppendFloat(line, command.X + 0.0f); // -0 is 0
        break;
    case CommandKind::Png: line = "png " + command.Path; break;
    case CommandKind::Trail: line = "trail " + command.Path; break;
    }
    return line + '\n';
}

std::string PictureNameError(const std::string& path)
{
    if (!path.ends_with(".png"))
        return " does not end in .png: pictures are written only to .png files";
    if (path == ".png" || path.ends_with("/.png"))
        return " has no name before .png";
    return {};
}

std::string LineMessage(long number, const std::string& error)
{
    return "line " + std::to_string(number) + ": " + error;
}
