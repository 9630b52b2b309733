// What every fuzz target asserts about a decoded picture.
#pragma once

#include <cstdlib>

#include "toolkit/picture/image.h"

namespace fuzz_checks {

inline void require(bool ok) {
    if (!ok) std::abort();
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
