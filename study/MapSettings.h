#pragma once
// What a capture map is asked for, read from options as homing-sim takes
// them (and as the page's address names them), and written back as the same
// options, so a map's settings travel with its rows.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Methods.h"

/// The most shots a place may take.
inline constexpr int MaxMapShots = 256;

/// How the marker moves from its place once the shot is launched.
enum class MarkerMotion {
    Line,   ///< by (MarkerVX, MarkerVY) a frame: still when both are 0
    Circle, ///< round its place, radius MotionSize, from its right, clockwise on the screen
    Weave,  ///< sideways across the line from the launcher, amplitude MotionSize, from the place
    Flee,   ///< straight away from the launcher at MotionSize a frame (to the right from the launcher)
    Jink,   ///< still until frame MotionPeriod of the flight, then sideways at MotionSize a frame
};

struct MapSettings {
    int Step = 1;            ///< pixels between the places mapped, across and down
    int Shots = 32;          ///< shots per place and method
    std::uint64_t Seed = 1;  ///< the seed every shot's own seed is made from
    bool FixedDraws = false; ///< every random draw is `Draw` instead of the shot's own
    float Draw = 0.5f;       ///< in [0, 1)
    bool Limit = false;      ///< the speed limit on (modes 4 and 5)
    MarkerMotion Motion = MarkerMotion::Line;
    float MarkerVX = 0; ///< a line's velocity from the place, pixels per frame
    float MarkerVY = 0; ///< pixels per frame
    /// a circle's radius or a weave's amplitude, pixels; a flight's or a sidestep's speed, pixels per frame (a
    /// sidestep's to the right of the way from the launcher, seen from the launcher; to the left when negative)
    float MotionSize = 0;
    float MotionPeriod = 0;             ///< frames for one circle or one swing back and forth; a sidestep's first frame
    float Lag = 0;                      ///< the guidance laws' turn lag (modes 6 to 8), frames
    float Noise = 0;                    ///< their seeker's error spread, degrees
    LaunchDraw Held = LaunchDraw::None; ///< a draw held at `HeldValue` for the methods that make it
    float HeldValue = 0.5f;             ///< in [0, 1)
    unsigned Threads = 0;               ///< 0: one per core; not a setting of the map itself
    unsigned Given = 0;                 ///< the settings read so far, a bit each: one given twice is refused
};

/// The bit of MapSettings::Given that says the marker's motion was given.
inline constexpr unsigned MotionSettingBit = 1u << 6;

/// Places across (and down) the grid at `step` pixels apart.
int MapGridSize(int step);

/// What one argument was to the map's settings.
enum class SettingRead { NotASetting, Read, Bad };

/// Reads one map setting and its values from argv[n] on, moving `n` past
/// them; the one place that knows their names and bounds. `error` says what
/// is wrong in one line when it returns Bad.
[[nodiscard]] SettingRead ReadMapSetting(int argc, const char* const* argv, int& n, MapSettings& settings,
                                         std::string& error);

/// The settings that decide a map's figures, as the options that ask for
/// them ("--step 10 --shots 32 --seed 1 ..."), floats as the shortest text
/// that reads back to them: two maps with the same text have the same rows.
std::string MapSettingsText(const MapSettings& settings);

/// The same settings as a web address's fragment names them: each option
/// without its "--" (and the target's without "marker-"), its values after
/// "=" and apart by ",", the options apart by "&":
/// "step=4&shots=8&seed=1&limit&motion=circle,30,100&hold=speed=0.25".
std::string MapSettingsAddress(const MapSettings& settings);

/// Reads settings from such a fragment. Returns what is wrong in one line
/// (the part of the address, then homing-sim's own message), or nothing.
[[nodiscard]] std::string ReadMapAddress(std::string_view address, MapSettings& settings);

/// `text` with each %XX replaced by the byte it names, appended to `out`;
/// false for a '%' not followed by two hexadecimal digits.
bool PercentDecoded(std::string_view text, std::string& out);

/// Reads settings written by `MapSettingsText` (or typed as options).
[[nodiscard]] std::string ReadMapSettingsText(const std::string& text, MapSettings& settings);
