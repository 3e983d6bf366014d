#include "Damage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

Pixel* Row(Surface& surface, int x, int y) { return &surface.Pixels[std::size_t(y) * surface.Width + x]; }
const Pixel* Row(const Surface& surface, int x, int y) { return &surface.Pixels[std::size_t(y) * surface.Width + x]; }

/// The tiles that differ in one row of tiles, bit n for tile n. Whole rows are
/// compared first: most are unchanged, and one long compare is cheap. Past 64
/// tiles across, a changed row marks every tile (more than changed, never less).
std::uint64_t ChangedTiles(const Surface& now, const Surface& shown, int top, int height)
{
    const int across = (now.Width + DamageTile - 1) / DamageTile;
    const std::uint64_t all = across >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << across) - 1;
    std::uint64_t changed = 0;
    for (int y = top; y < top + height && changed != all; ++y) {
        const Pixel* a = Row(now, 0, y);
        const Pixel* b = Row(shown, 0, y);
        if (std::memcmp(a, b, std::size_t(now.Width) * sizeof(Pixel)) == 0)
            continue;
        if (across > 64)
            return all;
        for (int tile = 0; tile < across; ++tile) {
            const int left = tile * DamageTile, width = std::min(DamageTile, now.Width - left);
            if (!(changed >> tile & 1) && std::memcmp(a + left, b + left, std::size_t(width) * sizeof(Pixel)) != 0)
                changed |= std::uint64_t{1} << tile;
        }
    }
    return changed;
}

/// The tiles among `candidates` (bit n for tile n) that differ in one row of
/// tiles, each compared until its first difference.
std::uint64_t ChangedTilesAmong(const Surface& now, const Surface& shown, int top, int height, std::uint64_t candidates)
{
    std::uint64_t changed = 0;
    for (; candidates != 0; candidates &= candidates - 1) {
        const int tile = std::countr_zero(candidates);
        const int left = tile * DamageTile, width = std::min(DamageTile, now.Width - left);
        for (int y = top; y < top + height; ++y)
            if (std::memcmp(Row(now, left, y), Row(shown, left, y), std::size_t(width) * sizeof(Pixel)) != 0) {
                changed |= std::uint64_t{1} << tile;
                break;
            }
    }
    return changed;
}

/// The tiles `bounds` touch, a mask for each row of tiles; false when every
/// tile is to be compared (bounds anywhere, or a surface too big to mark).
constexpr int MaxTileRows = 64;
bool MarkBounds(const Surface& now, const ChangeBounds& bounds, std::array<std::uint64_t, MaxTileRows>& rows)
{
    const int across = (now.Width + DamageTile - 1) / DamageTile, down = (now.Height + DamageTile - 1) / DamageTile;
    if (bounds.Anywhere || across > 64 || down > MaxTileRows)
        return false;
    rows.fill(0);
    for (int n = 0; n < bounds.Count; ++n) {
        const PixelRect& rect = bounds.Rects[std::size_t(n)];
        const std::int64_t left = std::max<std::int64_t>(rect.Left, 0), top = std::max<std::int64_t>(rect.Top, 0);
        const std::int64_t right = std::min<std::int64_t>(std::int64_t{rect.Left} + rect.Width, now.Width);
        const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{rect.Top} + rect.Height, now.Height);
        if (left >= right || top >= bottom)
            continue;
        const int first = int(left / DamageTile), last = int((right - 1) / DamageTile);
        const std::uint64_t columns = (~std::uint64_t{0} >> (63 - (last - first))) << first;
        for (std::int64_t row = top / DamageTile; row <= (bottom - 1) / DamageTile; ++row)
            rows[std::size_t(row)] |= columns;
    }
    return true;
}

/// Whether `tile` is among the changed ones; past the 64th, any change counts.
bool IsChanged(std::uint64_t changed, int tile) { return tile < 64 ? (changed >> tile & 1) != 0 : changed != 0; }

void CopyRect(const Surface& now, Surface& shown, const PixelRect& rect)
{
    for (int y = rect.Top; y < rect.Top + rect.Height; ++y)
        std::copy_n(Row(now, rect.Left, y), rect.Width, Row(shown, rect.Left, y));
}

/// Adds a run of tiles; too many runs merge into one rectangle over everything.
void AddRun(Damage& damage, const PixelRect& run, const Surface& now)
{
    if (damage.Count == Damage::MaxRects) {
        damage.Rects[0] = {0, 0, now.Width, now.Height};
        damage.Count = 1;
        return;
    }
    if (damage.Count == 1 && damage.Rects[0].Width == now.Width && damage.Rects[0].Height == now.Height)
        return; // already everything
    damage.Rects[std::size_t(damage.Count++)] = run;
}

} // namespace

void TakeDamage(const Surface& now, Surface& shown, Damage& damage, const ChangeBounds& bounds)
{
    damage.Count = 0;
    if (shown.Width != now.Width || shown.Height != now.Height) {
        shown = now;
        damage.Rects[0] = {0, 0, now.Width, now.Height};
        damage.Count = now.Width > 0 && now.Height > 0;
        return;
    }
    std::array<std::uint64_t, MaxTileRows> candidates;
    const bool marked = MarkBounds(now, bounds, candidates);
    for (int top = 0; top < now.Height; top += DamageTile) {
        const int height = std::min(DamageTile, now.Height - top);
        const std::uint64_t changed = marked ? ChangedTilesAmong(now, shown, top, height, candidates[top / DamageTile])
                                             : ChangedTiles(now, shown, top, height);
        // Each run of changed tiles becomes one rectangle.
        for (int tile = 0; tile * DamageTile < now.Width; ++tile) {
            if (!IsChanged(changed, tile))
                continue;
            const int left = tile * DamageTile;
            while ((tile + 1) * DamageTile < now.Width && IsChanged(changed, tile + 1))
                ++tile;
            AddRun(damage, {left, top, std::min((tile + 1) * DamageTile, now.Width) - left, height}, now);
        }
    }
    for (int n = 0; n < damage.Count; ++n)
        CopyRect(now, shown, damage.Rects[std::size_t(n)]);
}
