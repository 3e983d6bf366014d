#pragma once
// The frame loop's seams, backed by Qt.

#include <QTimer>

#include <functional>
#include <memory>

#include "Damage.h"
#include "Raster.h"
#include "Seams.h"
#include "WaylandSubsurface.h"
#include "X11SharedImage.h"

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

/// Presents only the tiles that changed since the last frame it presented:
/// on X11 straight from a shared-memory image (`X11SharedImage`), elsewhere
/// by repainting them at once from the picture box's persistent image.
class PlayfieldPresenter final : public Presenter {
public:
    explicit PlayfieldPresenter(PictureBox& picture);
    ~PlayfieldPresenter();
    void Present(const Surface& playfield, const ChangeBounds& bounds) override;

    /// For measuring: told each time a frame has been sent to the screen.
    std::function<void()> Presented;
    /// The X11 shared-memory way, once a present has found it usable; else null.
    const X11SharedImage* Direct() const { return DirectImage.get(); }

private:
    PictureBox& Picture;
    ScreenCopy Screen;
    std::unique_ptr<X11SharedImage> DirectImage;   ///< the X11 way, once the picture is shown
    std::unique_ptr<WaylandSubsurface> Subsurface; ///< the Wayland way, where the X11 way is not
    bool DirectTried = false;
};
