#include "MapPainter.h"

#include <cmath>

#include "MapColours.h"
#include "Sweep.h"

namespace {

Pixel Colour(MapRgb rgb) { return Black | rgb; }

/// Pixels whose centres lie within `radius` of (centreX, centreY), both in
/// whole pixels, so the disc is symmetric about the launcher's corner point.
void FillDisc(Surface& surface, int centreX, int centreY, int radius, Pixel colour)
{
    for (int dy = -radius; dy < radius; ++dy)
        for (int dx = -radius; dx < radius; ++dx) {
            const int twiceX = 2 * dx + 1, twiceY = 2 * dy + 1; // the centre's offset, doubled
            if (twiceX * twiceX + twiceY * twiceY <= 4 * radius * radius)
                FillRect(surface, centreX + dx, centreY + dy, 1, 1, colour);
        }
}

/// A black line with a white pixel round it, seen on every colour of the map.
void HaloLine(Surface& surface, int fromX, int fromY, int toX, int toY)
{
    surface.PenColor = White;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            MoveToEx(surface, fromX + dx, fromY + dy);
            LineTo(surface, toX + dx, toY + dy);
        }
    surface.PenColor = Black;
    MoveToEx(surface, fromX, fromY);
    LineTo(surface, toX, toY);
}

struct PixelPoint {
    int X, Y;
};

/// The whole pixel `length` from (x, y) along `degrees` (y down).
PixelPoint Along(double x, double y, double degrees, double length)
{
    return {int(std::lrint(x + length * std::cos(degrees * DegToRad))),
            int(std::lrint(y + length * std::sin(degrees * DegToRad)))};
}

void PaintHeadingArrow(Surface& panel, double degrees)
{
    constexpr double From = 7, To = 30, Barb = 8;
    const PixelPoint from = Along(LaunchX, LaunchY, degrees, From), tip = Along(LaunchX, LaunchY, degrees, To);
    HaloLine(panel, from.X, from.Y, tip.X, tip.Y);
    for (const double side : {-1.0, 1.0}) {
        const PixelPoint barb = Along(tip.X, tip.Y, degrees + side * 28, -Barb);
        HaloLine(panel, tip.X, tip.Y, barb.X, barb.Y);
    }
}

void PaintTicks(Surface& panel)
{
    constexpr int Length = 6;
    for (int at = MapTickEvery; at < PlayfieldSize; at += MapTickEvery)
        for (const int edge : {0, PlayfieldSize - Length}) {
            FillRect(panel, at - 1, edge, 3, Length, White);
            FillRect(panel, at, edge, 1, Length, Black);
            FillRect(panel, edge, at - 1, Length, 3, White);
            FillRect(panel, edge, at, Length, 1, Black);
        }
}

} // namespace

void PaintMapCells(Surface& panel, const CaptureMap& map, int step, SteeringMode mode, int row)
{
    for (int column = 0; column < map.Columns; ++column)
        FillRect(panel, column * step, row * step, step, step, Colour(PlaceColour(map.At(column, row, int(mode)))));
}

void PaintMapBoundary(Surface& panel, const CaptureMap& map, int step, SteeringMode mode, int row, bool aboveShown)
{
    const int m = int(mode);
    const int half = step >= 4 ? 1 : 0;
    for (int column = 0; column < map.Columns; ++column) {
        const bool mostly = map.At(column, row, m).MostlyCaught();
        if (column > 0 && map.At(column - 1, row, m).MostlyCaught() != mostly)
            FillRect(panel, column * step - half, row * step, half + 1, step, Colour(BoundaryRgb));
        if (aboveShown && row > 0 && map.At(column, row - 1, m).MostlyCaught() != mostly)
            FillRect(panel, column * step, row * step - half, step, half + 1, Colour(BoundaryRgb));
    }
}

std::optional<double> SharedLaunchHeading(const MapSettings& settings, SteeringMode mode)
{
    if (DrawIndex(mode, LaunchDraw::Heading) < 0)
        return std::nullopt;
    if (settings.Held == LaunchDraw::Heading)
        return DrawValue(mode, LaunchDraw::Heading, settings.HeldValue);
    if (settings.FixedDraws)
        return DrawValue(mode, LaunchDraw::Heading, settings.Draw);
    return std::nullopt;
}

void PaintMapMarks(Surface& panel, std::optional<double> launchHeading)
{
    PaintTicks(panel);
    if (launchHeading)
        PaintHeadingArrow(panel, *launchHeading);
    const int x = int(LaunchX), y = int(LaunchY);
    FillDisc(panel, x, y, 5, White);
    FillDisc(panel, x, y, 3, Black);
}

int ScaleTickX(int width, int frames) { return int(std::lrint(MapShare(frames) * (width - 1))); }

void PaintColourScale(Surface& scale)
{
    for (int x = 0; x < scale.Width; ++x)
        FillRect(scale, x, 0, 1, 16, Colour(Viridis((x + 0.5) / scale.Width)));
    for (const int frames : ScaleTickFrames)
        FillRect(scale, ScaleTickX(scale.Width, frames), 16, 1, 5, Black);
}

Surface MapPanelSurface(const CaptureMap& map, const MapSettings& settings, SteeringMode mode)
{
    Surface panel = MakeSurface(PlayfieldSize, PlayfieldSize);
    for (int row = 0; row < map.Rows; ++row)
        PaintMapCells(panel, map, settings.Step, mode, row);
    for (int row = 0; row < map.Rows; ++row)
        PaintMapBoundary(panel, map, settings.Step, mode, row, true);
    PaintMapMarks(panel, SharedLaunchHeading(settings, mode));
    return panel;
}
