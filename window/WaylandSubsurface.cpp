#include "WaylandSubsurface.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version)
{
    auto& sub = *static_cast<WaylandSubsurface*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        sub.CompositorVersion = std::min(version, 4u); // 4: damage in buffer pixels
        sub.Compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, sub.CompositorVersion));
    } else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0) {
        sub.Subcompositor =
            static_cast<wl_subcompositor*>(wl_registry_bind(registry, name, &wl_subcompositor_interface, 1));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        sub.Shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    }
}

void GlobalRemoved(void*, wl_registry*, std::uint32_t) {}

constexpr wl_registry_listener RegistryListener = {Global, GlobalRemoved};

void Released(void* data, wl_buffer*) { static_cast<WaylandSubsurface::Buffer*>(data)->Held = false; }

constexpr wl_buffer_listener BufferListener = {Released};

/// Qt's own objects for a window: its display, its surface.
void* Native(const char* resource, QWindow* window)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native)
        return nullptr;
    return window ? native->nativeResourceForWindow(resource, window) : native->nativeResourceForIntegration(resource);
}

} // namespace

WaylandSubsurface::WaylandSubsurface(QWidget& picture, QPoint origin, int width, int height)
    : Picture(picture), Origin(origin), Width(width), Height(height)
{}

std::unique_ptr<WaylandSubsurface> WaylandSubsurface::Open(QWidget& picture, QPoint origin, int width, int height)
{
    if (!QGuiApplication::platformName().startsWith("wayland") || picture.devicePixelRatioF() != 1.0 ||
        !picture.window()->windowHandle())
        return nullptr;
    std::unique_ptr<WaylandSubsurface> sub(new WaylandSubsurface(picture, origin, width, height));
    sub->Display = static_cast<wl_display*>(Native("wl_display", nullptr));
    sub->Handle = picture.window()->windowHandle()->handle();
    sub->Parent = static_cast<wl_surface*>(Native("surface", picture.window()->windowHandle()));
    if (!sub->Display || !sub->Parent || !sub->Create())
        return nullptr;
    return sub;
}

