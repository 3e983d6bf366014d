#pragma once
// The playfield's changed rectangles put straight onto the window through an
// X shared-memory image. Qt's own backing store waits for the X server (a
// round trip) before every paint that overlaps what it last sent through
// shared memory, which is every frame here. The server reads the segment
// while it carries out the put request, and every event it sends says the
// last request it has carried out, so this image knows the segment is free
// again from the next event that comes anyway (pointer motion, most often),
// with no round trip and no event of its own; a frame that comes before such
// an event sends its rectangles over the socket instead. Only on X11 at one
// device pixel per pixel with a plain 24-bit visual; elsewhere the presenter
// repaints through Qt.

#include <QAbstractNativeEventFilter>
#include <QPoint>

#include <cstdint>
#include <memory>
#include <vector>

#include "Damage.h"
#include "Raster.h"

class QWidget;
struct xcb_connection_t;

class X11SharedImage final : public QAbstractNativeEventFilter {
public:
    /// The image for `picture`'s drawing area at `origin`, `width` x `height`
    /// pixels; null where it cannot be used.
    static std::unique_ptr<X11SharedImage> Open(QWidget& picture, QPoint origin, int width, int height);
    ~X11SharedImage() override;
    X11SharedImage(const X11SharedImage&) = delete;
    X11SharedImage& operator=(const X11SharedImage&) = delete;

    /// Puts `changed` of `playfield` on the screen; false when the picture
    /// cannot be reached this way now (the caller repaints through Qt).
    bool Put(const Surface& playfield, const Damage& changed);

    /// The server may not yet have read the segment: the next frame goes over the socket.
    bool SegmentBusy() const { return Reading; }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    X11SharedImage(QWidget& picture, QPoint origin, int width, int height);

    QWidget& Picture;
    QPoint Origin;
    int Width, Height;
    xcb_connection_t* Connection = nullptr;
    std::uint32_t Window = 0, Gc = 0, Segment = 0;
    std::uint8_t Depth = 0;
    Pixel* Shared = nullptr;       ///< the segment: an image of Width x Height pixels
    bool Reading = false;          ///< the server may not yet have read the segment
    std::uint16_t PutSequence = 0; ///< the last put from the segment, as events count requests
    std::vector<Pixel> Rows;       ///< one rectangle's rows, for sending over the socket

    bool Attach();
};
