#include "SystemBeep.h"

#include <QApplication>

#include <canberra.h>

SystemBeep::SystemBeep()
{
    if (ca_context_create(&Context) != CA_SUCCESS) {
        Context = nullptr;
        return;
    }
    // Only the pulse driver: without a sound server the default driver falls
    // back to raw ALSA, which prints a dozen lines on every play.
    ca_context_set_driver(Context, "pulse");
    ca_context_change_props(Context, CA_PROP_APPLICATION_NAME, "homing", nullptr);
}

SystemBeep::~SystemBeep()
{
    if (Context)
        ca_context_destroy(Context);
}

void SystemBeep::Beep()
{
    // ca_context_play returns at once; the sound plays in the server. With no
    // server to reach, each play loads and drops the driver again (symbol
    // look-ups, allocations: most of what a frame costs besides drawing), so
    // after a failure the window system's bell serves for a while.
    constexpr std::chrono::seconds RetryAfter{10};
    const auto now = std::chrono::steady_clock::now();
    if (Context && now >= RetryAt) {
        if (ca_context_play(Context, 0, CA_PROP_EVENT_ID, "bell", CA_PROP_EVENT_DESCRIPTION, "A shot caught the marker",
                            nullptr) == CA_SUCCESS)
            return;
        RetryAt = now + RetryAfter;
    }
    QApplication::beep();
}
