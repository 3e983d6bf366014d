#pragma once
// A turning shot's tightest circle, and the markers it leaves out of reach:
// the geometry the study's orbit figure and its shot view show.

/// The radius of the circle a shot flies at `speed` pixels a frame, turning
/// at most `turn` degrees a frame, pixels: 180 speed / (pi turn); 0 when it
/// does not turn.
double TurningRadius(double speed, double turn);

/// A marker `ahead` pixels along a shot's heading and `beside` pixels across
/// it (either side) is out of reach when it lies more than the catch (16
/// pixels) inside the turning circle on its side: the shot circles it.
bool OutOfReach(double speed, double turn, double ahead, double beside);

/// The least turn, degrees a frame, whose circle passes within the catch of
/// a marker `beside` pixels straight beside the heading: 2 R > beside - 16,
/// that is turn > 360 speed / (pi (beside + 16)).
double TurnToReach(double speed, double beside);
