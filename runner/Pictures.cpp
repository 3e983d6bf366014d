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
#include "MapPainter.h"
#include "Methods.h"
#include "PictureFile.h"
#include "Script.h"
#include "ShotHistory.h"
#include "SweepChart.h"
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

/// A map's panels carry axes: their numbers left of and under the places.
constexpr int AxisLeft = 26, AxisUnder = 13;

/// Where each panel's places go, with or without axes.
struct PanelGrid {
    int Axis = 0, Under = 0; ///< pixels: the axes' numbers, left and under
    int Left(std::size_t n) const { return Gap + Axis + int(n % PanelColumns) * (Axis + Cell + Gap); }
    int Top(std::size_t n) const { return Gap + int(n / PanelColumns) * (Head + Cell + Under + Foot + Gap); }
    int Width() const { return PanelColumns * (Axis + Cell) + (PanelColumns + 1) * Gap; }
    int Height() const { return PanelRows * (Head + Cell + Under + Foot) + (PanelRows + 1) * Gap; }
};

/// The pixels of the places along both edges, at the painter's ticks.
void DrawAxisNumbers(QPainter& painter, int left, int top)
{
    painter.setPen(QColor(60, 60, 60));
    painter.setFont(CaptionFont(7));
    for (int at = 0; at <= Cell; at += MapTickEvery) {
        const QString number = QString::number(at) + (at == Cell ? " px" : "");
        painter.drawText(QRect(left + at - 20, top + Cell + 1, 40, AxisUnder - 1), Qt::AlignHCenter | Qt::AlignTop,
                         at == 0 ? "0" : number);
        if (at > 0)
            painter.drawText(QRect(left - AxisLeft, top + at - 7, AxisLeft - 3, 14), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(at));
    }
}

/// The methods' panels in a grid, `extra` pixels of background left below.
QImage ComparisonImage(const ComparePanels& panels, int extra, PanelGrid grid = {})
{
    QImage image(grid.Width(), grid.Height() + extra, QImage::Format_RGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t n = 0; n < panels.size(); ++n) {
        const ComparePanel& panel = panels[n];
        const int left = grid.Left(n), top = grid.Top(n);
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
        if (grid.Axis)
            DrawAxisNumbers(painter, left, top + Head);
        painter.setPen(Qt::black);
        painter.setFont(CaptionFont(9));
        painter.drawText(QRect(left, top + Head + Cell + grid.Under + 2, Cell, Foot - 2), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(panel.Figures));
    }
    painter.end();
    return image;
}

QColor Colour(MapRgb rgb) { return QColor(QRgb(rgb)); }

} // namespace

std::string SaveComparison(const ComparePanels& panels, const std::string& path, const std::string& source)
{
    return SaveImage(ComparisonImage(panels, 0), path, source);
}

QImage MapPanel(const CaptureMap& map, const MapSettings& settings, SteeringMode mode)
{
    return View(MapPanelSurface(map, settings, mode)).copy();
}

