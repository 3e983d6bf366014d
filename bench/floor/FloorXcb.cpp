// The floor for any X11 program: raw xcb, the image in a MIT-SHM segment, the
// changed rectangle put from it every 26 ms; no toolkit, no round trip.

#include <poll.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FloorJob.h"

using namespace floor_job;
using Clock = std::chrono::steady_clock;

namespace {

struct Display {
    xcb_connection_t* Connection = nullptr;
    xcb_window_t Window = 0;
    xcb_gcontext_t Gc = 0;
    xcb_shm_seg_t Segment = 0;
    std::uint32_t* Pixels = nullptr;
    std::uint8_t Depth = 0;
};

bool Open(Display& display)
{
    display.Connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(display.Connection))
        return false;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(display.Connection)).data;
    display.Depth = screen->root_depth;
    display.Window = xcb_generate_id(display.Connection);
    const std::uint32_t values[] = {0xC0C0C0, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_POINTER_MOTION};
    xcb_create_window(display.Connection, XCB_COPY_FROM_PARENT, display.Window, screen->root, 0, 0, WindowWidth,
                      WindowHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_change_property(display.Connection, XCB_PROP_MODE_REPLACE, display.Window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        5, "floor");
    display.Gc = xcb_generate_id(display.Connection);
    const std::uint32_t noExposures[] = {0};
    xcb_create_gc(display.Connection, display.Gc, display.Window, XCB_GC_GRAPHICS_EXPOSURES, noExposures);

    const int id = shmget(IPC_PRIVATE, Size * Size * 4, IPC_CREAT | 0600);
    if (id < 0)
        return false;
    display.Pixels = static_cast<std::uint32_t*>(shmat(id, nullptr, 0));
    display.Segment = xcb_generate_id(display.Connection);
    xcb_shm_attach(display.Connection, display.Segment, std::uint32_t(id), 0);
    xcb_flush(display.Connection);
    std::free(xcb_get_input_focus_reply(display.Connection, xcb_get_input_focus(display.Connection), nullptr));
    shmctl(id, IPC_RMID, nullptr); // gone once both sides detach
    std::memset(display.Pixels, 0xFF, Size * Size * 4);
    xcb_map_window(display.Connection, display.Window);
    xcb_flush(display.Connection);
    return true;
}

void Put(Display& display, Rect rect)
{
    xcb_shm_put_image(display.Connection, display.Window, display.Gc, Size, Size, std::uint16_t(rect.X),
                      std::uint16_t(rect.Y), std::uint16_t(rect.Width), std::uint16_t(rect.Height),
                      std::int16_t(rect.X + Left), std::int16_t(rect.Y + Top), display.Depth, XCB_IMAGE_FORMAT_Z_PIXMAP,
                      0, display.Segment, 0);
    xcb_flush(display.Connection);
}

} // namespace

int main(int argc, char** argv)
{
    Display display;
    if (!Open(display)) {
        std::fprintf(stderr, "floor-xcb: no X display with MIT-SHM\n");
        return 1;
    }
    const auto end = Clock::now() + std::chrono::duration<double>(Seconds(argc, argv));
    auto next = Clock::now() + std::chrono::milliseconds(IntervalMs);
    int steps = 0;
    while (Clock::now() < end) {
        // Rounded up to whole milliseconds: never a spin just before the tick.
        const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(next - Clock::now()).count();
        pollfd events{xcb_get_file_descriptor(display.Connection), POLLIN, 0};
        if (wait > 0)
            poll(&events, 1, int((wait + 999) / 1000));
        while (xcb_generic_event_t* event = xcb_poll_for_event(display.Connection)) {
            if ((event->response_type & 0x7F) == XCB_EXPOSE)
                Put(display, {0, 0, Size, Size});
            std::free(event);
        }
        if (xcb_connection_has_error(display.Connection))
            return 1;
        if (Clock::now() >= next) {
            next += std::chrono::milliseconds(IntervalMs);
            Put(display, Step(display.Pixels, Size, steps));
        }
    }
    xcb_disconnect(display.Connection);
    return 0;
}
