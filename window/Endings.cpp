#include "Endings.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>

#include "Form1.h"
#include "Output.h"

namespace {

int SignalPipe[2] = {-1, -1};
volatile std::sig_atomic_t CaughtSignal = 0;
Form1* Running = nullptr; ///< the form whose files a sudden end must finish
QtMessageHandler QtHandler = nullptr;

/// The first signal closes the window by way of the event loop; a second one,
/// should the first not get through, ends the program at once.
void OnSignal(int signal)
{
    if (CaughtSignal != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    CaughtSignal = signal;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
}

void FinishFiles()
{
    if (Running)
        Running->FinishSession();
}

/// Qt ends the program by itself when the display connection breaks
/// (exit(1) for X11, _exit(1) for Wayland), after one warning that says so:
/// the last moment to finish the files. Wayland's warning comes from Qt's
/// own event thread, while the frame loop runs on: the files are the main
/// thread's, so it finishes them there and ends the program itself, as Qt
/// would have, while this thread waits (at most two seconds, should the
/// main thread be stuck: then the last flush, at most a second old, stands).
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QtHandler(type, context, message);
    if (type == QtDebugMsg || type == QtInfoMsg || !message.contains(QLatin1String("connection broke")))
        return;
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        return FinishFiles();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            FinishFiles();
            std::_Exit(1);
        },
        Qt::QueuedConnection);
    QThread::sleep(2);
}

/// The form's X window destroyed by another client (xdotool windowclose,
/// xkill's gentler kin): Qt would carry on without a window, so close it.
struct DestroyedWindowFilter final : QAbstractNativeEventFilter {
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (!Running || type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
            return false;
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
        if (destroyed->window == Running->winId())
            QMetaObject::invokeMethod(Running, &QWidget::close, Qt::QueuedConnection);
        return false;
    }
};

DestroyedWindowFilter DestroyedWindow;

} // namespace

void WatchEndings(Form1& form)
{
    Running = &form;
    QtHandler = qInstallMessageHandler(OnQtMessage);
    std::atexit(FinishFiles);
    QCoreApplication::instance()->installNativeEventFilter(&DestroyedWindow);
    if (::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // no pipe, no graceful end: the signals keep their usual effect
    auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, &form);
    QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
        char byte;
        while (::read(SignalPipe[0], &byte, 1) > 0) {
        }
        form.close();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : EndingSignals) {
        struct sigaction before {};
        // A signal ignored from the start (SIGINT for a job started in the background) stays ignored.
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

int EndSession(Form1& form, int status)
{
    const int sessionStatus = form.FinishSession();
    Running = nullptr;
    QCoreApplication::instance()->removeNativeEventFilter(&DestroyedWindow);
    if (const int signal = CaughtSignal) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return sessionStatus != 0 ? sessionStatus : status;
}
