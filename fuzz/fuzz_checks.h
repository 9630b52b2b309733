// What every fuzz target asserts about a decoded picture.
#pragma once

#include <cstdlib>

#include "toolkit/picture/image.h"

namespace fuzz_checks {

inline void require(bool ok) {
    if (!ok) std::abort();
}

// A GIF's screen is not bounded by its data: a few bytes can ask for the
// largest picture allowed, in every frame. Such inputs cost seconds each
// under the sanitizers and starve the search, so the targets pass over
// screens above a megapixel (and unset ones, which the first image sizes);
// tests/native/test_robustness.cpp takes the big ones instead.
inline bool big_gif_screen(pic::Bytes d) {
    if (d.size() < 10) return false;
    const std::uint32_t w = d[6] | d[7] << 8, h = d[8] | d[9] << 8;
    return w == 0 || h == 0 || w * h > (1u << 20);
}

inline void check_image(const pic::Image& im) {
    require(im.width > 0 && im.height > 0 && im.width <= pic::kMaxSide && im.height <= pic::kMaxSide);
    require(std::int64_t(im.width) * im.height <= pic::kMaxPixels);
    require(im.bgr.size() == im.stride() * std::size_t(im.height));
    require(im.alpha.empty() || im.alpha.size() == std::size_t(im.width) * std::size_t(im.height));
    // Touch the ends of every row, so that a buffer shorter than it claims
    // shows up under ASan; every byte would cost too much on big pictures.
    volatile std::uint8_t sink = 0;
    for (int y = 0; y < im.height; ++y) {
        sink = sink + im.row(y)[0] + im.row(y)[3 * std::size_t(im.width) - 1];
        if (!im.alpha.empty()) sink = sink + im.alpha[std::size_t(y + 1) * std::size_t(im.width) - 1];
    }
}

inline void check(const std::optional<pic::Image>& im) {
    if (im) check_image(*im);
}

inline void check(const std::optional<pic::Animation>& a) {
    if (!a) return;
    require(!a->frames.empty());
    for (const pic::Frame& f : a->frames) {
        check_image(f.image);
        require(f.image.width == a->width && f.image.height == a->height);
    }
}

}  // namespace fuzz_checks
