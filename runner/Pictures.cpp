#include "Pictures.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "CaptionFont.h"
#include "Captions.h"
#include "DrawFrame.h"
#include "MapColours.h"
#include "Methods.h"
#include "PictureFile.h"
#include "Script.h"
#include "ShotHistory.h"
#include "World.h"

namespace {

/// A view of the surface's pixels as an image, without copying.
QImage View(const Surface& surface)
{
    return QImage(reinterpret_cast<const uchar*>(surface.Pixels.data()), surface.Width, surface.Height,
                  surface.Width * int(sizeof(Pixel)), QImage::Format_RGB32);
}

/// Writes `image` as a PNG whose text says what made it: the program and its
/// version (Software), and the settings or script (Source).
std::string SaveImage(QImage image, const std::string& path, const std::string& source)
{
    image.setText("Software", "homing-sim " HOMING_VERSION);
    image.setText("Source", QString::fromStdString(source));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return "cannot encode " + path + " as PNG";
    return WritePictureFile(std::string_view(bytes.constData(), std::size_t(bytes.size())), path);
}

/// Well-separated colours for any number of shots: hues a golden angle apart.
QColor TrailColour(std::size_t index)
{
    return QColor::fromHsv(int(std::fmod(double(index) * 137.508, 360.0)), 230, 200);
}

void DrawEndMark(QPainter& painter, const ShotRecord& shot, QPointF end)
{
    if (shot.Outcome == ShotOutcome::Hit) {
        painter.setBrush(painter.pen().color());
        painter.drawEllipse(end, 2.5, 2.5);
        painter.setBrush(Qt::NoBrush);
    } else if (shot.Outcome == ShotOutcome::Expired) {
        painter.drawLine(end + QPointF(-3, -3), end + QPointF(3, 3));
        painter.drawLine(end + QPointF(-3, 3), end + QPointF(3, -3));
    }
}

} // namespace

std::string SavePng(const Surface& surface, const std::string& path, const std::string& source)
{
    return SaveImage(View(surface), path, source);
}

namespace {

/// Points this far off the playfield are drawn segment by segment, each cut
/// to a box round the playfield, so the rasteriser sees no huge coordinates.
constexpr double SafeReach = 10000;
constexpr double BoxLow = -100, BoxHigh = PlayfieldSize + 100;

bool Near(const PathPoint& point) { return std::fabs(point.X) < SafeReach && std::fabs(point.Y) < SafeReach; }

/// Cuts the segment a-b to the box (Liang-Barsky); false when none of it is inside.
bool ClipToBox(QPointF& a, QPointF& b)
{
    double enter = 0, leave = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x() - BoxLow, BoxHigh - a.x(), a.y() - BoxLow, BoxHigh - a.y()};
    for (int n = 0; n < 4; ++n) {
        if (p[n] == 0) {
            if (q[n] < 0)
                return false;
            continue;
        }
        const double t = q[n] / p[n];
        if (p[n] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    const QPointF from = a;
    a = from + QPointF(dx, dy) * enter;
    b = from + QPointF(dx, dy) * leave;
    return true;
}

void DrawPath(QPainter& painter, const std::vector<PathPoint>& path)
{
    if (std::all_of(path.begin(), path.end(), Near)) {
        QPolygonF polygon;
        polygon.reserve(qsizetype(path.size()));
        for (const PathPoint& point : path)
            polygon << QPointF(point.X, point.Y);
        painter.drawPolyline(polygon);
        return;
    }
    for (std::size_t n = 1; n < path.size(); ++n) {
        QPointF a(path[n - 1].X, path[n - 1].Y), b(path[n].X, path[n].Y);
        if (ClipToBox(a, b))
            painter.drawLine(a, b);
    }
}

void DrawShot(QPainter& painter, const ShotRecord& shot)
{
    if (shot.Path.empty())
        return;
    painter.setPen(QPen(TrailColour(shot.Index), 1.2));
    DrawPath(painter, shot.Path);
    if (Near(shot.Path.back()))
        DrawEndMark(painter, shot, QPointF(shot.Path.back().X, shot.Path.back().Y));
}

QImage TransparentLayer()
{
    QImage layer(PlayfieldSize, PlayfieldSize, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    return layer;
}

const QColor MarkerPathColour(150, 150, 150);
constexpr std::size_t MarkerPointsPerStroke = 512;

void DrawMarkerPath(QImage& layer, const std::vector<PathPoint>& path)
{
    if (path.size() < 2)
        return;
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(MarkerPathColour, 1));
    DrawPath(painter, path);
}

} // namespace

TrailCanvas::TrailCanvas() : MarkerLayer(TransparentLayer()), ShotLayer(TransparentLayer())
{
    MarkerPath.reserve(MarkerPointsPerStroke);
}

void TrailCanvas::OnFrame(const World& world, const FrameOutcome&)
{
    const PathPoint at{world.MeX, world.MeY};
    if (!MarkerPath.empty() && MarkerPath.back().X == at.X && MarkerPath.back().Y == at.Y)
        return;
    MarkerPath.push_back(at);
    if (MarkerPath.size() < MarkerPointsPerStroke)
        return;
    DrawMarkerPath(MarkerLayer, MarkerPath);
    MarkerPath.erase(MarkerPath.begin(), MarkerPath.end() - 1);
}

void TrailCanvas::OnShotEnded(const ShotRecord& shot)
{
    QPainter painter(&ShotLayer);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawShot(painter, shot);
}

QImage TrailCanvas::Picture(const World& world, const Surface& sheet, const ShotHistory& history) const
{
    World background = world;
    ClearShots(background);
    Surface playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    PaintFrame(background, playfield, sheet);
    QImage image = View(playfield).copy();

    QImage markerPath = MarkerLayer;
    DrawMarkerPath(markerPath, MarkerPath);
    QPainter painter(&image);
    painter.drawImage(0, 0, markerPath);
    painter.drawImage(0, 0, ShotLayer);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int slot = 0; slot < ShotSlots; ++slot)
        if (history.IsOpen[slot])
            DrawShot(painter, history.Records[slot]);
    return image;
}

