#pragma once
// The steering methods, one entry each. Everything the program does or says
// about a method (its step, its launch, the map's draw names, the sweep's
// values, the help text, the option buttons, the study's list) is read from
// this table; a new method is a new entry, its step and its test.

#include <array>
#include <type_traits>
#include <utility>

#include "Steering.h"
#include "World.h"

/// A launch draw, by what it sets. The map and the sweep hold one by name.
enum class LaunchDraw { None, Speed, Heading, Turn, Acceleration, Limit, Gain, Count };

struct DrawKind {
    const char* Name;    ///< as --hold takes it
    const char* Meaning; ///< what it sets, in its own units
};
inline constexpr std::array<DrawKind, int(LaunchDraw::Count)> DrawKinds{{
    {"", ""},
    {"speed", "speed, pixels a frame"},
    {"heading", "heading at launch, degrees"},
    {"turn", "turn rate, degrees a frame"},
    {"acceleration", "acceleration, pixels a frame per frame"},
    {"limit", "speed limit, pixels a frame"},
    {"gain", "navigation gain N, turns per turn of the line of sight"},
}};
constexpr bool DrawKindsNamed()
{
    for (std::size_t kind = 1; kind < DrawKinds.size(); ++kind)
        if (!DrawKinds[kind].Name || !DrawKinds[kind].Meaning)
            return false;
    return true;
}
static_assert(DrawKindsNamed(), "every launch draw has a name and a meaning");

/// One random draw of a launch: the shot's `Field` = r * Scale + Offset,
/// worked out in double and stored as a float.
struct MethodDraw {
    LaunchDraw Draw = LaunchDraw::None;
    float Shot::*Field = nullptr;
    double Scale = 0;
    double Offset = 0;
};

inline constexpr int MaxLaunchDraws = 4;

/// What a method steers by, for a picture of one of its moments.
enum class MethodGuide {
    Marker,      ///< the marker itself, where it is now
    LineOfSight, ///< the turn of the line of sight to the marker (`Shot::Sight`)
    Intercept,   ///< the point where it would meet the marker (`LeadPoint`)
};

struct Method {
    SteeringMode Mode;       ///< its number: its place in the table
    const char* Name;        ///< in English, for terminals, file names and the study
    const char* Caption;     ///< its option button's caption in UTF-8 Japanese; "" when it has none
    const char* Description; ///< how it steers, in one line
    const char* Fails;       ///< where and how it misses, in one line
    /// In the order the launch draws them, each a call of its own; the unused
    /// ones at the end are `None`. A method that draws a heading is launched
    /// at full speed along it, else at rest.
    std::array<MethodDraw, MaxLaunchDraws> Draws;
    bool TurnsAtRate; ///< turns by at most `Turn` degrees a frame: it has a turning circle
    MethodGuide Guide = MethodGuide::Marker;
};

