#include <algorithm>
#include <bit>
#include <climits>

#include "toolkit/picture/image.h"
#include "toolkit/picture/internal.h"

namespace pic {
namespace detail {

namespace {

constexpr std::uint32_t kRgb = 0, kBitfields = 3, kAlphaBitfields = 6;

// Widens an n-bit channel to 8 bits by repeating its bits, so that the
// largest value becomes 255 and 0 stays 0.
std::uint8_t widen(std::uint32_t v, int bits) {
    if (bits <= 0) return 0;
    if (bits >= 8) return std::uint8_t(v >> (bits - 8));
    std::uint32_t out = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits)
        out |= shift >= 0 ? v << shift : v >> -shift;
    return std::uint8_t(out);
}

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(std::uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = 32 - std::countl_zero(m) - shift;
    }
    std::uint8_t operator()(std::uint32_t px) const {
        return mask ? widen((px & mask) >> shift, bits) : 0;
    }
};

}  // namespace

std::optional<Dib> parse_dib(Bytes data, std::size_t at, bool icon) {
    Dib dib;
    const std::uint32_t hsize = le32(data, at);
    if (at > data.size() || data.size() - at < 12) return std::nullopt;
    std::int64_t height = 0;
    std::size_t colours = 0;
    bool triples = false;
    if (hsize == 12) {
        dib.width = int(le16(data, at + 4));
        height = le16(data, at + 6);
        dib.bpp = int(le16(data, at + 10));
        triples = true;
    } else if (hsize == 40 || hsize == 52 || hsize == 56 || hsize == 64 || hsize == 108 || hsize == 124) {
        if (data.size() - at < hsize) return std::nullopt;
        const std::int32_t w = std::int32_t(le32(data, at + 4));
        height = std::int32_t(le32(data, at + 8));
        if (w <= 0) return std::nullopt;
        dib.width = w;
        dib.bpp = int(le16(data, at + 14));
        dib.compression = le32(data, at + 16);
        colours = le32(data, at + 32);
        // The 64-byte OS/2 header reuses the compression numbers for other codings.
        if (hsize == 64 && dib.compression != kRgb) return std::nullopt;
    } else {
        return std::nullopt;
    }
    dib.header_size = hsize;
    if (height == 0 || dib.width <= 0) return std::nullopt;
    if (height < 0) {
        if (icon) return std::nullopt;
        dib.top_down = true;
        height = -height;
    }
    if (icon) height /= 2;
    if (height <= 0 || height > kMaxSide || dib.width > kMaxSide) return std::nullopt;
    dib.rows = int(height);

    const int bpp = dib.bpp;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;

    std::size_t pos = at + hsize;
    if (dib.compression == kBitfields || dib.compression == kAlphaBitfields) {
        if (bpp != 16 && bpp != 32) return std::nullopt;
        const bool with_alpha = dib.compression == kAlphaBitfields || hsize >= 56;
        const int count = with_alpha ? 4 : 3;
        // A 40-byte header keeps its masks after itself; longer ones inside.
        const std::size_t mask_at = hsize == 40 ? pos : at + 40;
        if (mask_at + 4 * count > data.size()) return std::nullopt;
        for (int i = 0; i < count; ++i) dib.masks[i] = le32(data, mask_at + 4 * i);
        dib.has_alpha_mask = with_alpha && dib.masks[3] != 0;
        if (hsize == 40) pos += 4 * count;
        if (dib.masks[0] == 0 && dib.masks[1] == 0 && dib.masks[2] == 0) {
            dib.compression = kRgb;  // nothing usable: read it as the default layout
        }
    } else if (dib.compression != kRgb) {
        return std::nullopt;  // run-length and embedded codings are not read
    }
    if (dib.compression == kRgb) {
        if (bpp == 16) dib.masks = {0x7C00, 0x03E0, 0x001F, 0};
        if (bpp == 32) dib.masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};
        dib.has_alpha_mask = false;
    }

    if (bpp <= 8) {
        const std::size_t full = std::size_t(1) << bpp;
        if (colours == 0 || colours > full) colours = full;
    } else if (colours > 256) {
        colours = 0;  // an absurd count of optimisation colours: nothing to skip
    }
    const std::size_t entry = triples ? 3 : 4;
    for (std::size_t i = 0; i < colours && bpp <= 8; ++i) {
        const std::size_t p = pos + i * entry;
        if (p + 3 > data.size()) break;
        dib.palette[3 * i] = data[p];
        dib.palette[3 * i + 1] = data[p + 1];
        dib.palette[3 * i + 2] = data[p + 2];
    }
    dib.after_palette = pos + colours * entry;
    return dib;
}

