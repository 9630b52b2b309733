#include "toolkit/picture/image.h"

#include <cstring>

namespace pic {

bool Image::allocate(int w, int h, bool with_alpha) {
    width = 0;
    height = 0;
    bgr.clear();
    alpha.clear();
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
    if (std::int64_t(w) * std::int64_t(h) > kMaxPixels) return false;
    // Both factors are bounded above, so the products fit in size_t.
    bgr.assign(stride_for(w) * static_cast<std::size_t>(h), 0);
    if (with_alpha) alpha.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    width = w;
    height = h;
    return true;
}

namespace {

std::optional<Image> decode_single(Format f, Bytes data) {
    switch (f) {
        case Format::Jpeg: return decode_jpeg(data);
        case Format::Bmp: return decode_bmp(data);
        case Format::Icon:
        case Format::Cursor: return decode_icon(data);
        case Format::Pcx: return decode_pcx(data);
        case Format::Gif: return decode_gif_first(data);
        case Format::None: break;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Animation> decode_any(Bytes data) {
    const Format f = recognise(data);
    if (f == Format::Gif) return decode_gif(data);
    std::optional<Image> image = decode_single(f, data);
    if (!image || image->empty()) return std::nullopt;
    Animation a;
    a.width = image->width;
    a.height = image->height;
    a.frames.push_back(Frame{std::move(*image), 0});
    return a;
}

std::optional<Image> decode_still(Bytes data) {
    std::optional<Image> image = decode_single(recognise(data), data);
    if (!image || image->empty()) return std::nullopt;
    return image;
}

namespace {

void put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    v[at] = std::uint8_t(x);
    v[at + 1] = std::uint8_t(x >> 8);
}
void put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = std::uint8_t(x >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> write_bmp24(const Image& image) {
    const int w = image.empty() ? 0 : image.width;
    const int h = image.empty() ? 0 : image.height;
    const std::size_t stride = Image::stride_for(w);
    const std::size_t pixels = stride * static_cast<std::size_t>(h);
    // An image that does not hold the rows it claims is written empty.
    const bool complete = image.bgr.size() >= pixels;
    const std::size_t data_size = complete ? pixels : 0;
    const int out_w = complete ? w : 0;
    const int out_h = complete ? h : 0;

    std::vector<std::uint8_t> out(54 + data_size, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, std::uint32_t(54 + data_size));
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, std::uint32_t(out_w));
    put32(out, 22, std::uint32_t(out_h));
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, std::uint32_t(data_size));
    // Image rows already have the file's layout and padding; only their order flips.
    for (int y = 0; y < out_h; ++y) {
        const std::uint8_t* src = image.row(out_h - 1 - y);
        std::uint8_t* dst = out.data() + 54 + stride * static_cast<std::size_t>(y);
        std::memcpy(dst, src, 3 * static_cast<std::size_t>(out_w));
    }
    return out;
}

}  // namespace pic
