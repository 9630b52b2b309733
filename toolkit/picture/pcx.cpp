#include <algorithm>

#include "toolkit/picture/image.h"
#include "toolkit/picture/internal.h"

namespace pic {

namespace {

constexpr std::size_t kHeader = 128;

// Reads the run-length coded stream one row at a time; runs may cross rows.
class Runs {
public:
    Runs(Bytes data, std::size_t end) : data_(data), in_(kHeader), end_(end) {}
    bool exhausted() const { return left_ == 0 && in_ >= end_; }
    // Fills `row`; what the stream no longer holds stays zero.
    void fill(std::vector<std::uint8_t>& row) {
        std::fill(row.begin(), row.end(), 0);
        std::size_t n = 0;
        while (n < row.size()) {
            if (left_ == 0) {
                if (in_ >= end_) return;
                const std::uint8_t b = data_[in_++];
                if (b >= 0xC0) {
                    if (in_ >= end_) return;
                    left_ = b & 0x3F;
                    value_ = data_[in_++];
                    continue;
                }
                left_ = 1;
                value_ = b;
            }
            const std::size_t run = std::min(left_, row.size() - n);
            std::fill_n(row.begin() + std::ptrdiff_t(n), run, value_);
            n += run;
            left_ -= run;
        }
    }

private:
    Bytes data_;
    std::size_t in_, end_;
    std::size_t left_ = 0;
    std::uint8_t value_ = 0;
};

}  // namespace

std::optional<Image> decode_pcx(Bytes data) {
    if (data.size() <= kHeader || data[0] != 0x0A || data[2] != 1) return std::nullopt;
    const int bits = data[3];
    const int planes = data[65];
    const int x0 = int(detail::le16(data, 4)), y0 = int(detail::le16(data, 6));
    const int x1 = int(detail::le16(data, 8)), y1 = int(detail::le16(data, 10));
    const std::size_t line = detail::le16(data, 66);  // bytes per plane per row
    if (x1 < x0 || y1 < y0) return std::nullopt;
    const int w = x1 - x0 + 1, h = y1 - y0 + 1;

    const bool paletted8 = bits == 8 && planes == 1;
    const bool rgb24 = bits == 8 && planes == 3;
    const bool mono = bits == 1 && planes == 1;
    const bool planar16 = bits == 1 && planes == 4;
    if (!paletted8 && !rgb24 && !mono && !planar16) return std::nullopt;
    if (line * 8 < std::size_t(bits) * std::size_t(w)) return std::nullopt;

    if (w > kMaxSide || h > kMaxSide) return std::nullopt;

    // Colours: the trailing 256-entry table for 8 bits, else the header's 16.
    std::array<std::uint8_t, 256 * 3> rgb{};
    std::size_t end = data.size();
    if (paletted8) {
        if (data.size() >= kHeader + 769 && data[data.size() - 769] == 0x0C) {
            end = data.size() - 769;
            std::copy_n(data.end() - 768, 768, rgb.begin());
        } else {
            for (int i = 0; i < 256; ++i) rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = std::uint8_t(i);
        }
    } else if (mono) {
        rgb[3] = rgb[4] = rgb[5] = 255;  // black and white, whatever the header holds
    } else if (planar16) {
        std::copy_n(data.begin() + 16, 48, rgb.begin());
    }

    const std::size_t row_bytes = line * std::size_t(planes);  // at most 4 x 65535
    // A run pair expands to at most 63 bytes: a file far too short for its
    // size is refused before anything big is allocated.
    if ((end - kHeader) * 32 < row_bytes * std::size_t(h)) return std::nullopt;
    Image image;
    if (!image.allocate(w, h)) return std::nullopt;
    std::vector<std::uint8_t> raw(row_bytes);
    Runs runs(data, end);
    bool zero_row_done = false;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* dst = image.row(y);
        if (zero_row_done) {
            // The stream ran dry: every remaining row is the all-zero one.
            std::copy_n(image.row(y - 1), image.stride(), dst);
            continue;
        }
        zero_row_done = runs.exhausted();
        runs.fill(raw);
        const std::uint8_t* src = raw.data();
        for (int x = 0; x < w; ++x) {
            unsigned idx = 0;
            if (rgb24) {
                dst[3 * x] = src[2 * line + std::size_t(x)];
                dst[3 * x + 1] = src[line + std::size_t(x)];
                dst[3 * x + 2] = src[std::size_t(x)];
                continue;
            }
            if (paletted8) {
                idx = src[x];
            } else {
                for (int p = 0; p < planes; ++p)
                    idx |= unsigned((src[line * std::size_t(p) + std::size_t(x / 8)] >> (7 - x % 8)) & 1) << p;
            }
            dst[3 * x] = rgb[3 * idx + 2];
            dst[3 * x + 1] = rgb[3 * idx + 1];
            dst[3 * x + 2] = rgb[3 * idx];
        }
    }
    return image;
}

}  // namespace pic
