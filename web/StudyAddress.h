#pragma once
// The study's address, "#study&step=4&shots=8...&place=M,X,Y&shot=N&frame=F"
// (or "...&chart=M,DRAW", a sweep chart to show),
// and its settings form, read and written here alone: the page's script
// hands over the address or the form's values by name and gets settings,
// their address and the form's values back.

#include <string>
#include <string_view>
#include <utility>

#include "MapSettings.h"

/// The longest address the study reads, in characters: far more than any study's.
inline constexpr std::size_t MostStudyAddress = 65536;

/// The page's own keys of an address: a place, a shot of it, a frame of
/// that; or a chart of the sweep.
struct StudyView {
    bool HasPlace = false;
    int Mode = 0, X = 0, Y = 0; ///< the place: a method, and pixels on the map's grid
    std::string Shot, Frame;    ///< as given ("" when not), checked against the place's shots when flown
    std::string Chart;          ///< "2,turn" as given ("" when not), checked against the sweep's charts
};

/// Whether `hash` is a study's address ("#study", then "&..." or nothing).
bool IsStudyAddress(std::string_view hash);

/// Reads a study's address onto `settings` (the study's defaults) and
/// `view`. Returns what is wrong in one line, or nothing: every key once,
/// each part's value percent-decoded, the settings as homing-sim reads them,
/// a shot only with a place and a frame only with a shot, the place on the grid.
[[nodiscard]] std::string ReadStudyAddress(std::string_view hash, MapSettings& settings, StudyView& view);

/// The address of `settings` and `view`.
std::string StudyAddressText(const MapSettings& settings, const StudyView& view);

/// The settings form's values as texts: as the settings give them, or as
/// the reader typed them ("0,75" is 0.75).
struct StudyForm {
    std::string Step, Shots;
    std::string Draws;      ///< "random" or "fixed"
    std::string Seed, Draw; ///< the seed of random draws, the value of fixed ones
    std::string Limit;      ///< "true" or "false"
    std::string Motion;     ///< "still", "line", "circle", "weave", "flee" or "jink"
    std::string A, B;       ///< the motion's numbers, "" where it has fewer
    std::string Held;       ///< "" or a held draw, "turn=0.05"
    std::string Lag, Noise; ///< the guidance laws' turn lag, frames, and seeker noise, degrees
};

/// The form's fields by the names the page's script gives them.
inline constexpr std::pair<std::string_view, std::string StudyForm::*> StudyFormFields[] = {
    {"step", &StudyForm::Step},     {"shots", &StudyForm::Shots}, {"draws", &StudyForm::Draws},
    {"seed", &StudyForm::Seed},     {"draw", &StudyForm::Draw},   {"limit", &StudyForm::Limit},
    {"motion", &StudyForm::Motion}, {"a", &StudyForm::A},         {"b", &StudyForm::B},
    {"held", &StudyForm::Held},     {"lag", &StudyForm::Lag},     {"noise", &StudyForm::Noise}};

/// The form of `settings`.
StudyForm StudyFormOf(const MapSettings& settings);

/// Reads the form onto `settings` (the study's defaults), each value as
/// homing-sim reads its option. Returns what is wrong in one line, or nothing.
[[nodiscard]] std::string ReadStudyForm(const StudyForm& form, MapSettings& settings);
