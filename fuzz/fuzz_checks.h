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
    // Touch every byte, so that a wrong size shows up under ASan too.
    unsigned sum = 0;
    for (std::uint8_t b : im.bgr) sum += b;
    for (std::uint8_t a : im.alpha) sum += a;
    volatile unsigned sink = sum;
    (void)sink;
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
