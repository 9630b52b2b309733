// A decoded picture kept ready for drawing: its frames as packed top-down
// 24-bit DIBs, composed against a back colour where they are transparent.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/picture/image.h"

namespace tk::detail {

class PictureData {
public:
    // Decodes `bytes`; false (and empty) when they are no picture.
    bool load(std::span<const std::uint8_t> bytes);
    void clear();

    bool empty() const { return frames_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t frame_count() const { return frames_.size(); }
    // How long frame `i` stays: its delay, or 50 ms when the file says 0.
    int delay_ms(std::size_t i) const;

    // Draws frame `i` into the rectangle (x, y, w, h), stretched with
    // HALFTONE when the size differs from the picture's own.
    void draw(HDC dc, std::size_t i, int x, int y, int w, int h, COLORREF back) const;

private:
    struct Frame {
        pic::Image image;
        int delay_cs = 0;
        // Transparent frames: the pixels composed against `composed_for`.
        mutable std::vector<std::uint8_t> composed;
        mutable COLORREF composed_for = CLR_INVALID;
    };
    const std::uint8_t* pixels_for(const Frame& f, COLORREF back) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<Frame> frames_;
};

}  // namespace tk::detail
