#include "toolkit/picture_data.h"

namespace tk::detail {

bool PictureData::load(std::span<const std::uint8_t> bytes) {
    clear();
    auto animation = pic::decode_any(bytes);
    if (!animation || animation->frames.empty()) return false;
    for (auto& f : animation->frames) {
        if (f.image.empty() || f.image.bgr.size() < f.image.stride() * std::size_t(f.image.height)) continue;
        Frame frame;
        frame.image = std::move(f.image);
        frame.delay_cs = f.delay_cs;
        frames_.push_back(std::move(frame));
    }
    if (frames_.empty()) return false;
    width_ = frames_.front().image.width;
    height_ = frames_.front().image.height;
    return true;
}

void PictureData::clear() {
    frames_.clear();
    width_ = height_ = 0;
}

int PictureData::delay_ms(std::size_t i) const {
    if (i >= frames_.size()) return 50;
    const int cs = frames_[i].delay_cs;
    return cs > 0 ? cs * 10 : 50;
}

const std::uint8_t* PictureData::pixels_for(const Frame& f, COLORREF back) const {
    const pic::Image& img = f.image;
    if (img.alpha.size() < std::size_t(img.width) * img.height) return img.bgr.data();
    if (f.composed_for == back && !f.composed.empty()) return f.composed.data();
    f.composed = img.bgr;
    const unsigned br = GetRValue(back), bg = GetGValue(back), bb = GetBValue(back);
    const std::size_t stride = img.stride();
    for (int y = 0; y < img.height; ++y) {
        std::uint8_t* row = f.composed.data() + stride * std::size_t(y);
        const std::uint8_t* a = img.alpha.data() + std::size_t(img.width) * y;
        for (int x = 0; x < img.width; ++x) {
            const unsigned k = a[x];
            if (k == 255) continue;
            std::uint8_t* p = row + 3 * x;
            p[0] = std::uint8_t((p[0] * k + bb * (255 - k) + 127) / 255);
            p[1] = std::uint8_t((p[1] * k + bg * (255 - k) + 127) / 255);
            p[2] = std::uint8_t((p[2] * k + br * (255 - k) + 127) / 255);
        }
    }
    f.composed_for = back;
    return f.composed.data();
}

void PictureData::draw(HDC dc, std::size_t i, int x, int y, int w, int h, COLORREF back) const {
    if (i >= frames_.size() || w <= 0 || h <= 0) return;
    const Frame& f = frames_[i];
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = f.image.width;
    info.bmiHeader.biHeight = -f.image.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const bool stretched = w != f.image.width || h != f.image.height;
    int old_mode = 0;
    POINT old_origin{};
    if (stretched) {
        old_mode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, &old_origin);
    }
    StretchDIBits(dc, x, y, w, h, 0, 0, f.image.width, f.image.height, pixels_for(f, back), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    if (stretched) {
        SetStretchBltMode(dc, old_mode);
        SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
    }
}

}  // namespace tk::detail
