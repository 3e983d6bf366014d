#include "QtSeams.h"

#include <QCoreApplication>
#include <QRegion>

#include "PictureBox.h"
#include "World.h"

QtEventPump::QtEventPump()
{
    Deadline.setSingleShot(true);
    Deadline.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::ProcessPendingEvents(std::uint32_t maxWaitMs)
{
    if (maxWaitMs == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    Deadline.start(int(maxWaitMs));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

RepaintPresenter::RepaintPresenter(PictureBox& picture)
    // Pixels always have their top byte set, so every tile differs at the first frame.
    : Picture(picture), Shown(MakeSurface(PlayfieldSize, PlayfieldSize, 0))
{}

void RepaintPresenter::Present(const Surface& playfield)
{
    TakeDamage(playfield, Shown, Changed);
    if (Changed.Count == 0)
        return;
    QRegion region;
    const QPoint origin = Picture.DrawingOrigin();
    for (int n = 0; n < Changed.Count; ++n) {
        const PixelRect& rect = Changed.Rects[std::size_t(n)];
        region += QRect(origin.x() + rect.Left, origin.y() + rect.Top, rect.Width, rect.Height);
    }
    Picture.repaint(region);
}
