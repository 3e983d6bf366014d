#pragma once
// The script that flies a map's shot: a reader can replay any shot of any
// place with homing-sim or the window, and the page draws its frames from it.

#include <string>

#include "MapSettings.h"
#include "World.h"

/// The world frame in which a script's first shot is launched: the flight's frame 1.
inline constexpr int ScriptLaunchFrame = LaunchEvery;

/// A script whose first shot is shot `shot` of the place (x, y) in `mode`:
/// the shot's seed (and its draws as a `random` line when the map fixes or
/// holds one), the mode, the marker at its place, and frames up to the
/// flight's frame `flightFrames` (1: the launch), the marker moved before
/// each as the map moves it. Ends with a newline.
std::string ShotScript(const MapSettings& settings, SteeringMode mode, int x, int y, int shot, int flightFrames);

/// ShotScript in its two parts: the lines of the shot (its seed, draws,
/// mode and rules), then the marker's and the frames', which are the same for
/// every shot of the place (made once, a place's shots are flown sooner).
std::string ShotScriptHead(const MapSettings& settings, SteeringMode mode, int x, int y, int shot);
std::string ShotScriptFrames(const MapSettings& settings, int x, int y, int flightFrames);