std::string SaveTrail(const World& world, const Surface& sheet, const TrailCanvas& trails, const ShotHistory& history,
                      const std::string& path, const std::string& source)
{
    return SaveImage(trails.Picture(world, sheet, history), path, source);
}

namespace {

constexpr int Gap = 12, Head = 28, Foot = 40, Cell = PlayfieldSize;

/// Panels across the grid, and the rows the methods take.
constexpr int PanelColumns = 3, PanelRows = (SteeringModeCount + PanelColumns - 1) / PanelColumns;

/// The methods' panels in a grid, `extra` pixels of background left below.
QImage ComparisonImage(const ComparePanels& panels, int extra)
{
    QImage image(PanelColumns * Cell + (PanelColumns + 1) * Gap,
                 PanelRows * (Head + Cell + Foot) + (PanelRows + 1) * Gap + extra, QImage::Format_RGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t n = 0; n < panels.size(); ++n) {
        const ComparePanel& panel = panels[n];
        const int left = Gap + int(n % PanelColumns) * (Cell + Gap);
        const int top = Gap + int(n / PanelColumns) * (Head + Cell + Foot + Gap);
        const QString caption = QString::fromUtf8(panel.Caption);
        const QFont captionFont = CaptionFont(CaptionFontPoints);
        painter.setPen(Qt::black);
        painter.setFont(captionFont);
        painter.drawText(QRect(left, top, Cell, Head), Qt::AlignLeft | Qt::AlignVCenter, caption);
        const int nameLeft = left + QFontMetrics(captionFont).horizontalAdvance(caption) + 8;
        painter.setPen(QColor(70, 70, 70));
        painter.setFont(CaptionFont(10));
        painter.drawText(QRect(nameLeft, top, left + Cell - nameLeft, Head), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(panel.Name));
        painter.drawImage(left, top + Head, panel.Trail);
        painter.setPen(Qt::black);
        painter.setFont(CaptionFont(9));
        painter.drawText(QRect(left, top + Head + Cell + 2, Cell, Foot - 2), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(panel.Figures));
    }
    painter.end();
    return image;
}

QColor Colour(MapRgb rgb) { return QColor(QRgb(rgb)); }

/// The catch boundary: a red that neither the colour scale nor the greys hold.
const QColor BoundaryColour = Colour(BoundaryRgb);

/// The edges between places where at least half the shots are caught and
/// places where fewer are, one line along each such edge of the grid.
void DrawCatchBoundary(QPainter& painter, const CaptureMap& map, const MapSettings& settings, SteeringMode mode)
{
    painter.setPen(QPen(BoundaryColour, settings.Step >= 4 ? 2 : 1));
    const int step = settings.Step;
    for (int row = 0; row < map.Rows; ++row)
        for (int column = 0; column < map.Columns; ++column) {
            const bool mostly = map.At(column, row, int(mode)).MostlyCaught();
            if (column + 1 < map.Columns && map.At(column + 1, row, int(mode)).MostlyCaught() != mostly)
                painter.drawLine((column + 1) * step, row * step, (column + 1) * step, (row + 1) * step);
            if (row + 1 < map.Rows && map.At(column, row + 1, int(mode)).MostlyCaught() != mostly)
                painter.drawLine(column * step, (row + 1) * step, (column + 1) * step, (row + 1) * step);
        }
}

} // namespace

