#include "pictures/clipboard.h"

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "toolkit/picture/image.h"
#include "toolkit/handles.h"
#include "toolkit/toolkit.h"

namespace pictures {
namespace {

using Bitmap = tk::BitmapHandle;  // deleted unless handed on to the clipboard

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* get() const { return p_; }
    void** out() { return reinterpret_cast<void**>(&p_); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &v_; }

private:
    VARIANT v_;
};

// A bitmap in the screen's own colour format of `width` x `height`, white,
// with `image` unscaled at its top-left; transparent parts (icon masks, GIF
// transparency) come out white. The decoded rows are turned into 32-bit
// pixels in one pass, the form the device bitmap stores, so the system
// copies them without converting.
Bitmap device_bitmap(HDC screen, const pic::Image& image, int width, int height) {
    if (image.empty() || width <= 0 || height <= 0) return Bitmap{};
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height), 0x00FFFFFFu);
    const int rows = std::min(height, image.height), columns = std::min(width, image.width);
    const bool alpha = !image.alpha.empty();
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* px = image.row(y);
        const std::uint8_t* a = alpha ? image.alpha.data() + std::size_t(y) * image.width : nullptr;
        std::uint32_t* out = pixels.data() + std::size_t(y) * width;
        for (int x = 0; x < columns; ++x, px += 3) {
            unsigned b = px[0], g = px[1], r = px[2];
            if (a) {
                const unsigned k = a[x];
                b = (b * k + 255u * (255u - k) + 127u) / 255u;
                g = (g * k + 255u * (255u - k) + 127u) / 255u;
                r = (r * k + 255u * (255u - k) + 127u) / 255u;
            }
            out[x] = b | g << 8 | r << 16;
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows are top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return Bitmap{CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS)};
}

// The logical screen size a GIF header announces for the whole file.
std::optional<SIZE> gif_screen_size(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 10) return std::nullopt;
    const LONG w = bytes[6] | bytes[7] << 8;
    const LONG h = bytes[8] | bytes[9] << 8;
    if (w <= 0 || h <= 0) return std::nullopt;
    return SIZE{w, h};
}

// Only the first frame, on a white screen of the header's size: the
// clipboard takes a still picture.
Bitmap gif_bitmap(HDC screen, std::span<const std::uint8_t> bytes) {
    std::optional<pic::Image> frame = pic::decode_gif_first(bytes);
    const std::optional<SIZE> size = gif_screen_size(bytes);
    if (!frame || !size) return Bitmap{};
    return device_bitmap(screen, *frame, size->cx, size->cy);
}

Bitmap decode_to_bitmap(std::span<const std::uint8_t> bytes) {
    tk::WindowDc screen(nullptr);
    if (!screen.get()) return Bitmap{};
    std::optional<pic::Image> image;
    switch (pic::recognise(bytes)) {
        case pic::Format::Jpeg: image = pic::decode_jpeg(bytes); break;
        case pic::Format::Bmp: image = pic::decode_bmp(bytes); break;
        case pic::Format::Pcx: image = pic::decode_pcx(bytes); break;
        case pic::Format::Icon:
        case pic::Format::Cursor: image = pic::decode_icon(bytes); break;
        case pic::Format::Gif: return gif_bitmap(screen.get(), bytes);
        case pic::Format::None: return Bitmap{};
    }
    if (!image) return Bitmap{};
    return device_bitmap(screen.get(), *image, image->width, image->height);
}

// The picture object borrows the bitmap (fOwn = FALSE): were it the owner,
// releasing it would also destroy a bitmap the clipboard has taken.
void make_picture(HBITMAP bitmap, ComPtr<IPictureDisp>& picture) {
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    if (bitmap) {
        desc.picType = PICTYPE_BITMAP;
        desc.bmp.hbitmap = bitmap;
        desc.bmp.hpal = nullptr;
    } else {
        desc.picType = PICTYPE_NONE;
    }
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPictureDisp, FALSE, picture.out())))
        picture.reset();
}

// The "Handle" property by name, as a double truncated toward zero; 0 when
// there is no object or the read fails.
std::int64_t handle_property(IPictureDisp* picture) {
    if (!picture) return 0;
    wchar_t name[] = L"Handle";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(picture->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return 0;
    DISPPARAMS no_arguments{};
    Variant result;
    if (FAILED(picture->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                               &no_arguments, result.get(), nullptr, nullptr)))
        return 0;
    Variant number;
    if (FAILED(VariantChangeType(number.get(), result.get(), 0, VT_R8))) return 0;
    const double value = V_R8(number.get());
    // Outside this range the conversion to int64 is undefined.
    if (!(value > -9.2e18 && value < 9.2e18)) return 0;
    return static_cast<std::int64_t>(std::trunc(value));
}

// GDI handles carry 32 significant bits and are sign-extended on 64-bit
// Windows, so a property value with the top bit set keeps its bits.
HBITMAP bitmap_from_number(std::int64_t number) {
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(number & 0xFFFFFFFF));
    return reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(low));
}

// A holder that is about to close gets a short grace period: giving up at
// once would leave the previous picture to be pasted.
bool open_clipboard(HWND owner) {
    const ULONGLONG start = GetTickCount64();
    for (int attempt = 1;; ++attempt) {
        if (OpenClipboard(owner)) return true;
        if (attempt == kClipboardOpenTries || GetLastError() != ERROR_ACCESS_DENIED) return false;
        // Give up now unless one more pause still ends inside the limit,
        // allowing for Sleep() overshooting by a few milliseconds.
        if (GetTickCount64() - start + kClipboardRetryMs + 5 > ULONGLONG(kClipboardOpenLimitMs)) return false;
        Sleep(kClipboardRetryMs);
    }
}

}  // namespace

void copy_to_clipboard(std::span<const std::uint8_t> bytes) {
    Bitmap bitmap = decode_to_bitmap(bytes);
    ComPtr<IPictureDisp> picture;
    make_picture(bitmap.get(), picture);

    const HBITMAP handle = bitmap_from_number(handle_property(picture.get()));
    const HWND owner = tk::native_handle(tk::main_window());

    HANDLE accepted = nullptr;
    // Without our own open, the calls would act on the holder's session
    // (Wine lets another thread of this process add data to it, and a close
    // could end it), so they are made only after opening succeeded.
    if (open_clipboard(owner)) {
        EmptyClipboard();
        accepted = SetClipboardData(CF_BITMAP, handle);
        CloseClipboard();
    }

    picture.reset();
    // Accepted, the bitmap is the clipboard's; otherwise `bitmap` deletes it.
    if (accepted && handle && accepted == handle && handle == bitmap.get()) bitmap.release();
}

}  // namespace pictures