bool dib_bits_present(const Dib& dib, Bytes data, std::size_t bits_at) {
    const std::size_t bits = std::size_t(dib.bpp) * std::size_t(dib.width);
    const std::size_t stride = (bits + 31) / 32 * 4;
    const std::size_t needed = stride * std::size_t(dib.rows - 1) + (bits + 7) / 8;
    return bits_at <= data.size() && data.size() - bits_at >= needed;
}

bool unpack_dib(const Dib& dib, Bytes data, std::size_t bits_at, Image& out,
                std::vector<std::uint8_t>* alpha) {
    const int w = dib.width, h = dib.rows, bpp = dib.bpp;
    const std::size_t stride = ((std::size_t(bpp) * std::size_t(w) + 31) / 32) * 4;
    if (!dib_bits_present(dib, data, bits_at)) return false;
    const bool want_alpha = alpha && bpp == 32;
    if (want_alpha) alpha->assign(std::size_t(w) * std::size_t(h), 0);

    const Channel r(dib.masks[0]), g(dib.masks[1]), b(dib.masks[2]), a(dib.masks[3]);
    const bool alpha_byte = dib.compression == kRgb;  // 32-bit BI_RGB keeps it in the top byte
    for (int y = 0; y < h; ++y) {
        const int out_y = dib.top_down ? y : h - 1 - y;
        const std::uint8_t* src = data.data() + bits_at + stride * std::size_t(y);
        std::uint8_t* dst = out.row(out_y);
        std::uint8_t* arow = want_alpha ? alpha->data() + std::size_t(out_y) * std::size_t(w) : nullptr;
        switch (bpp) {
            case 1:
            case 4:
            case 8: {
                const int per_byte = 8 / bpp;
                const unsigned mask = (1u << bpp) - 1;
                for (int x = 0; x < w; ++x) {
                    const int shift = 8 - bpp * (x % per_byte + 1);
                    const unsigned idx = (src[x / per_byte] >> shift) & mask;
                    std::copy_n(&dib.palette[3 * idx], 3, dst + 3 * x);
                }
                break;
            }
            case 16:
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t px = std::uint32_t(src[2 * x]) | std::uint32_t(src[2 * x + 1]) << 8;
                    dst[3 * x] = b(px);
                    dst[3 * x + 1] = g(px);
                    dst[3 * x + 2] = r(px);
                }
                break;
            case 24:
                std::copy_n(src, 3 * std::size_t(w), dst);
                break;
            case 32:
                for (int x = 0; x < w; ++x) {
                    const std::uint8_t* s = src + 4 * x;
                    const std::uint32_t px = std::uint32_t(s[0]) | std::uint32_t(s[1]) << 8 |
                                             std::uint32_t(s[2]) << 16 | std::uint32_t(s[3]) << 24;
                    dst[3 * x] = b(px);
                    dst[3 * x + 1] = g(px);
                    dst[3 * x + 2] = r(px);
                    if (arow) arow[x] = alpha_byte ? s[3] : (dib.has_alpha_mask ? a(px) : 255);
                }
                break;
        }
    }
    return true;
}

}  // namespace detail

std::optional<Image> decode_bmp(Bytes data) {
    if (data.size() < 26 || data[0] != 'B' || data[1] != 'M') return std::nullopt;
    const std::optional<detail::Dib> dib = detail::parse_dib(data, 14, false);
    if (!dib) return std::nullopt;
    const std::uint32_t off_bits = detail::le32(data, 10);
    const std::size_t bits_at = off_bits != 0 ? off_bits : dib->after_palette;
    if (!detail::dib_bits_present(*dib, data, bits_at)) return std::nullopt;
    Image image;
    if (!image.allocate(dib->width, dib->rows)) return std::nullopt;
    // Windows draws BMPs opaque, whatever their fourth byte holds.
    if (!detail::unpack_dib(*dib, data, bits_at, image, nullptr)) return std::nullopt;
    return image;
}

}  // namespace pic
