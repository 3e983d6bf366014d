#pragma once
// The frame loop's seams, backed by Qt.

#include <QTimer>

#include "Seams.h"

class QWidget;

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

/// Presents by repainting the picture box at once from its persistent image.
class RepaintPresenter final : public Presenter {
public:
    explicit RepaintPresenter(QWidget& picture) : Picture(picture) {}
    void Present(const Surface& playfield) override;

private:
    QWidget& Picture;
};