bool WaylandSubsurface::Create()
{
    // Our objects' events come on a queue of our own, which only Put
    // dispatches: Qt's queue never sees them.
    Queue = wl_display_create_queue(Display);
    auto* display = static_cast<wl_display*>(wl_proxy_create_wrapper(Display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(display), Queue);
    Registry = wl_display_get_registry(display);
    wl_proxy_wrapper_destroy(display);
    wl_registry_add_listener(Registry, &RegistryListener, this);
    if (wl_display_roundtrip_queue(Display, Queue) < 0 || !Compositor || !Subcompositor || !Shm)
        return false;

    const std::size_t bytes = std::size_t(Width) * Height * sizeof(Pixel);
    const int fd = ::memfd_create("homing-playfield", MFD_CLOEXEC);
    if (fd < 0 || ::ftruncate(fd, off_t(bytes * BufferCount)) != 0) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    Memory = ::mmap(nullptr, bytes * BufferCount, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    wl_shm_pool* pool = Memory == MAP_FAILED ? nullptr : wl_shm_create_pool(Shm, fd, int(bytes * BufferCount));
    ::close(fd); // the pool keeps its own
    if (!pool) {
        Memory = nullptr;
        return false;
    }
    for (int n = 0; n < BufferCount; ++n) {
        Buffer& buffer = Buffers[std::size_t(n)];
        // Our 0xFFRRGGBB words as they lie in memory: XRGB8888, which every compositor takes.
        buffer.Handle = wl_shm_pool_create_buffer(pool, int(bytes) * n, Width, Height, Width * int(sizeof(Pixel)),
                                                  WL_SHM_FORMAT_XRGB8888);
        buffer.Pixels = reinterpret_cast<Pixel*>(static_cast<std::uint8_t*>(Memory) + bytes * std::size_t(n));
        wl_buffer_add_listener(buffer.Handle, &BufferListener, &buffer);
    }
    wl_shm_pool_destroy(pool);

    Child = wl_compositor_create_surface(Compositor);
    Sub = wl_subcompositor_get_subsurface(Subcompositor, Child, Parent);
    wl_subsurface_set_desync(Sub); // its frames show as they come, not at the window's next repaint
    wl_region* none = wl_compositor_create_region(Compositor);
    wl_surface_set_input_region(Child, none); // the pointer is the window's, under it
    wl_region_destroy(none);
    Placed = Position();
    wl_subsurface_set_position(Sub, Placed.x(), Placed.y());
    Picture.update(); // the window's next commit places it
    return wl_display_flush(Display) >= 0 || errno == EAGAIN;
}

/// The drawing area on the window's surface, which Qt's decorations, if any, frame.
QPoint WaylandSubsurface::Position() const
{
    const QMargins frame = Picture.window()->windowHandle()->frameMargins();
    return Picture.mapTo(Picture.window(), Origin) + QPoint(frame.left(), frame.top());
}

WaylandSubsurface::Buffer* WaylandSubsurface::FreeBuffer()
{
    Buffer* free = nullptr;
    for (Buffer& buffer : Buffers) // the one written last: the fewest rectangles to bring up to date
        if (!buffer.Held && (!free || buffer.Written > free->Written))
            free = &buffer;
    return free;
}

template <typename Use>
bool WaylandSubsurface::ForEachChangeSince(std::uint64_t since, Use use) const
{
    if (since == 0 || Presents - since > BufferCount)
        return false;
    for (std::uint64_t present = since + 1; present <= Presents; ++present) {
        const Damage& changed = History[std::size_t(present % BufferCount)];
        for (int n = 0; n < changed.Count; ++n)
            use(changed.Rects[std::size_t(n)]);
    }
    return true;
}

void WaylandSubsurface::CopyInto(Buffer& buffer, const Surface& playfield)
{
    const auto copy = [&](const PixelRect& rect) {
        for (int y = rect.Top; y < rect.Top + rect.Height; ++y)
            std::memcpy(buffer.Pixels + std::size_t(y) * Width + rect.Left,
                        &playfield.Pixels[std::size_t(y) * playfield.Width + rect.Left],
                        std::size_t(rect.Width) * sizeof(Pixel));
    };
    // The buffer misses what changed since it was written: the presents after
    // that one, if the history still holds them all; else everything.
    if (!ForEachChangeSince(buffer.Written, copy))
        copy({0, 0, Width, Height});
}

bool WaylandSubsurface::Put(const Surface& playfield, const Damage& changed)
{
    if (!Sub)
        return false;
    // A window hidden (Qt makes its surface again when it shows it) or given
    // a new platform window, another scale, a lost connection: the picture is
    // Qt's from now on. The surface itself is not looked up every frame: that allocates.
    QWindow* window = Picture.window()->windowHandle();
    if (wl_display_get_error(Display) != 0 || !window || window->handle() != Handle || !window->isVisible() ||
        Picture.devicePixelRatioF() != 1.0) {
        Drop();
        return false;
    }
    if (!Picture.isVisible())
        return false;
    if (wl_display_dispatch_queue_pending(Display, Queue) < 0) // the releases that have come
        return false;
    if (const QPoint at = Position(); at != Placed) {
        Placed = at;
        wl_subsurface_set_position(Sub, at.x(), at.y());
        Picture.update();
    }
    ++Presents;
    Damage& kept = History[std::size_t(Presents % BufferCount)]; // its rectangles alone, not the whole array
    kept.Count = changed.Count;
    std::copy_n(changed.Rects.begin(), changed.Count, kept.Rects.begin());
    Buffer* buffer = FreeBuffer();
    if (!buffer) // the compositor holds them all: this frame's changes go with the next
        return true;
    CopyInto(*buffer, playfield);
    buffer->Written = Presents;
    buffer->Held = true;
    wl_surface_attach(Child, buffer->Handle, 0, 0);
    // The screen misses what changed since the last buffer it was given.
    const auto damage = [&](const PixelRect& rect) {
        if (CompositorVersion >= 4)
            wl_surface_damage_buffer(Child, rect.Left, rect.Top, rect.Width, rect.Height);
        else
            wl_surface_damage(Child, rect.Left, rect.Top, rect.Width, rect.Height); // the same at one pixel per pixel
    };
    if (!ForEachChangeSince(Shown, damage))
        damage({0, 0, Width, Height});
    Shown = Presents;
    wl_surface_commit(Child);
    wl_display_flush(Display);
    return true;
}

void WaylandSubsurface::Drop()
{
    if (Sub && wl_display_get_error(Display) == 0) {
        wl_subsurface_destroy(Sub);
        wl_surface_destroy(Child);
        wl_display_flush(Display);
        Picture.update(); // Qt paints the drawing area again
    }
    Sub = nullptr;
}

WaylandSubsurface::~WaylandSubsurface()
{
    if (!Display || !QGuiApplication::instance())
        return; // the connection is gone with the application: nothing left to free
    Drop();
    for (Buffer& buffer : Buffers)
        if (buffer.Handle)
            wl_buffer_destroy(buffer.Handle);
    if (Memory)
        ::munmap(Memory, std::size_t(Width) * Height * sizeof(Pixel) * BufferCount);
    for (wl_proxy* proxy : {reinterpret_cast<wl_proxy*>(Shm), reinterpret_cast<wl_proxy*>(Subcompositor),
                            reinterpret_cast<wl_proxy*>(Compositor), reinterpret_cast<wl_proxy*>(Registry)})
        if (proxy)
            wl_proxy_destroy(proxy);
    wl_display_flush(Display);
    if (Queue)
        wl_event_queue_destroy(Queue);
}
