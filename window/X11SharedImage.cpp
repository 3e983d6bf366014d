#include "X11SharedImage.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

/// Whether the window's pixels are our 0x00RRGGBB words as they lie in memory.
bool PlainTrueColour(xcb_connection_t* connection, xcb_window_t window, std::uint8_t& depth)
{
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    bool plain = false;
    if (attributes && geometry && geometry->depth == 24) {
        depth = geometry->depth;
        const xcb_setup_t* setup = xcb_get_setup(connection);
        bool wordPixels = false;
        for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem; xcb_format_next(&format))
            if (format.data->depth == 24)
                wordPixels = format.data->bits_per_pixel == 32;
        for (auto screen = xcb_setup_roots_iterator(setup); screen.rem; xcb_screen_next(&screen))
            for (auto depths = xcb_screen_allowed_depths_iterator(screen.data); depths.rem; xcb_depth_next(&depths))
                for (auto visual = xcb_depth_visuals_iterator(depths.data); visual.rem; xcb_visualtype_next(&visual))
                    if (visual.data->visual_id == attributes->visual)
                        plain = wordPixels && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST &&
                                visual.data->red_mask == 0xFF0000 && visual.data->green_mask == 0xFF00 &&
                                visual.data->blue_mask == 0xFF;
    }
    std::free(attributes);
    std::free(geometry);
    return plain;
}

} // namespace

X11SharedImage::X11SharedImage(QWidget& picture, QPoint origin, int width, int height)
    : Picture(picture), Origin(origin), Width(width), Height(height), Rows(std::size_t(width) * height)
{}

std::unique_ptr<X11SharedImage> X11SharedImage::Open(QWidget& picture, QPoint origin, int width, int height)
{
    // Qt's own switch for a display where shared memory does not work.
    if (QGuiApplication::platformName() != "xcb" || qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM") ||
        picture.devicePixelRatioF() != 1.0)
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullptr;
    std::unique_ptr<X11SharedImage> image(new X11SharedImage(picture, origin, width, height));
    image->Connection = x11->connection();
    image->Window = std::uint32_t(picture.window()->winId());
    if (!PlainTrueColour(image->Connection, image->Window, image->Depth) || !image->Attach())
        return nullptr;
    QCoreApplication::instance()->installNativeEventFilter(image.get());
    return image;
}

bool X11SharedImage::Attach()
{
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(Connection, &xcb_shm_id);
    if (!shm || !shm->present)
        return false;
    const int id = ::shmget(IPC_PRIVATE, std::size_t(Width) * Height * sizeof(Pixel), IPC_CREAT | 0600);
    if (id < 0)
        return false;
    void* address = ::shmat(id, nullptr, 0);
    Segment = xcb_generate_id(Connection);
    xcb_generic_error_t* error =
        address == reinterpret_cast<void*>(-1)
            ? nullptr
            : xcb_request_check(Connection, xcb_shm_attach_checked(Connection, Segment, std::uint32_t(id), 0));
    ::shmctl(id, IPC_RMID, nullptr); // gone once both sides have let go of it
    if (address == reinterpret_cast<void*>(-1) || error) {
        std::free(error); // another host's server, as over ssh -X, cannot attach it
        if (address != reinterpret_cast<void*>(-1))
            ::shmdt(address);
        Segment = 0;
        return false;
    }
    Shared = static_cast<Pixel*>(address);
    Gc = xcb_generate_id(Connection);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(Connection, Gc, Window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    return true;
}

X11SharedImage::~X11SharedImage()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
    if (Gc)
        xcb_free_gc(Connection, Gc);
    if (Segment)
        xcb_shm_detach(Connection, Segment);
    if (Connection)
        xcb_flush(Connection);
    if (Shared)
        ::shmdt(Shared);
}

bool X11SharedImage::Put(const Surface& playfield, const Damage& changed)
{
    // A window moved to a screen that scales, or made again, is Qt's to paint.
    if (!Picture.isVisible() || Picture.devicePixelRatioF() != 1.0 ||
        std::uint32_t(Picture.window()->winId()) != Window || xcb_connection_has_error(Connection))
        return false;
    const QPoint at = Picture.mapTo(Picture.window(), Origin);
    const bool throughSocket = Reading;
    for (int n = 0; n < changed.Count; ++n) {
        const PixelRect& rect = changed.Rects[std::size_t(n)];
        Pixel* to = throughSocket ? Rows.data() : Shared + rect.Top * Width + rect.Left;
        const int stride = throughSocket ? rect.Width : Width;
        for (int y = 0; y < rect.Height; ++y)
            std::memcpy(to + y * stride, &playfield.Pixels[std::size_t(rect.Top + y) * playfield.Width + rect.Left],
                        std::size_t(rect.Width) * sizeof(Pixel));
        const auto x = std::int16_t(at.x() + rect.Left), y = std::int16_t(at.y() + rect.Top);
        if (throughSocket) {
            xcb_put_image(Connection, XCB_IMAGE_FORMAT_Z_PIXMAP, Window, Gc, std::uint16_t(rect.Width),
                          std::uint16_t(rect.Height), x, y, 0, Depth,
                          std::uint32_t(rect.Width * rect.Height * int(sizeof(Pixel))),
                          reinterpret_cast<const std::uint8_t*>(Rows.data()));
        } else {
            PutSequence = std::uint16_t(
                xcb_shm_put_image(Connection, Window, Gc, std::uint16_t(Width), std::uint16_t(Height),
                                  std::uint16_t(rect.Left), std::uint16_t(rect.Top), std::uint16_t(rect.Width),
                                  std::uint16_t(rect.Height), x, y, Depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, Segment, 0)
                    .sequence);
        }
    }
    if (!throughSocket && changed.Count > 0)
        Reading = true;
    xcb_flush(Connection);
    return true;
}

bool X11SharedImage::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
    if (type != "xcb_generic_event_t")
        return false;
    // An event carries the low 16 bits of the last request the server has
    // carried out: at or past the put, the segment has been read. Puts come
    // every frame, far fewer than 32768 requests apart, so the count cannot
    // wrap past them unseen.
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if (Reading && std::uint16_t(event->sequence - PutSequence) < 0x8000)
        Reading = false;
    return false;
}
