#include "Startup.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

#include "Form1.h"

namespace {

bool Set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

/// Whether Qt will find a screen, asked before Qt would abort without one.
bool DisplayAvailable()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0)
        return true; // another platform asked for by name: Qt reports on it itself
    if (Set("DISPLAY")) {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        const bool connected = !xcb_connection_has_error(connection);
        xcb_disconnect(connection);
        if (connected)
            return true;
    }
    return Set("WAYLAND_DISPLAY") && !platform;
}

} // namespace

int RunHoming(int argc, char** argv)
{
    if (!DisplayAvailable()) {
        std::fputs("homing: no display to open the window on (DISPLAY and WAYLAND_DISPLAY name none that "
                   "answers); to run it headless, start it under xvfb-run\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    Form1 form;
    form.show();
    return application.exec();
}
