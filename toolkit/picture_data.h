// A decoded picture kept ready for drawing: its frames as packed top-down
// 24-bit DIBs, composed against a back colour where they are transparent.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "toolkit/picture/image.h"

namespace tk::detail {

// The decoded frames of one picture; shared, never changed once made.
struct DecodedPicture {
    struct Frame {
        pic::Image image;
        int delay_cs = 0;
    };
    int width = 0;
    int height = 0;
    std::vector<Frame> frames;
};

class PictureData {
public:
    // Decodes `bytes`; false (and empty) when they are no picture. Built-in
    // pictures are constant for the run, so each is decoded once per process
    // and shared; other bytes are decoded on every load.
    bool load(std::span<const std::uint8_t> bytes);
    void clear();

    bool empty() const { return !decoded_; }
    int width() const { return decoded_ ? decoded_->width : 0; }
    int height() const { return decoded_ ? decoded_->height : 0; }
    std::size_t frame_count() const { return decoded_ ? decoded_->frames.size() : 0; }
    // How long frame `i` stays: its delay, or 50 ms when the file says 0.
    int delay_ms(std::size_t i) const;

    // Draws frame `i` into the rectangle (x, y, w, h), stretched with
    // HALFTONE when the size differs from the picture's own.
    void draw(HDC dc, std::size_t i, int x, int y, int w, int h, COLORREF back) const;

private:
    // Transparent frames: the pixels composed against `back`.
    struct Composed {
        std::vector<std::uint8_t> pixels;
        COLORREF back = CLR_INVALID;
    };
    const std::uint8_t* pixels_for(std::size_t i, COLORREF back) const;

    std::shared_ptr<const DecodedPicture> decoded_;
    mutable std::vector<Composed> composed_;  // one a frame
};

}  // namespace tk::detail
