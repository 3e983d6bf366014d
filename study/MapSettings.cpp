#include "MapSettings.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "FloatText.h"
#include "Quoted.h"
#include "World.h"

namespace {

/// A whole number in [low, high] from argv[n + 1].
bool WholeArgument(int argc, const char* const* argv, int& n, std::uint64_t low, std::uint64_t high,
                   std::uint64_t& value, std::string& error)
{
    const std::string_view name = argv[n];
    const std::string_view text = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || status != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        error = std::string(name) + " must be a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", " + GotText(text);
        return false;
    }
    ++n;
    return true;
}

bool FloatArgument(int argc, const char* const* argv, int& n, const char* what, float& value, std::string& error)
{
    const std::string_view text = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    if (!ParseFiniteFloat(text, value)) {
        error = std::string(what) + " must be a finite number, " + GotText(text);
        return false;
    }
    if (value == 0)
        value = 0; // -0 flies as 0 does, and is written so: one text for the same map
    ++n;
    return true;
}

/// A length, speed or period of a motion: finite, 0 or more (a period more than 0).
bool MotionArgument(int argc, const char* const* argv, int& n, const std::string& what, bool period, float& value,
                    std::string& error)
{
    if (!FloatArgument(argc, argv, n, what.c_str(), value, error))
        return false;
    if (period ? value > 0 : value >= 0)
        return true;
    error = what + (period ? " must be more than 0" : " must be 0 or more") + ", " + GotText(argv[n]);
    return false;
}

/// A number from 0 to `most`.
bool BoundedArgument(int argc, const char* const* argv, int& n, const char* what, float most, float& value,
                     std::string& error)
{
    if (!FloatArgument(argc, argv, n, what, value, error))
        return false;
    if (value >= 0 && value <= most)
        return true;
    error = std::string(what) + " must be from 0 to " + FloatText(most) + ", " + GotText(argv[n]);
    return false;
}

/// --marker-motion line VX VY | circle RADIUS PERIOD | weave AMPLITUDE PERIOD | flee SPEED
bool ReadMotion(int argc, const char* const* argv, int& n, MapSettings& map, std::string& error)
{
    const std::string_view kind = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    const std::string name = "--marker-motion " + std::string(kind);
    if (kind == "line") {
        ++n;
        map.Motion = MarkerMotion::Line;
        return FloatArgument(argc, argv, n, (name + " VX").c_str(), map.MarkerVX, error) &&
               FloatArgument(argc, argv, n, (name + " VY").c_str(), map.MarkerVY, error);
    }
    if (kind == "circle" || kind == "weave") {
        ++n;
        map.Motion = kind == "circle" ? MarkerMotion::Circle : MarkerMotion::Weave;
        return MotionArgument(argc, argv, n, name + (kind == "circle" ? " RADIUS" : " AMPLITUDE"), false,
                              map.MotionSize, error) &&
               MotionArgument(argc, argv, n, name + " PERIOD", true, map.MotionPeriod, error);
    }
    if (kind == "flee") {
        ++n;
        map.Motion = MarkerMotion::Flee;
        return MotionArgument(argc, argv, n, name + " SPEED", false, map.MotionSize, error);
    }
    if (kind == "jink") {
        ++n;
        map.Motion = MarkerMotion::Jink;
        return MotionArgument(argc, argv, n, name + " FRAME", false, map.MotionPeriod, error) &&
               FloatArgument(argc, argv, n, (name + " SPEED").c_str(), map.MotionSize, error);
    }
    error = "--marker-motion must be line VX VY, circle RADIUS PERIOD, weave AMPLITUDE PERIOD, flee SPEED or jink "
            "FRAME SPEED, " +
            GotText(kind);
    return false;
}

/// The marker's motion keeps it within the float range for a shot's whole
/// life, wherever its place: its positions are stored as floats.
bool StaysInRange(const MapSettings& map, std::string_view name, std::string& error)
{
    const double size = map.MotionSize, place = PlayfieldSize; // the farthest a place lies from 0
    double reach = 0;                                          // how far from its place it can go, pixels
    switch (map.Motion) {
    case MarkerMotion::Line: reach = std::hypot(double(map.MarkerVX), double(map.MarkerVY)) * ShotLife; break;
    case MarkerMotion::Circle:
    case MarkerMotion::Weave: reach = size; break;
    case MarkerMotion::Flee:
    case MarkerMotion::Jink: reach = std::fabs(size) * ShotLife; break;
    }
    if (reach + place <= double(std::numeric_limits<float>::max()))
        return true;
    error = std::string(name) + " carries the marker past the largest float within a shot's life of " +
            std::to_string(ShotLife) + " frames";
    return false;
}

/// "speed, heading, turn, acceleration or limit"
std::string DrawNames()
{
    std::string names;
    for (int draw = 1; draw < int(LaunchDraw::Count); ++draw)
        names += std::string(draw == 1                            ? ""
                             : draw + 1 == int(LaunchDraw::Count) ? " or "
                                                                  : ", ") +
                 LaunchDrawName(LaunchDraw(draw));
    return names;
}

