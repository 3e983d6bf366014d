#include "QtSeams.h"

#include <QCoreApplication>
#include <QWidget>

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

void RepaintPresenter::Present(const Surface&) { Picture.repaint(); }
