#pragma once
// The job every minimal program does, the window's job at its smallest: a
// 300 x 300 image in a 516 x 318 window, a few of its pixels changed every
// 26 ms (an 8 x 8 square stepping round a circle) and the small rectangle
// that holds the old and new square presented. Each program runs for the
// seconds given as its first argument, then exits.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace floor_job {

inline constexpr int WindowWidth = 516, WindowHeight = 318;
inline constexpr int Size = 300;          ///< the image, pixels a side
inline constexpr int Left = 10, Top = 10; ///< where it lies in the window
inline constexpr int IntervalMs = 26;
inline constexpr int Square = 8;

struct Rect {
    int X, Y, Width, Height;
};

/// Seconds to run, from the first argument (default 20).
inline double Seconds(int argc, char** argv) { return argc > 1 ? std::atof(argv[1]) : 20; }

/// The square's place at step `step`, in image pixels.
inline Rect SquareAt(int step)
{
    const double angle = step * 0.1;
    return {int(150 + 100 * std::cos(angle)), int(150 + 100 * std::sin(angle)), Square, Square};
}

inline void Fill(std::uint32_t* pixels, int stride, Rect rect, std::uint32_t colour)
{
    for (int y = rect.Y; y < rect.Y + rect.Height; ++y)
        for (int x = rect.X; x < rect.X + rect.Width; ++x)
            pixels[y * stride + x] = colour;
}

/// Moves the square one step in `pixels` (stride in pixels) and returns the
/// rectangle, in image pixels, that changed.
inline Rect Step(std::uint32_t* pixels, int stride, int& step)
{
    const Rect old = SquareAt(step), now = SquareAt(++step);
    Fill(pixels, stride, old, 0xFFFFFFFF);
    Fill(pixels, stride, now, 0xFF000000);
    const int left = old.X < now.X ? old.X : now.X, top = old.Y < now.Y ? old.Y : now.Y;
    const int right = (old.X > now.X ? old.X : now.X) + Square, bottom = (old.Y > now.Y ? old.Y : now.Y) + Square;
    return {left, top, right - left, bottom - top};
}

} // namespace floor_job
