#pragma once
// The playfield's changed rectangles put straight onto a Wayland compositor
// through a subsurface of the window's own, with buffers of shared memory
// of its own: attached and damaged by rectangle, a released buffer reused,
// the rectangles it has missed since it was last written copied into it.
// Qt's route repaints the widget into the window's whole buffer and, while
// the compositor still holds the last one, copies all of it first, every
// frame. The subsurface takes no input (the pointer goes to the window under
// it) and is placed over the picture's drawing area. Only at one device pixel
// per pixel on a compositor with subsurfaces; a window whose surface is made
// again (hidden and shown) or a connection in error goes back to Qt's repaint.

#include <QPoint>

#include <array>
#include <cstdint>
#include <memory>

#include "Damage.h"
#include "Raster.h"

class QPlatformWindow;
class QWidget;
struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_subcompositor;
struct wl_subsurface;
struct wl_surface;

class WaylandSubsurface final {
public:
    /// The subsurface for `picture`'s drawing area at `origin`, `width` x
    /// `height` pixels; null where it cannot be used.
    static std::unique_ptr<WaylandSubsurface> Open(QWidget& picture, QPoint origin, int width, int height);
    ~WaylandSubsurface();
    WaylandSubsurface(const WaylandSubsurface&) = delete;
    WaylandSubsurface& operator=(const WaylandSubsurface&) = delete;

    /// Puts `changed` of `playfield` on the screen; false when the picture
    /// cannot be reached this way now (the caller repaints through Qt).
    bool Put(const Surface& playfield, const Damage& changed);

    /// What the compositor binds and hands back: the registry's globals, a buffer's release.
    wl_compositor* Compositor = nullptr;
    wl_subcompositor* Subcompositor = nullptr;
    wl_shm* Shm = nullptr;
    std::uint32_t CompositorVersion = 0;

    struct Buffer {
        wl_buffer* Handle = nullptr;
        Pixel* Pixels = nullptr;
        bool Held = false;         ///< the compositor has not released it
        std::uint64_t Written = 0; ///< the present that last wrote it (0: never)
    };
    static constexpr int BufferCount = 3;

private:
    WaylandSubsurface(QWidget& picture, QPoint origin, int width, int height);
    bool Create();
    QPoint Position() const;
    Buffer* FreeBuffer();
    /// Calls `use` with each rectangle changed in the presents after `since`
    /// up to this one; false when the history no longer holds them all.
    template <typename Use>
    bool ForEachChangeSince(std::uint64_t since, Use use) const;
    void CopyInto(Buffer& buffer, const Surface& playfield);
    void Drop();

    QWidget& Picture;
    QPoint Origin;
    int Width, Height;
    wl_display* Display = nullptr;
    wl_event_queue* Queue = nullptr;
    wl_registry* Registry = nullptr;
    const QPlatformWindow* Handle = nullptr; ///< Qt's platform window, whose surface is `Parent`
    wl_surface* Parent = nullptr;
    wl_surface* Child = nullptr;
    wl_subsurface* Sub = nullptr;
    void* Memory = nullptr; ///< every buffer's pixels, one after another
    std::array<Buffer, BufferCount> Buffers{};
    std::uint64_t Presents = 0;                ///< presents made
    std::uint64_t Shown = 0;                   ///< the last present a buffer was attached for
    std::array<Damage, BufferCount> History{}; ///< the changes of the last presents, by present modulo the count
    QPoint Placed;                             ///< where the subsurface was last placed on the window's surface
};