/// --hold DRAW=R
bool ReadHold(int argc, const char* const* argv, int& n, MapSettings& map, std::string& error)
{
    const std::string_view text = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    map.Held = LaunchDraw::None;
    for (int draw = 1; draw < int(LaunchDraw::Count); ++draw)
        if (name == LaunchDrawName(LaunchDraw(draw)))
            map.Held = LaunchDraw(draw);
    if (map.Held == LaunchDraw::None || equals == std::string_view::npos ||
        !ParseFiniteFloat(text.substr(equals + 1), map.HeldValue) || !(map.HeldValue >= 0 && map.HeldValue < 1)) {
        error = "--hold must be DRAW=R with DRAW " + DrawNames() + " and R in [0, 1), " + GotText(text);
        return false;
    }
    if (map.HeldValue == 0)
        map.HeldValue = 0; // -0 is 0
    ++n;
    return true;
}

} // namespace

bool PercentDecoded(std::string_view text, std::string& out)
{
    const auto digit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    for (std::size_t n = 0; n < text.size(); ++n) {
        if (text[n] != '%') {
            out += text[n];
            continue;
        }
        if (n + 2 >= text.size() || digit(text[n + 1]) < 0 || digit(text[n + 2]) < 0)
            return false;
        out += char(digit(text[n + 1]) * 16 + digit(text[n + 2]));
        n += 2;
    }
    return true;
}

int MapGridSize(int step) { return (PlayfieldSize - 1) / (step > 0 ? step : 1) + 1; }

SettingRead ReadMapSetting(int argc, const char* const* argv, int& n, MapSettings& map, std::string& error)
{
    const std::string_view name = argv[n];
    // Each setting once: a second would silently win. The two ways of giving
    // the marker's motion are one setting.
    constexpr std::string_view Names[] = {
        "--limit",           "--step",          "--shots", "--threads", "--seed", "--draws",
        "--marker-velocity", "--marker-motion", "--hold",  "--lag",     "--noise"};
    for (unsigned bit = 0; bit < std::size(Names); ++bit)
        if (name == Names[bit]) {
            const unsigned setting = 1u << (bit == 7 ? 6 : bit);
            if (map.Given & setting) {
                error = bit == 6 || bit == 7 ? std::string(name) + " gives the marker's motion, given already"
                                             : std::string(name) + " is given twice";
                return SettingRead::Bad;
            }
            map.Given |= setting;
        }
    std::uint64_t whole = 0;
    const auto read = [](bool good) { return good ? SettingRead::Read : SettingRead::Bad; };
    if (name == "--limit") {
        map.Limit = true;
    } else if (name == "--step") {
        if (!WholeArgument(argc, argv, n, 1, PlayfieldSize, whole, error))
            return SettingRead::Bad;
        map.Step = int(whole);
    } else if (name == "--shots") {
        if (!WholeArgument(argc, argv, n, 1, MaxMapShots, whole, error))
            return SettingRead::Bad;
        map.Shots = int(whole);
    } else if (name == "--threads") {
        if (!WholeArgument(argc, argv, n, 1, 256, whole, error))
            return SettingRead::Bad;
        map.Threads = unsigned(whole);
    } else if (name == "--seed") {
        return read(WholeArgument(argc, argv, n, 0, UINT64_MAX, map.Seed, error));
    } else if (name == "--draws") {
        if (!FloatArgument(argc, argv, n, "--draws", map.Draw, error))
            return SettingRead::Bad;
        if (!(map.Draw >= 0 && map.Draw < 1)) {
            error = "--draws must lie in [0, 1), got " + Quoted(argv[n]);
            return SettingRead::Bad;
        }
        map.FixedDraws = true;
    } else if (name == "--marker-velocity") {
        map.Motion = MarkerMotion::Line;
        return read(FloatArgument(argc, argv, n, "--marker-velocity VX", map.MarkerVX, error) &&
                    FloatArgument(argc, argv, n, "--marker-velocity VY", map.MarkerVY, error) &&
                    StaysInRange(map, name, error));
    } else if (name == "--marker-motion") {
        return read(ReadMotion(argc, argv, n, map, error) && StaysInRange(map, name, error));
    } else if (name == "--hold") {
        return read(ReadHold(argc, argv, n, map, error));
    } else if (name == "--lag") {
        return read(BoundedArgument(argc, argv, n, "--lag FRAMES", MostLag, map.Lag, error));
    } else if (name == "--noise") {
        return read(BoundedArgument(argc, argv, n, "--noise DEGREES", MostNoise, map.Noise, error));
    } else {
        return SettingRead::NotASetting;
    }
    return SettingRead::Read;
}

