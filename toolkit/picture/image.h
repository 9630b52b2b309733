// Portable picture decoding: no windows.h here, so every decoder can be
// unit-tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pic {

using Bytes = std::span<const std::uint8_t>;

enum class Format { None, Jpeg, Bmp, Icon, Cursor, Gif, Pcx };

// Recognition goes by the leading bytes alone; fewer than 6 bytes is no picture.
Format recognise(Bytes data);

// Limits that keep hostile headers from asking for huge allocations.
inline constexpr int kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = 64LL * 1024 * 1024;

// A 24-bit picture laid out the way a top-down Win32 DIB wants it:
// blue, green, red per pixel, each row padded to a multiple of 4 bytes.
// `alpha` is empty for opaque pictures, otherwise one byte a pixel
// (0 transparent .. 255 opaque), rows of exactly `width` bytes.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;
    std::vector<std::uint8_t> alpha;

    static constexpr std::size_t stride_for(int w) {
        return ((24 * static_cast<std::size_t>(w) + 31) / 32) * 4;
    }
    std::size_t stride() const { return stride_for(width); }
    bool empty() const { return width <= 0 || height <= 0; }

    // Allocates a zeroed picture; false when the size is absurd.
    bool allocate(int w, int h, bool with_alpha = false);

    std::uint8_t* row(int y) { return bgr.data() + stride() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const { return bgr.data() + stride() * static_cast<std::size_t>(y); }
};

// One composed frame of a (possibly animated) picture: the full logical
// screen as it looks while this frame is shown.
struct Frame {
    Image image;
    int delay_cs = 0;  // hundredths of a second, as stored in the file
};

struct Animation {
    int width = 0;   // logical screen size
    int height = 0;
    int loop_count = 0;  // 0 = forever; informational only
    std::vector<Frame> frames;
};

// Each decoder returns std::nullopt for anything it cannot decode.
std::optional<Image> decode_jpeg(Bytes data);
std::optional<Image> decode_bmp(Bytes data);
std::optional<Image> decode_icon(Bytes data);  // icons and cursors
std::optional<Image> decode_pcx(Bytes data);
std::optional<Animation> decode_gif(Bytes data);
// Only the first frame, composed on a logical screen of the header's size.
std::optional<Image> decode_gif_first(Bytes data);

// Dispatches on recognise(); still pictures come back as one frame.
std::optional<Animation> decode_any(Bytes data);
// The first (or only) image, whatever the format.
std::optional<Image> decode_still(Bytes data);

// A complete 24-bit BMP file image: 14 + 40 byte headers, bottom-up rows,
// pixel data at offset 54, no colour table.
std::vector<std::uint8_t> write_bmp24(const Image& image);

}  // namespace pic
