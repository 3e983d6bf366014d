#pragma once
// A shot's heading and its change between frames, in degrees, as the
// runner's trace figures and the page's study show them (never used in the
// steering itself, which keeps its own whole-degree arithmetic).

#include <cmath>

/// Degrees in a radian.
inline constexpr double RadToDeg = 180 / 3.14159265358979323846;

/// The direction of (x, y), degrees, y down: -180 to 180.
inline double HeadingOf(double x, double y) { return std::atan2(y, x) * RadToDeg; }

/// The signed angle from one direction to the next, degrees, -180 to 180.
inline double SignedTurn(double fromX, double fromY, double toX, double toY)
{
    return std::atan2(fromX * toY - fromY * toX, fromX * toX + fromY * toY) * RadToDeg;
}