std::string MapSettingsText(const MapSettings& settings)
{
    std::string text = "--step " + std::to_string(settings.Step) + " --shots " + std::to_string(settings.Shots);
    if (settings.FixedDraws) {
        text += " --draws ";
        AppendFloat(text, settings.Draw);
    } else {
        text += " --seed " + std::to_string(settings.Seed);
    }
    const auto append = [&](const char* what, float value) {
        text += what;
        AppendFloat(text, value);
    };
    if (settings.FixedDraws && settings.Noise > 0)
        text += " --seed " + std::to_string(settings.Seed); // the seeker's errors still draw from it
    if (settings.Limit)
        text += " --limit";
    if (settings.Lag > 0)
        append(" --lag ", settings.Lag);
    if (settings.Noise > 0)
        append(" --noise ", settings.Noise);
    switch (settings.Motion) {
    case MarkerMotion::Line:
        if (settings.MarkerVX != 0 || settings.MarkerVY != 0) {
            append(" --marker-velocity ", settings.MarkerVX);
            append(" ", settings.MarkerVY);
        }
        break;
    case MarkerMotion::Circle:
        append(" --marker-motion circle ", settings.MotionSize);
        append(" ", settings.MotionPeriod);
        break;
    case MarkerMotion::Weave:
        append(" --marker-motion weave ", settings.MotionSize);
        append(" ", settings.MotionPeriod);
        break;
    case MarkerMotion::Flee: append(" --marker-motion flee ", settings.MotionSize); break;
    case MarkerMotion::Jink:
        append(" --marker-motion jink ", settings.MotionPeriod);
        append(" ", settings.MotionSize);
        break;
    }
    if (settings.Held != LaunchDraw::None)
        append((std::string(" --hold ") + LaunchDrawName(settings.Held) + "=").c_str(), settings.HeldValue);
    return text;
}

std::string ReadMapSettingsText(const std::string& text, MapSettings& settings)
{
    std::vector<std::string> words;
    for (std::size_t at = text.find_first_not_of(' '); at != std::string::npos; at = text.find_first_not_of(' ', at)) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    std::vector<const char*> argv;
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    std::string error;
    for (int n = 0; n < int(argv.size()); ++n)
        switch (ReadMapSetting(int(argv.size()), argv.data(), n, settings, error)) {
        case SettingRead::Read: break;
        case SettingRead::Bad: return error;
        case SettingRead::NotASetting: return "not a map setting: " + Quoted(argv[std::size_t(n)]);
        }
    return {};
}

namespace {

/// The address names the target's options without their "marker-".
constexpr std::string_view MarkerPrefix = "marker-";

} // namespace

std::string MapSettingsAddress(const MapSettings& settings)
{
    std::string address;
    bool valued = false; // the option being written has a value already
    const std::string text = MapSettingsText(settings);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        std::string_view word = std::string_view(text).substr(at, end - at);
        if (word.starts_with("--")) {
            word.remove_prefix(2);
            if (word.starts_with(MarkerPrefix))
                word.remove_prefix(MarkerPrefix.size());
            address += address.empty() ? "" : "&";
            valued = false;
        } else {
            address += valued ? ',' : '=';
            valued = true;
        }
        address += word;
        at = end + 1;
    }
    return address;
}

std::string ReadMapAddress(std::string_view address, MapSettings& settings)
{
    // As the parts of any address are read: split at '&', a part at its first
    // '=', then the value percent-decoded (so "%26" is a character, never a
    // separator), then split at ','.
    for (std::size_t at = 0; at < address.size();) {
        const std::size_t end = std::min(address.find('&', at), address.size());
        const std::string_view part = address.substr(at, end - at);
        at = end + 1;
        if (part.empty())
            continue;
        const std::size_t equals = part.find('=');
        const std::string name(part.substr(0, equals));
        std::vector<std::string> words = {(name == "motion" || name == "velocity" ? "--marker-" : "--") + name};
        std::string value;
        if (equals != std::string_view::npos && !PercentDecoded(part.substr(equals + 1), value))
            return std::string(part) + ": is not percent-encoded text";
        for (std::size_t from = 0; equals != std::string_view::npos;) {
            const std::size_t comma = value.find(',', from);
            words.push_back(value.substr(from, comma == std::string::npos ? comma : comma - from));
            if (comma == std::string::npos)
                break;
            from = comma + 1;
        }
        std::vector<const char*> argv;
        for (const std::string& word : words)
            argv.push_back(word.c_str());
        std::string error;
        int n = 0;
        const SettingRead read = ReadMapSetting(int(argv.size()), argv.data(), n, settings, error);
        if (read == SettingRead::NotASetting || name == "threads")
            return Quoted(name) + " is not a setting of the map";
        if (read == SettingRead::Bad)
            return std::string(part) + ": " + error;
        if (n + 1 != int(argv.size()))
            return std::string(part) + ": " + Quoted(name) + " takes " + std::to_string(n) + " value" +
                   (n == 1 ? "" : "s");
    }
    return {};
}
