#pragma once

#include <chrono>

#include "Seams.h"

struct ca_context;

/// The desktop sound theme's bell through libcanberra's PulseAudio driver
/// (PipeWire desktops serve it too); where that cannot play, the window
/// system's bell. Never blocks the frame loop and never prints.
class SystemBeep final : public BeepSink {
public:
    SystemBeep();
    ~SystemBeep();
    SystemBeep(const SystemBeep&) = delete;
    SystemBeep& operator=(const SystemBeep&) = delete;

    void Beep() override;

private:
    ca_context* Context = nullptr;
    /// After a play that failed, the sound theme is tried again only from here on.
    std::chrono::steady_clock::time_point RetryAt{};
};