std::string SaveMap(const ComparePanels& panels, const std::string& note, const std::string& path,
                    const std::string& source)
{
    constexpr int Legend = 86;
    QImage image = ComparisonImage(panels, Legend, {AxisLeft, AxisUnder});
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int top = image.height() - Legend - Gap / 2, left = Gap, bar = 2 * Cell;
    Surface scale = MakeSurface(bar, 21, MakePixel(236, 236, 236));
    PaintColourScale(scale);
    painter.drawImage(left, top + 18, View(scale));
    painter.setPen(Qt::black);
    painter.setFont(CaptionFont(9));
    painter.drawText(QRect(left, top, bar, 16), Qt::AlignLeft | Qt::AlignBottom,
                     "median frames from launch to the catch (square-root scale)");
    for (const int frames : ScaleTickFrames) {
        const int x = left + ScaleTickX(bar, frames);
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
    painter.drawText(QRect(keyLeft + 110, top + 18, Cell, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     "the launcher; arrow: the launch heading");
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Colour(BoundaryRgb), 2));
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

using Chart = SweepChartLayout;

/// One sweep chart: its caption over the painter's chart, and the chart's labels.
void DrawSweepChart(QPainter& painter, const SweepCurve& curve, int left, int top)
{
    const SteeringMode mode = curve.Parameter.Mode;
    painter.setPen(Qt::black);
    const QFont captionFont = CaptionFont(CaptionFontPoints);
    painter.setFont(captionFont);
    const QString caption = QString::fromUtf8(Methods[std::size_t(mode)].Caption);
    painter.drawText(QRect(left, top, Chart::Width, Head), Qt::AlignLeft | Qt::AlignVCenter, caption);
    const int nameLeft = left + QFontMetrics(captionFont).horizontalAdvance(caption) + 8;
    painter.setPen(QColor(70, 70, 70));
    painter.setFont(CaptionFont(9));
    painter.drawText(QRect(nameLeft, top, left + Chart::Width - nameLeft, Head), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8(Methods[std::size_t(mode)].Name));
    const SweepChartLayout layout = LayOutSweepChart(curve);
    Surface chart = MakeSurface(Chart::Width, Chart::Height, MakePixel(236, 236, 236));
    PaintSweepChart(chart, layout, curve);
    top += Head;
    painter.drawImage(left, top, View(chart));
    painter.setPen(Qt::black);
    painter.setFont(CaptionFont(8));
    const auto text = [&](const ChartLabel& label, Qt::Alignment align, int width = 240) {
        const int x = align & Qt::AlignRight     ? label.X - width
                      : align & Qt::AlignHCenter ? label.X - width / 2
                                                 : label.X;
        const int y = align & Qt::AlignTop ? label.Y : label.Y - 7;
        painter.drawText(QRect(left + x, top + y, width, 14), align, QString::fromStdString(label.Text));
    };
    for (const ChartLabel& tick : layout.YTicks)
        text(tick, Qt::AlignRight | Qt::AlignVCenter);
    for (const ChartLabel& tick : layout.XTicks)
        text(tick, Qt::AlignHCenter | Qt::AlignTop);
    text(layout.Title, Qt::AlignHCenter | Qt::AlignTop, 2 * (Chart::Width - layout.Title.X)); // the whole chart's width
    text(layout.PlacesKey, Qt::AlignLeft | Qt::AlignVCenter);
    text(layout.ShotsKey, Qt::AlignLeft | Qt::AlignVCenter);
    if (layout.Said()) // said, as the chart does not show it by its lines alone
        text({Chart::PlotLeft + 6, Chart::PlotTop + 6, layout.Words}, Qt::AlignLeft | Qt::AlignTop);
}

} // namespace

SweepPictureLayout LayOutSweepPicture(const std::vector<SweepCurve>& curves)
{
    // A row for each method, a column for each of its draws: as many columns
    // as the method that makes the most draws.
    constexpr int Columns = MostLaunchDraws(), CellHeight = Head + Chart::Height + Gap;
    SweepPictureLayout layout;
    layout.Width = Columns * Chart::Width + (Columns + 1) * Gap;
    layout.ChartWidth = Chart::Width, layout.ChartHeight = Head + Chart::Height;
    layout.LegendTop = Gap + SteeringModeCount * CellHeight;
    layout.Height = layout.LegendTop + 56;
    int column = 0;
    for (std::size_t n = 0; n < curves.size(); ++n) {
        if (n > 0 && curves[n].Parameter.Mode != curves[n - 1].Parameter.Mode)
            column = 0;
        layout.Charts.push_back(
            {Gap + column++ * (Chart::Width + Gap), Gap + int(curves[n].Parameter.Mode) * CellHeight});
    }
    return layout;
}

std::string SaveSweep(const std::vector<SweepCurve>& curves, const std::string& note, const std::string& path,
                      const std::string& source)
{
    const SweepPictureLayout layout = LayOutSweepPicture(curves);
    QImage image(layout.Width, layout.Height, QImage::Format_RGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t n = 0; n < curves.size(); ++n)
        DrawSweepChart(painter, curves[n], layout.Charts[n].Left, layout.Charts[n].Top);
    const int top = layout.LegendTop, width = layout.Width;
    painter.setFont(CaptionFont(9));
    painter.setPen(Qt::black);
    painter.drawText(QRect(Gap, top, width - 2 * Gap, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     "places half caught: the share of places where at least half the shots are caught; "
                     "shots caught: the share of all shots");
    painter.drawText(QRect(Gap, top + 22, width - 2 * Gap, 30), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromStdString(note));
    painter.end();
    return SaveImage(image, path, source);
}
