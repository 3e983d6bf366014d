#pragma once
// The frame loop's seams, backed by Qt.

#include <QTimer>

#include "Damage.h"
#include "Raster.h"
#include "Seams.h"

class PictureBox;

/// Runs Qt's waiting events. Asked to wait, it sleeps until an event arrives or
/// a precise single-shot timer marks the deadline, so waiting between frames
/// costs no processor time.
class QtEventPump final : public EventPump {
public:
    QtEventPump();
    void ProcessPendingEvents(std::uint32_t maxWaitMs) override;

private:
    QTimer Deadline;
};

/// Presents by repainting at once, from the picture box's persistent image,
/// only the tiles that changed since the last frame it presented.
class RepaintPresenter final : public Presenter {
public:
    explicit RepaintPresenter(PictureBox& picture);
    void Present(const Surface& playfield) override;

private:
    PictureBox& Picture;
    ScreenCopy Screen;
};
