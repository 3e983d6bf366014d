#include "Pictures.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QStringList>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "DrawFrame.h"
#include "ModeCaptions.h"
#include "ShotHistory.h"
#include "World.h"

namespace {

/// A view of the surface's pixels as an image, without copying.
QImage View(const Surface& surface)
{
    return QImage(reinterpret_cast<const uchar*>(surface.Pixels.data()), surface.Width, surface.Height,
                  surface.Width * int(sizeof(Pixel)), QImage::Format_RGB32);
}

/// Writes the whole file beside its final name, then renames it into place,
/// so a failed write never leaves a half-written picture behind.
std::string WriteFile(const QByteArray& bytes, const std::string& path)
{
    const std::string part = path + ".part";
    std::FILE* file = std::fopen(part.c_str(), "wb");
    if (!file)
        return "cannot write " + path + ": " + std::strerror(errno);
    const bool written =
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), file) == std::size_t(bytes.size());
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        const int error = written ? errno : writeError;
        std::remove(part.c_str());
        return "cannot write " + path + ": " + std::strerror(error);
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        const int error = errno;
        std::remove(part.c_str());
        return "cannot write " + path + ": " + std::strerror(error);
    }
    return {};
}

std::string SaveImage(const QImage& image, const std::string& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return "cannot encode " + path + " as PNG";
    return WriteFile(bytes, path);
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

std::string SavePng(const Surface& surface, const std::string& path) { return SaveImage(View(surface), path); }

QImage TrailImage(const World& world, const Surface& sheet, const ShotHistory& history)
{
    World background = world;
    ClearShots(background);
    Surface playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    PaintFrame(background, playfield, sheet);
    QImage image = View(playfield).copy();

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t n = 0; n < history.Shots.size(); ++n) {
        const ShotRecord& shot = history.Shots[n];
        if (shot.Path.empty())
            continue;
        QPolygonF path;
        path.reserve(qsizetype(shot.Path.size()));
        for (const PathPoint& point : shot.Path)
            path << QPointF(point.X, point.Y);
        painter.setPen(QPen(TrailColour(n), 1.2));
        painter.drawPolyline(path);
        DrawEndMark(painter, shot, path.back());
    }
    return image;
}

std::string SaveTrail(const World& world, const Surface& sheet, const ShotHistory& history, const std::string& path)
{
    return SaveImage(TrailImage(world, sheet, history), path);
}

namespace {

QFont CaptionFont(int points)
{
    QStringList families;
    for (const char* family : CaptionFontFamilies)
        families << QString::fromUtf8(family);
    QFont font;
    font.setFamilies(families);
    font.setPointSize(points);
    return font;
}

} // namespace

std::string SaveComparison(const std::array<ComparePanel, 6>& panels, const std::string& path)
{
    constexpr int Gap = 12, Head = 28, Foot = 40, Cell = PlayfieldSize;
    QImage image(3 * Cell + 4 * Gap, 2 * (Head + Cell + Foot) + 3 * Gap, QImage::Format_RGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t n = 0; n < panels.size(); ++n) {
        const ComparePanel& panel = panels[n];
        const int left = Gap + int(n % 3) * (Cell + Gap);
        const int top = Gap + int(n / 3) * (Head + Cell + Foot + Gap);
        painter.setPen(Qt::black);
        painter.setFont(CaptionFont(CaptionFontPoints));
        painter.drawText(QRect(left, top, Cell, Head), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(panel.Caption));
        painter.drawImage(left, top + Head, TrailImage(*panel.World, *panel.Sheet, *panel.History));
        painter.setFont(CaptionFont(9));
        painter.drawText(QRect(left, top + Head + Cell + 2, Cell, Foot - 2), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(panel.Figures));
    }
    painter.end();
    return SaveImage(image, path);
}
