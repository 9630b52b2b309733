// Helpers shared by the decoders in this folder only; not part of the API.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "toolkit/picture/image.h"

namespace pic::detail {

// Little-endian reads that give 0 past the end instead of faulting.
inline std::uint32_t le16(Bytes d, std::size_t at) {
    if (at > d.size() || d.size() - at < 2) return 0;
    return std::uint32_t(d[at]) | std::uint32_t(d[at + 1]) << 8;
}
inline std::uint32_t le32(Bytes d, std::size_t at) {
    if (at > d.size() || d.size() - at < 4) return 0;
    return std::uint32_t(d[at]) | std::uint32_t(d[at + 1]) << 8 |
           std::uint32_t(d[at + 2]) << 16 | std::uint32_t(d[at + 3]) << 24;
}

// A device-independent bitmap header, as found in BMP files and inside icons.
struct Dib {
    int width = 0;
    int rows = 0;           // rows to decode (an icon's XOR half only)
    bool top_down = false;
    int bpp = 0;
    std::uint32_t compression = 0;
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
    bool has_alpha_mask = false;
    std::array<std::uint8_t, 256 * 3> palette{};  // B, G, R; unused entries black
    std::size_t header_size = 0;
    std::size_t after_palette = 0;  // offset just past header, masks and palette
};

// Reads the header at `at`. For icons the stored height covers the colour
// bitmap and the mask, so only half of it is the picture.
std::optional<Dib> parse_dib(Bytes data, std::size_t at, bool icon);

// True when the data holds every pixel row (the last may lack its padding).
bool dib_bits_present(const Dib& dib, Bytes data, std::size_t bits_at);

// Unpacks the pixel rows starting at `bits_at` into `out` (already allocated
// to dib.width x dib.rows). When `alpha` is given and the bitmap carries an
// alpha channel, it receives one byte a pixel. False when data is missing.
bool unpack_dib(const Dib& dib, Bytes data, std::size_t bits_at, Image& out,
                std::vector<std::uint8_t>* alpha);

}  // namespace pic::detail
