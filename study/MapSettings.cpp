#include "MapSettings.h"

#include <charconv>
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
                std::to_string(high) + ", got " + Quoted(text);
        return false;
    }
    ++n;
    return true;
}

bool FloatArgument(int argc, const char* const* argv, int& n, const char* what, float& value, std::string& error)
{
    const std::string_view text = n + 1 < argc ? std::string_view(argv[n + 1]) : std::string_view();
    if (!ParseFiniteFloat(text, value)) {
        error = std::string(what) + " must be a finite number, got " + Quoted(text);
        return false;
    }
    ++n;
    return true;
}

} // namespace

int MapGridSize(int step) { return (PlayfieldSize - 1) / (step > 0 ? step : 1) + 1; }

SettingRead ReadMapSetting(int argc, const char* const* argv, int& n, MapSettings& map, std::string& error)
{
    const std::string_view name = argv[n];
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
        return read(FloatArgument(argc, argv, n, "--marker-velocity VX", map.MarkerVX, error) &&
                    FloatArgument(argc, argv, n, "--marker-velocity VY", map.MarkerVY, error));
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
    if (settings.Limit)
        text += " --limit";
    if (settings.MarkerVX != 0 || settings.MarkerVY != 0) {
        text += " --marker-velocity ";
        AppendFloat(text, settings.MarkerVX);
        text += ' ';
        AppendFloat(text, settings.MarkerVY);
    }
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
