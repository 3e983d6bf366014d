#include "StudyAddress.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "FloatText.h"
#include "World.h"

namespace {

constexpr std::string_view Study = "#study";

/// The page's own keys, in the order an address gives them.
constexpr std::array<std::string_view, 4> PageKeys = {"place", "shot", "frame", "chart"};

/// "M,X,Y": a method of the table and a place of the map's grid.
std::string ReadPlace(const std::string& text, const MapSettings& settings, StudyView& view)
{
    int numbers[3] = {-1, -1, -1}, count = 0;
    bool digits = false;
    for (const char c : text) {
        if (c == ',' && digits && count < 2)
            ++count, digits = false;
        else if (c >= '0' && c <= '9' && (!digits || numbers[count] < PlayfieldSize))
            numbers[count] = (digits ? numbers[count] * 10 : 0) + (c - '0'), digits = true;
        else
            numbers[0] = -1;
    }
    const int mode = numbers[0], x = numbers[1], y = numbers[2];
    if (count != 2 || !digits || mode < 0 || mode >= SteeringModeCount || x < 0 || y < 0 || x >= PlayfieldSize ||
        y >= PlayfieldSize || x % settings.Step || y % settings.Step)
        return "place=" + text + " is not a place of the maps (a method 0 to " + std::to_string(SteeringModeCount - 1) +
               ", then x and y on the grid, multiples of " + std::to_string(settings.Step) + " below " +
               std::to_string(PlayfieldSize) + ")";
    view.HasPlace = true, view.Mode = mode, view.X = x, view.Y = y;
    return {};
}

/// A form's decimal as typed, a decimal comma read as a point ("0,75" is 0.75).
std::string Decimal(std::string text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos || comma + 1 == text.size())
        return text;
    for (std::size_t n = 0; n < text.size(); ++n)
        if (n != comma && !(text[n] >= '0' && text[n] <= '9') && !(n == 0 && (text[n] == '-' || text[n] == '+')))
            return text;
    text[comma] = '.';
    return text;
}

std::string Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return std::string(text);
}

} // namespace

bool IsStudyAddress(std::string_view hash)
{
    return hash.starts_with(Study) && (hash.size() == Study.size() || hash[Study.size()] == '&');
}

std::string ReadStudyAddress(std::string_view hash, MapSettings& settings, StudyView& view)
{
    if (hash.size() > MostStudyAddress)
        return "it is " + std::to_string(hash.size()) + " characters long, more than a study's address can be (" +
               std::to_string(MostStudyAddress) + ")";
    std::string own[PageKeys.size()], rest;
    bool given[PageKeys.size()] = {};
    for (std::size_t at = Study.size() + 1; at <= hash.size();) {
        const std::size_t end = std::min(hash.find('&', at), hash.size());
        const std::string_view part = hash.substr(at, end - at);
        at = end + 1;
        const std::string_view name = part.substr(0, part.find('='));
        const std::size_t key = std::size_t(std::find(PageKeys.begin(), PageKeys.end(), name) - PageKeys.begin());
        if (key == PageKeys.size()) {
            if (!part.empty())
                rest += (rest.empty() ? "" : "&") + std::string(part);
            continue;
        }
        if (given[key])
            return std::string(name) + " is given twice";
        given[key] = true;
        if (!PercentDecoded(part.substr(std::min(part.size(), name.size() + 1)), own[key]))
            return std::string(part) + " is not percent-encoded text";
        if (own[key].empty())
            return std::string(name) + "= has no value";
    }
    if (given[1] && !given[0])
        return "shot= needs a place=";
    if (given[2] && !given[1])
        return "frame= needs a shot=";
    if (std::string error = ReadMapAddress(rest, settings); !error.empty())
        return error;
    view = {};
    view.Shot = own[1], view.Frame = own[2], view.Chart = own[3];
    return given[0] ? ReadPlace(own[0], settings, view) : std::string();
}

