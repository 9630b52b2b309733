#include "toolkit/picture_data.h"

#include "pictures/catalogue.h"
#include "toolkit/internal.h"

namespace tk::detail {

namespace {

std::shared_ptr<const DecodedPicture> decode(std::span<const std::uint8_t> bytes) {
    auto animation = pic::decode_any(bytes);
    if (!animation || animation->frames.empty()) return nullptr;
    auto picture = std::make_shared<DecodedPicture>();
    for (auto& f : animation->frames) {
        if (f.image.empty() || f.image.bgr.size() < f.image.stride() * std::size_t(f.image.height)) continue;
        picture->frames.push_back({std::move(f.image), f.delay_cs});
    }
    if (picture->frames.empty()) return nullptr;
    picture->width = picture->frames.front().image.width;
    picture->height = picture->frames.front().image.height;
    return picture;
}

}  // namespace

bool PictureData::load(std::span<const std::uint8_t> bytes) {
    clear();
    if (!bytes.empty() && pictures::is_builtin(bytes.data())) {
        // Only the UI thread loads pictures, so the cache needs no lock.
        auto& cached = state().builtin_pictures[bytes.data()];
        if (!cached) cached = decode(bytes);
        decoded_ = cached;
    } else {
        decoded_ = decode(bytes);
    }
    if (!decoded_) return false;
    composed_.resize(decoded_->frames.size());
    return true;
}

void PictureData::clear() {
    decoded_.reset();
    composed_.clear();
}

int PictureData::delay_ms(std::size_t i) const {
    if (i >= frame_count()) return 50;
    const int cs = decoded_->frames[i].delay_cs;
    return cs > 0 ? cs * 10 : 50;
}

const std::uint8_t* PictureData::pixels_for(std::size_t i, COLORREF back) const {
    const pic::Image& img = decoded_->frames[i].image;
    if (img.alpha.size() < std::size_t(img.width) * img.height) return img.bgr.data();
    Composed& c = composed_[i];
    if (c.back == back && !c.pixels.empty()) return c.pixels.data();
    c.pixels = img.bgr;
    const unsigned br = GetRValue(back), bg = GetGValue(back), bb = GetBValue(back);
    const std::size_t stride = img.stride();
    for (int y = 0; y < img.height; ++y) {
        std::uint8_t* row = c.pixels.data() + stride * std::size_t(y);
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
    c.back = back;
    return c.pixels.data();
}

void PictureData::draw(HDC dc, std::size_t i, int x, int y, int w, int h, COLORREF back) const {
    if (i >= frame_count() || w <= 0 || h <= 0) return;
    const pic::Image& img = decoded_->frames[i].image;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = img.width;
    info.bmiHeader.biHeight = -img.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const bool stretched = w != img.width || h != img.height;
    int old_mode = 0;
    POINT old_origin{};
    if (stretched) {
        old_mode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, &old_origin);
    }
    StretchDIBits(dc, x, y, w, h, 0, 0, img.width, img.height, pixels_for(i, back), &info, DIB_RGB_COLORS,
                  SRCCOPY);
    if (stretched) {
        SetStretchBltMode(dc, old_mode);
        SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
    }
}

}  // namespace tk::detail