// clang-format off
inline constexpr std::array<Method, SteeringModeCount> Methods{{
    {SteeringMode::PerAxisChase, "per-axis chase", "XY別通常追尾",
     "each axis closes in by at most the shot's speed: diagonally, then straight",
     "a marker that flees along an axis faster than its speed, or circles round the launcher, gets away",
     {{{LaunchDraw::Speed, &Shot::Speed, 3, 1}}}, false},
    {SteeringMode::DirectChase, "direct chase", "通常追尾",
     "straight at the marker, at a constant speed",
     "a marker circling near the launcher keeps ahead of it; a still one is always caught",
     {{{LaunchDraw::Speed, &Shot::Speed, 5, 2}}}, false},
    {SteeringMode::AngleChase, "angle chase", "角度追尾",
     "a heading in whole degrees turns by at most the turn rate a frame: a marker inside its turning circle is orbited",
     "a marker more than 16 px inside its turning circle is orbited till the shot's life ends",
     {{{LaunchDraw::Speed, &Shot::Speed, 5, 2}, {LaunchDraw::Heading, &Shot::Angle, 360, 0},
       {LaunchDraw::Turn, &Shot::Turn, 5, 2}}}, true},
    {SteeringMode::AngleChase2, "vector turn chase", "角度追尾2",
     "the velocity swings by exactly the turn angle while the marker is on its left, and is aimed outright otherwise",
     "orbits a marker inside its turning circle on its left (on its right it aims outright); a circling marker often escapes",
     {{{LaunchDraw::Speed, &Shot::Speed, 5, 2}, {LaunchDraw::Heading, &Shot::Angle, 360, 0},
       {LaunchDraw::Turn, &Shot::Turn, 5, 2}}}, true},
    {SteeringMode::PerAxisAccelChase, "per-axis accelerating chase", "XY別加速追尾",
     "a fixed push on each axis: overshoots and swings back",
     "overshoots and swings back: some places are never caught, even with a still marker",
     {{{LaunchDraw::Acceleration, &Shot::Speed, 0.3, 0.1}, {LaunchDraw::Limit, &Shot::Angle, 7, 3}}}, false},
    {SteeringMode::AccelChase, "accelerating chase", "加速追尾",
     "a push straight at the marker: loops round it unless the speed limit is on",
     "loops round the marker without the speed limit; a circling marker escapes at some places",
     {{{LaunchDraw::Acceleration, &Shot::Speed, 0.5, 0.2}, {LaunchDraw::Limit, &Shot::Angle, 7, 3}}}, false},
    {SteeringMode::LeadChase, "lead chase", "",
     "towards the point where it would meet a marker that keeps its present velocity, turning at most its limit a frame",
     "orbits a marker inside its turning circle, as the angle chase does; its meeting point is wrong for a marker that turns",
     {{{LaunchDraw::Speed, &Shot::Speed, 5, 2}, {LaunchDraw::Heading, &Shot::Angle, 360, 0},
       {LaunchDraw::Turn, &Shot::Turn, 5, 2}}}, true, MethodGuide::Intercept},
    {SteeringMode::ProportionalNavigation, "proportional navigation", "",
     "turns by N times the line of sight's turn since the last frame, at most its limit a frame",
     "a circling marker escapes at many places, its turn coming after the line of sight's; a marker inside its turning circle is orbited",
     {{{LaunchDraw::Speed, &Shot::Speed, 5, 2}, {LaunchDraw::Heading, &Shot::Angle, 360, 0},
       {LaunchDraw::Turn, &Shot::Turn, 5, 2}, {LaunchDraw::Gain, &Shot::Gain, 3, 2}}}, true,
     MethodGuide::LineOfSight},
    {SteeringMode::AugmentedProportionalNavigation, "augmented proportional navigation", "",
     "proportional navigation plus N / 2 times the marker's acceleration across the line of sight, over the closing speed",
     "orbits a marker inside its turning circle; sees no acceleration before its third frame",
     {{{LaunchDraw::Speed, &Shot::Speed, 5, 2}, {LaunchDraw::Heading, &Shot::Angle, 360, 0},
       {LaunchDraw::Turn, &Shot::Turn, 5, 2}, {LaunchDraw::Gain, &Shot::Gain, 3, 2}}}, true, MethodGuide::LineOfSight},
}};
// clang-format on

/// What an entry of the table lacks; a build with an incomplete entry says
/// which entry and which of these (see CheckEntry below).
enum class EntryLacks {
    Nothing,
    ItsPlace,                 ///< its mode is not its place in the table
    AName,                    ///< no name
    ADescription,             ///< no description of how it steers
    AFailText,                ///< no line on where and how it misses
    ACaptionText,             ///< no caption text ("" for none)
    DrawsInOrder,             ///< a draw after an unused one, or a draw that sets nothing
    ALaunchDraw,              ///< it draws nothing at launch
    ASpeedForItsHeading,      ///< a heading is drawn without a speed to launch along it
    ATurnDraw,                ///< it turns at a rate it does not draw
    ItsButtonAfterTheButtons, ///< a caption after a method without one: the buttons would skip a number
};

/// What the entry at `index` lacks: its number is its place, it has a name,
/// a description, how it fails and a caption (maybe ""), its draws come first
/// and each sets a field, a heading comes with a speed, a method that turns
/// at a rate draws its rate; the methods with a caption come first.
constexpr EntryLacks EntryLack(const Method& method, int index)
{
    const auto empty = [](const char* text) { return !text || !*text; };
    if (int(method.Mode) != index)
        return EntryLacks::ItsPlace;
    if (empty(method.Name))
        return EntryLacks::AName;
    if (empty(method.Description))
        return EntryLacks::ADescription;
    if (empty(method.Fails))
        return EntryLacks::AFailText;
    if (!method.Caption)
        return EntryLacks::ACaptionText;
    bool ended = false, speed = false, heading = false, turn = false;
    for (const MethodDraw& draw : method.Draws) {
        if (draw.Draw == LaunchDraw::None) {
            ended = true;
            continue;
        }
        if (ended || draw.Draw >= LaunchDraw::Count || !draw.Field || !(draw.Scale > 0))
            return EntryLacks::DrawsInOrder;
        speed |= draw.Draw == LaunchDraw::Speed && draw.Field == &Shot::Speed;
        heading |= draw.Draw == LaunchDraw::Heading && draw.Field == &Shot::Angle;
        turn |= draw.Draw == LaunchDraw::Turn && draw.Field == &Shot::Turn;
    }
    if (method.Draws[0].Draw == LaunchDraw::None)
        return EntryLacks::ALaunchDraw;
    if (heading && !speed)
        return EntryLacks::ASpeedForItsHeading;
    if (method.TurnsAtRate && !turn)
        return EntryLacks::ATurnDraw;
    if (index > 0 && *method.Caption && !*Methods[std::size_t(index - 1)].Caption)
        return EntryLacks::ItsButtonAfterTheButtons;
    return EntryLacks::Nothing;
}

