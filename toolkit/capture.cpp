// Capture of a window as a 24-bit BMP file image: what the user sees in the
// window's rectangle, including the sibling windows that lie over it.
#include <windows.h>

#include <cstring>

#include "toolkit/handles.h"
#include "toolkit/toolkit.h"

namespace tk {

namespace {

// Sends `window` WM_PRINT into `dc` with its top-left at `origin` and its
// drawing kept inside `clip` (both in the DC's device coordinates).
void print_at(HWND window, HDC dc, POINT origin, const RECT& clip, LPARAM flags) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
    RestoreDC(dc, saved);
}

// Draws `window` and every visible sibling above it that overlaps it into
// `dc`, bottom of the stacking order first. The window system's own copy of
// the screen misses windows drawn over the target whenever the target is
// covered, and under Wine also for plain overlapping siblings, so the image
// the user sees is composed here from the windows themselves.
void compose(HWND window, HDC dc, const RECT& area) {
    const RECT whole{0, 0, area.right - area.left, area.bottom - area.top};
    print_at(window, dc, {0, 0}, whole, PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    for (HWND above = GetWindow(window, GW_HWNDPREV); above;
         above = GetWindow(above, GW_HWNDPREV)) {
        RECT rect{};
        RECT overlap{};
        if (!IsWindowVisible(above) || !GetWindowRect(above, &rect) ||
            !IntersectRect(&overlap, &rect, &area))
            continue;
        // What lies over the target is drawn as is: a transparent label
        // gives only its text, so the target shows through between letters.
        OffsetRect(&overlap, -area.left, -area.top);
        print_at(above, dc, {rect.left - area.left, rect.top - area.top}, overlap,
                 PRF_CLIENT | PRF_NONCLIENT);
    }
}

void put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = std::uint8_t(value);
    at[1] = std::uint8_t(value >> 8);
}
void put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = std::uint8_t(value >> (8 * i));
}

constexpr std::size_t kHeadersSize = 14 + 40;

// The bitmap's pixels as a BMP file image: file header, info header, then
// bottom-up rows of blue, green, red, padded to four bytes, no colour table.
pictures::OwnedBytes bmp_file(HBITMAP bitmap, int width, int height) {
    const std::size_t stride = ((24 * std::size_t(width) + 31) / 32) * 4;
    const std::size_t image_size = stride * std::size_t(height);
    pictures::OwnedBytes file(kHeadersSize + image_size, 0);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    if (height > 0) {
        WindowDc screen(nullptr);
        GetDIBits(screen.get(), bitmap, 0, UINT(height), file.data() + kHeadersSize, &info,
                  DIB_RGB_COLORS);
    }

    std::uint8_t* p = file.data();
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, std::uint32_t(file.size()));
    put32(p + 10, kHeadersSize);
    put32(p + 14, 40);
    put32(p + 18, std::uint32_t(width));
    put32(p + 22, std::uint32_t(height));
    put16(p + 26, 1);
    put16(p + 28, 24);
    put32(p + 34, std::uint32_t(image_size));
    // Compression, resolutions and colour counts stay 0.
    return file;
}

}  // namespace

pictures::OwnedBytes capture_window(HWND window) {
    if (!IsWindow(window)) return {};
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right > area.left ? area.right - area.left : 0;
    const int height = area.bottom > area.top ? area.bottom - area.top : 0;

    WindowDc window_dc(window, WindowDc::Whole);
    MemoryDc memory(CreateCompatibleDC(window_dc.get()));
    BitmapHandle bitmap(CreateCompatibleBitmap(window_dc.get(), width, height));
    {
        Selection selected(memory.get(), bitmap.get());
        // The window system's copy first; composing then draws over all of it
        // with what the windows themselves paint.
        BitBlt(memory.get(), 0, 0, width, height, window_dc.get(), 0, 0, SRCCOPY);
        compose(window, memory.get(), area);
    }
    // GetDIBits wants the bitmap out of every DC.
    return bmp_file(bitmap.get(), width, height);
}

}  // namespace tk
