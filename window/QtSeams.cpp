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

PlayfieldPresenter::PlayfieldPresenter(PictureBox& picture) : Picture(picture), Screen(PlayfieldSize, PlayfieldSize) {}

PlayfieldPresenter::~PlayfieldPresenter() = default;

void PlayfieldPresenter::Present(const Surface& playfield, const ChangeBounds& bounds)
{
    const Damage& changed = Screen.TakeChanges(playfield, bounds);
    if (changed.Count == 0)
        return;
    if (!DirectTried && Picture.isVisible()) {
        DirectTried = true;
        DirectImage = X11SharedImage::Open(Picture, Picture.DrawingOrigin(), PlayfieldSize, PlayfieldSize);
        if (!DirectImage)
            Subsurface = WaylandSubsurface::Open(Picture, Picture.DrawingOrigin(), PlayfieldSize, PlayfieldSize);
    }
    const bool put =
        DirectImage ? DirectImage->Put(playfield, changed) : Subsurface && Subsurface->Put(playfield, changed);
    if (!put) {
        QRegion region;
        const QPoint origin = Picture.DrawingOrigin();
        for (int n = 0; n < changed.Count; ++n) {
            const PixelRect& rect = changed.Rects[std::size_t(n)];
            region += QRect(origin.x() + rect.Left, origin.y() + rect.Top, rect.Width, rect.Height);
        }
        Picture.repaint(region);
    }
    if (Presented)
        Presented();
}