std::string SaveComparison(const ComparePanels& panels, const std::string& path, const std::string& source)
{
    return SaveImage(ComparisonImage(panels, 0), path, source);
}

QImage MapPanel(const CaptureMap& map, const MapSettings& settings, SteeringMode mode)
{
    QImage image(Cell, Cell, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int row = 0; row < map.Rows; ++row)
        for (int column = 0; column < map.Columns; ++column) {
            painter.fillRect(column * settings.Step, row * settings.Step, settings.Step, settings.Step,
                             Colour(PlaceColour(map.At(column, row, int(mode)))));
        }
    DrawCatchBoundary(painter, map, settings, mode);
    // The launcher: a white ring round a black dot.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(LaunchX, LaunchY), 4, 4);
    return image;
}

std::string SaveMap(const ComparePanels& panels, const std::string& note, const std::string& path,
                    const std::string& source)
{
    constexpr int Legend = 86;
    QImage image = ComparisonImage(panels, Legend);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int top = image.height() - Legend - Gap / 2, left = Gap, bar = 2 * Cell;
    for (int x = 0; x < bar; ++x)
        painter.fillRect(left + x, top + 18, 1, 16, Colour(Viridis((x + 0.5) / bar)));
    // Ticks are placed by the same square root as the places' colours.
    painter.setPen(Qt::black);
    painter.setFont(CaptionFont(9));
    painter.drawText(QRect(left, top, bar, 16), Qt::AlignLeft | Qt::AlignBottom,
                     "median frames from launch to the catch (square-root scale)");
    for (const int frames : {0, 10, 25, 50, 100, 200, 300, 400, 500}) {
        const int x = left + int(std::lrint(MapShare(frames) * (bar - 1)));
        painter.drawLine(x, top + 34, x, top + 38);
        painter.drawText(QRect(x - 30, top + 38, 60, 16), Qt::AlignHCenter | Qt::AlignTop, QString::number(frames));
    }
    const int keyLeft = left + bar + 3 * Gap;
    for (int n = 0; n < 5; ++n)
        painter.fillRect(keyLeft + 16 * n, top + 18, 16, 16, Colour(MostlyMissed(n / 10.0)));
    painter.drawText(QRect(keyLeft, top, Cell, 16), Qt::AlignLeft | Qt::AlignBottom,
                     "fewer than half caught (darker: fewer)");
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawEllipse(QPointF(keyLeft + 100, top + 26), 4, 4);
    painter.setPen(Qt::black);
    painter.drawText(QRect(keyLeft + 110, top + 18, Cell, 16), Qt::AlignLeft | Qt::AlignVCenter, "the launcher");
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(BoundaryColour, 2));
    painter.drawLine(keyLeft, top + 46, keyLeft + 32, top + 46);
    painter.setPen(Qt::black);
    painter.drawText(QRect(keyLeft + 40, top + 38, Cell, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     "catch boundary: half the shots caught");
    painter.drawText(QRect(left, top + 58, image.width() - 2 * Gap, 20), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(note));
    painter.end();
    return SaveImage(image, path, source);
}

