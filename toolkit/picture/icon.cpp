#include <algorithm>

#include "toolkit/picture/image.h"
#include "toolkit/picture/internal.h"

namespace pic {

namespace {

struct Entry {
    int width = 0, height = 0;
    int bpp = 0;
    std::size_t offset = 0, size = 0;
};

bool is_png(Bytes d, std::size_t at) {
    static constexpr std::uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (at > d.size() || d.size() - at < 8) return false;
    return std::equal(sig, sig + 8, d.begin() + std::ptrdiff_t(at));
}

// Depth as the image itself states it; the directory's own field is unreliable
// (cursors keep the hotspot there).
int stored_depth(Bytes d, std::size_t at) {
    const std::uint32_t hsize = detail::le32(d, at);
    if (hsize == 12) return int(detail::le16(d, at + 10));
    return int(detail::le16(d, at + 14));
}

}  // namespace

std::optional<Image> decode_icon(Bytes data) {
    if (data.size() < 6 || detail::le16(data, 0) != 0) return std::nullopt;
    const std::uint32_t type = detail::le16(data, 2);
    if (type != 1 && type != 2) return std::nullopt;
    const std::size_t count = detail::le16(data, 4);
    if (count == 0) return std::nullopt;

    std::optional<Entry> first, best;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + 16 * i;
        if (at + 16 > data.size()) break;
        Entry e;
        e.width = data[at] ? data[at] : 256;
        e.height = data[at + 1] ? data[at + 1] : 256;
        e.size = detail::le32(data, at + 8);
        e.offset = detail::le32(data, at + 12);
        e.bpp = stored_depth(data, e.offset);
        if (!first) first = e;
        // A PNG entry cannot be shown, so a bitmap one of the same size wins.
        const bool usable = !is_png(data, e.offset);
        if (usable && e.width == 32 && e.height == 32 && (!best || e.bpp > best->bpp)) best = e;
    }
    if (!first) return std::nullopt;
    const Entry& pick = best ? *best : *first;
    if (pick.offset >= data.size() || is_png(data, pick.offset)) return std::nullopt;

    // The entry's bytes, as far as the file really holds them.
    const std::size_t avail = data.size() - pick.offset;
    const Bytes dib_bytes = data.subspan(pick.offset, pick.size && pick.size < avail ? pick.size : avail);
    const std::optional<detail::Dib> dib = detail::parse_dib(dib_bytes, 0, true);
    if (!dib || dib->compression != 0) return std::nullopt;
    if (!detail::dib_bits_present(*dib, dib_bytes, dib->after_palette)) return std::nullopt;

    Image image;
    if (!image.allocate(dib->width, dib->rows, true)) return std::nullopt;
    std::vector<std::uint8_t> alpha;
    if (!detail::unpack_dib(*dib, dib_bytes, dib->after_palette, image, &alpha)) return std::nullopt;

    bool use_alpha = false;
    for (std::uint8_t a : alpha) use_alpha |= a != 0;
    if (use_alpha) {
        image.alpha = std::move(alpha);
        return image;
    }

    // The AND mask: one bit a pixel, set where the picture is transparent,
    // bottom row first. A mask cut short leaves the rest opaque.
    const int w = dib->width, h = dib->rows;
    const std::size_t xor_stride = ((std::size_t(dib->bpp) * std::size_t(w) + 31) / 32) * 4;
    const std::size_t and_stride = ((std::size_t(w) + 31) / 32) * 4;
    const std::size_t mask_at = dib->after_palette + xor_stride * std::size_t(h);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* arow = image.alpha.data() + std::size_t(h - 1 - y) * std::size_t(w);
        const std::size_t row_at = mask_at + and_stride * std::size_t(y);
        for (int x = 0; x < w; ++x) {
            const std::size_t byte_at = row_at + std::size_t(x / 8);
            const bool clear = byte_at < dib_bytes.size() && (dib_bytes[byte_at] >> (7 - x % 8)) & 1;
            arow[x] = clear ? 0 : 255;
        }
    }
    return image;
}

}  // namespace pic