/// What EntryLack says, in words, or nullptr when the entry is complete.
constexpr const char* EntryFault(const Method& method, int index)
{
    switch (EntryLack(method, index)) {
    case EntryLacks::Nothing: return nullptr;
    case EntryLacks::ItsPlace: return "its mode is not its place in the table";
    case EntryLacks::AName:
    case EntryLacks::ADescription:
    case EntryLacks::AFailText:
    case EntryLacks::ACaptionText: return "a name, a description, how it fails or its caption is missing";
    case EntryLacks::DrawsInOrder: return "a draw is out of order or sets nothing";
    case EntryLacks::ALaunchDraw: return "it draws nothing at launch";
    case EntryLacks::ASpeedForItsHeading: return "a heading is drawn without a speed to launch along it";
    case EntryLacks::ATurnDraw: return "it turns at a rate it does not draw";
    case EntryLacks::ItsButtonAfterTheButtons: return "it has a caption after a method without one";
    }
    return "";
}

/// The methods that have an option button: those with a caption, which come first.
constexpr int CountOptionButtons()
{
    int count = 0;
    while (count < SteeringModeCount && *Methods[std::size_t(count)].Caption)
        ++count;
    return count;
}
inline constexpr int OptionButtonCount = CountOptionButtons();

/// Checked for every entry as the program is built, in every build: an
/// incomplete one stops it with "In instantiation of 'struct
/// CheckEntry<SteeringMode::..., EntryLacks::...>'", the entry and what it lacks.
template <SteeringMode Entry, EntryLacks Lacks>
struct CheckEntry {
    static_assert(Lacks == EntryLacks::Nothing,
                  "a method's entry in Methods is incomplete: CheckEntry<entry, what it lacks> names both");
    static constexpr bool Complete = Lacks == EntryLacks::Nothing;
};
template <std::size_t... Index>
constexpr bool CheckEveryEntry(std::index_sequence<Index...>)
{
    return (CheckEntry<SteeringMode(Index), EntryLack(Methods[Index], int(Index))>::Complete && ...);
}
static_assert(CheckEveryEntry(std::make_index_sequence<SteeringModeCount>()));

constexpr const Method& MethodOf(SteeringMode mode) { return Methods[std::size_t(mode)]; }

/// How many launch draws the method that makes the most makes.
constexpr int MostLaunchDraws()
{
    int most = 0;
    for (const Method& method : Methods) {
        int draws = 0;
        for (const MethodDraw& draw : method.Draws)
            draws += draw.Draw != LaunchDraw::None;
        most = draws > most ? draws : most;
    }
    return most;
}

/// Which of a method's launch draws `draw` is (0 for its first), or -1 when it makes none such.
constexpr int DrawIndex(SteeringMode mode, LaunchDraw draw)
{
    if (draw == LaunchDraw::None)
        return -1;
    const Method& method = MethodOf(mode);
    for (int index = 0; index < MaxLaunchDraws; ++index)
        if (method.Draws[std::size_t(index)].Draw == draw)
            return index;
    return -1;
}

/// A draw's name, as --hold takes it ("speed", "heading", ...).
constexpr const char* LaunchDrawName(LaunchDraw draw) { return DrawKinds[std::size_t(draw)].Name; }
/// What a draw sets, in its own units: "speed, pixels a frame", ...
constexpr const char* DrawMeaning(LaunchDraw draw) { return DrawKinds[std::size_t(draw)].Meaning; }

/// The value a launch gives `draw` for a draw of `r`, as it stores it.
float LaunchValue(const MethodDraw& draw, float r);