namespace {

constexpr int ChartWidth = Cell, ChartHeight = 150, ChartLeft = 40, ChartBottom = 34;
const QColor PlacesColour(42, 77, 143), ShotsColour(224, 130, 20);

/// One sweep chart: its caption, axes, and the two shares against the draw's value.
void DrawSweepChart(QPainter& painter, const SweepCurve& curve, int left, int top)
{
    const SteeringMode mode = curve.Parameter.Mode;
    const LaunchDraw draw = curve.Parameter.Draw;
    painter.setPen(Qt::black);
    const QFont captionFont = CaptionFont(CaptionFontPoints);
    painter.setFont(captionFont);
    const QString caption = QString::fromUtf8(Methods[std::size_t(mode)].Caption);
    painter.drawText(QRect(left, top, ChartWidth, Head), Qt::AlignLeft | Qt::AlignVCenter, caption);
    const int nameLeft = left + QFontMetrics(captionFont).horizontalAdvance(caption) + 8;
    painter.setPen(QColor(70, 70, 70));
    painter.setFont(CaptionFont(9));
    painter.drawText(QRect(nameLeft, top, left + ChartWidth - nameLeft, Head), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8(Methods[std::size_t(mode)].Name));
    const QRect plot(left + ChartLeft, top + Head, ChartWidth - ChartLeft - 8, ChartHeight);
    painter.fillRect(plot, Qt::white);
    const double low = DrawValue(mode, draw, 0), high = DrawValue(mode, draw, 0.99999994f);
    const auto at = [&](double value, double share) {
        return QPointF(plot.left() + (value - low) / (high - low) * plot.width(),
                       plot.bottom() - share * plot.height());
    };
    painter.setPen(QColor(200, 200, 200));
    for (const double share : {0.25, 0.5, 0.75})
        painter.drawLine(at(low, share), at(high, share));
    painter.setPen(Qt::black);
    painter.drawRect(plot);
    for (const int percent : {0, 50, 100})
        painter.drawText(QRect(left, int(at(low, percent / 100.0).y()) - 8, ChartLeft - 4, 16),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(percent) + " %");
    for (const double part : {0.0, 0.5, 1.0}) {
        const double value = low + part * (high - low);
        const QPointF tick = at(value, 0);
        painter.drawLine(tick, tick + QPointF(0, 4));
        painter.drawText(QRectF(tick.x() - 40, tick.y() + 4, 80, 14), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(value, 'g', 3));
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + 18, plot.width(), 14), Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromUtf8(DrawMeaning(draw)));
    painter.setRenderHint(QPainter::Antialiasing);
    for (const bool places : {true, false}) {
        QPolygonF line;
        for (const SweepPoint& point : curve.Points)
            line << at(point.Value, places ? point.Figures.MostlyCaught : point.Figures.Caught);
        painter.setPen(QPen(places ? PlacesColour : ShotsColour, 2, places ? Qt::SolidLine : Qt::DashLine));
        painter.drawPolyline(line);
        painter.setBrush(places ? PlacesColour : ShotsColour);
        for (const QPointF& point : line)
            painter.drawEllipse(point, 2.5, 2.5);
        painter.setBrush(Qt::NoBrush);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

std::string SaveSweep(const std::vector<SweepCurve>& curves, const std::string& note, const std::string& path,
                      const std::string& source)
{
    constexpr int Columns = 3, Legend = 56, CellHeight = Head + ChartHeight + ChartBottom + Gap;
    const int width = Columns * ChartWidth + (Columns + 1) * Gap;
    QImage image(width, Gap + SteeringModeCount * CellHeight + Legend, QImage::Format_RGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // A row for each method, its draws side by side.
    int column = 0;
    for (std::size_t n = 0; n < curves.size(); ++n) {
        if (n > 0 && curves[n].Parameter.Mode != curves[n - 1].Parameter.Mode)
            column = 0;
        DrawSweepChart(painter, curves[n], Gap + column++ * (ChartWidth + Gap),
                       Gap + int(curves[n].Parameter.Mode) * CellHeight);
    }
    const int top = Gap + SteeringModeCount * CellHeight;
    painter.setFont(CaptionFont(9));
    for (const bool places : {true, false}) {
        const int left = Gap + (places ? 0 : 420);
        painter.setPen(QPen(places ? PlacesColour : ShotsColour, 2, places ? Qt::SolidLine : Qt::DashLine));
        painter.drawLine(left, top + 8, left + 32, top + 8);
        painter.setPen(Qt::black);
        painter.drawText(QRect(left + 40, top, 380, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         places ? "places where at least half the shots are caught" : "all shots caught");
    }
    painter.drawText(QRect(Gap, top + 22, width - 2 * Gap, 30), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromStdString(note));
    painter.end();
    return SaveImage(image, path, source);
}
