// Move-only owners for GDI and USER handles: one template, one deleter a type.
#pragma once

#include <windows.h>

#include <utility>

namespace tk {

template <class H>
struct HandleDeleter {
    static_assert(sizeof(H) == 0, "no deleter is listed for this handle type");
};
template <> struct HandleDeleter<HFONT> { static void free(HFONT h) { DeleteObject(h); } };
template <> struct HandleDeleter<HBRUSH> { static void free(HBRUSH h) { DeleteObject(h); } };
template <> struct HandleDeleter<HBITMAP> { static void free(HBITMAP h) { DeleteObject(h); } };
template <> struct HandleDeleter<HRGN> { static void free(HRGN h) { DeleteObject(h); } };
template <> struct HandleDeleter<HDC> { static void free(HDC h) { DeleteDC(h); } };  // memory DCs
template <> struct HandleDeleter<HICON> { static void free(HICON h) { DestroyIcon(h); } };

template <class H>
class Owned {
public:
    Owned() = default;
    explicit Owned(H h) : h_(h) {}
    ~Owned() { reset(); }
    Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset(H h = nullptr) {
        if (h_) HandleDeleter<H>::free(h_);
        h_ = h;
    }
    // Hands the handle on to a new owner (the clipboard, say).
    H release() { return std::exchange(h_, nullptr); }

private:
    H h_ = nullptr;
};

using FontHandle = Owned<HFONT>;
using BrushHandle = Owned<HBRUSH>;
using BitmapHandle = Owned<HBITMAP>;
using IconHandle = Owned<HICON>;
using MemoryDc = Owned<HDC>;

// A DC from GetDC (the client area; the screen for a null window), or from
// GetWindowDC (the whole window, frame included), released to its window.
class WindowDc {
public:
    enum Area { Client, Whole };
    explicit WindowDc(HWND w, Area area = Client) : w_(w), dc_(area == Whole ? GetWindowDC(w) : GetDC(w)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(w_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

// Selects an object into a DC for one scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~Selection() {
        if (old_) SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC with a compatible bitmap selected: an off-screen canvas.
class Canvas {
public:
    Canvas(HDC like, int width, int height)
        : dc_(CreateCompatibleDC(like)),
          bitmap_(CreateCompatibleBitmap(like, width > 0 ? width : 1, height > 0 ? height : 1)),
          old_(dc_ && bitmap_ ? SelectObject(dc_.get(), bitmap_.get()) : nullptr) {}
    ~Canvas() {
        if (old_) SelectObject(dc_.get(), old_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_.get(); }
    bool ok() const { return old_ != nullptr; }

private:
    MemoryDc dc_;
    BitmapHandle bitmap_;
    HGDIOBJ old_;
};

// An off-screen bitmap in the screen's format with its memory DC, kept from
// one paint to the next so what is drawn once can be copied many times.
class Surface {
public:
    Surface() = default;
    ~Surface() { release(); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    enum class Fit { Kept, Made, Failed };
    // Holds a bitmap of `width` x `height` afterwards unless Failed; Made
    // when the bitmap is new and its pixels are undefined.
    Fit fit(int width, int height) {
        width = width > 0 ? width : 1;
        height = height > 0 ? height : 1;
        if (old_ && width == width_ && height == height_) return Fit::Kept;
        release();
        WindowDc screen(nullptr);
        dc_.reset(CreateCompatibleDC(screen.get()));
        bitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
        old_ = dc_ && bitmap_ ? SelectObject(dc_.get(), bitmap_.get()) : nullptr;
        if (!old_) {
            release();
            return Fit::Failed;
        }
        width_ = width;
        height_ = height;
        return Fit::Made;
    }
    void release() {
        if (old_) SelectObject(dc_.get(), old_);
        old_ = nullptr;
        bitmap_.reset();
        dc_.reset();
        width_ = height_ = 0;
    }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

    // Copies the part of the surface that `target`'s clipping lets through,
    // the surface's top-left at the target's logical (0, 0).
    void copy_to(HDC target) const {
        const RECT all{0, 0, width_, height_};
        RECT box{};
        const int kind = GetClipBox(target, &box);
        if (kind == NULLREGION) return;
        if (kind == ERROR) box = all;
        RECT part{};
        if (!IntersectRect(&part, &box, &all)) return;
        BitBlt(target, part.left, part.top, part.right - part.left, part.bottom - part.top, dc_.get(), part.left,
               part.top, SRCCOPY);
    }

private:
    MemoryDc dc_;
    BitmapHandle bitmap_;
    HGDIOBJ old_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace tk