std::string StudyAddressText(const MapSettings& settings, const StudyView& view)
{
    std::string address = std::string(Study) + "&" + MapSettingsAddress(settings);
    if (view.HasPlace)
        address += "&place=" + std::to_string(view.Mode) + "," + std::to_string(view.X) + "," + std::to_string(view.Y);
    if (view.HasPlace && !view.Shot.empty())
        address += "&shot=" + view.Shot + (view.Frame.empty() ? "" : "&frame=" + view.Frame);
    return address;
}

StudyForm StudyFormOf(const MapSettings& settings)
{
    StudyForm form;
    form.Step = std::to_string(settings.Step), form.Shots = std::to_string(settings.Shots);
    form.Draws = settings.FixedDraws ? "fixed" : "random";
    form.Seed = std::to_string(settings.Seed), form.Draw = FloatText(settings.Draw);
    form.Limit = settings.Limit ? "true" : "false";
    form.Lag = FloatText(settings.Lag), form.Noise = FloatText(settings.Noise);
    if (settings.Held != LaunchDraw::None)
        form.Held = std::string(LaunchDrawName(settings.Held)) + "=" + FloatText(settings.HeldValue);
    const bool line = settings.Motion == MarkerMotion::Line;
    const bool still = line && settings.MarkerVX == 0 && settings.MarkerVY == 0;
    switch (settings.Motion) {
    case MarkerMotion::Line:
        form.Motion = still ? "still" : "line";
        if (!still)
            form.A = FloatText(settings.MarkerVX), form.B = FloatText(settings.MarkerVY);
        break;
    case MarkerMotion::Circle:
    case MarkerMotion::Weave:
        form.Motion = settings.Motion == MarkerMotion::Circle ? "circle" : "weave";
        form.A = FloatText(settings.MotionSize), form.B = FloatText(settings.MotionPeriod);
        break;
    case MarkerMotion::Flee: form.Motion = "flee", form.A = FloatText(settings.MotionSize); break;
    case MarkerMotion::Jink: // as its option has them: the frame, then the speed
        form.Motion = "jink", form.A = FloatText(settings.MotionPeriod), form.B = FloatText(settings.MotionSize);
        break;
    }
    return form;
}

std::string ReadStudyForm(const StudyForm& form, MapSettings& settings)
{
    std::string error;
    // Each setting as homing-sim's options give it, read by the same rule.
    const auto read = [&](std::initializer_list<const char*> words) {
        int n = 0;
        if (!error.empty())
            return;
        if (ReadMapSetting(int(words.size()), words.begin(), n, settings, error) == SettingRead::Read &&
            n + 1 != int(words.size()))
            error = std::string(*words.begin()) + " takes " + std::to_string(n) + " values";
    };
    const std::string step = Trimmed(form.Step), shots = Trimmed(form.Shots), seed = Trimmed(form.Seed);
    const std::string draw = Decimal(Trimmed(form.Draw)), a = Decimal(Trimmed(form.A)), b = Decimal(Trimmed(form.B));
    const std::string motion = Trimmed(form.Motion), held = Trimmed(form.Held);
    read({"--step", step.c_str()});
    read({"--shots", shots.c_str()});
    if (form.Draws == "fixed")
        read({"--draws", draw.c_str()});
    else
        read({"--seed", seed.c_str()});
    if (form.Limit == "true")
        read({"--limit"});
    if (motion == "line")
        read({"--marker-velocity", a.c_str(), b.c_str()});
    else if (motion == "flee")
        read({"--marker-motion", "flee", a.c_str()});
    else if (motion == "circle" || motion == "weave" || motion == "jink")
        read({"--marker-motion", motion.c_str(), a.c_str(), b.c_str()});
    else if (motion != "still" && error.empty())
        error = "the target's motion \"" + motion + "\" is not still, line, circle, weave, flee or jink";
    if (!held.empty())
        read({"--hold", held.c_str()});
    const std::string lag = Decimal(Trimmed(form.Lag)), noise = Decimal(Trimmed(form.Noise));
    read({"--lag", lag.empty() ? "0" : lag.c_str()});
    read({"--noise", noise.empty() ? "0" : noise.c_str()});
    return error;
}
