// What the gallery tests, soak and benchmark share: the window's control
// numbers, the decoded pictures, and pixel comparisons.
#pragma once

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/launcher.h"
#include "gallery/gallery.h"
#include "pictures/catalogue.h"
#include "tests/windows/clipboard_checks.h"
#include "tests/windows/support.h"
#include "toolkit/picture/image.h"
#include "toolkit/toolkit.h"

namespace gallery_fixture {

inline constexpr tk::ControlNumber kPictureBox = 0x1601010e;
inline constexpr tk::ControlNumber kList = 0x1601010d;
inline constexpr wchar_t kTitle[] = L"自动复制选定图片粘贴即可发送";
inline constexpr RECT kBoxRect{232, 32, 232 + 296, 32 + 264};  // client coordinates
inline constexpr RECT kListRect{16, 32, 16 + 152, 32 + 248};

using clipboard_checks::to_pixels;

// Gallery picture k as our decoders see it (GIF: every frame).
inline const std::vector<support::Pixels>& frames(int k) {
    static std::vector<std::vector<support::Pixels>> cache(30);
    auto& f = cache.at(std::size_t(k));
    if (f.empty()) {
        if (auto animation = pic::decode_any(pictures::gallery_picture(k).bytes()))
            for (const auto& frame : animation->frames) f.push_back(to_pixels(frame.image));
    }
    return f;
}

inline bool same(const support::Pixels& a, const support::Pixels& b) {
    return a.width == b.width && a.height == b.height && a.argb == b.argb;
}

// The gallery picture (first frame) that `p` holds exactly; -1 for none.
inline int which_picture(const support::Pixels& p) {
    for (int k = 0; k < 30; ++k)
        if (!frames(k).empty() && same(frames(k).front(), p)) return k;
    return -1;
}

inline support::Pixels crop(const support::Pixels& p, const RECT& r) {
    support::Pixels out;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) out.argb.push_back(p.at(x, y));
    return out;
}

// Checks a capture of the picture box: `picture` at natural size from the
// top-left corner, cut at the box's edges, button face around it. Returns
// a description of the first mismatch, or nothing.
inline std::optional<std::string> box_shows(const support::Pixels& box, const support::Pixels& picture) {
    const std::uint32_t face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t face_rgb = support::rgb(GetRValue(face), GetGValue(face), GetBValue(face));
    if (box.empty()) return "no capture";
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x) {
            const bool inside = x < picture.width && y < picture.height;
            const std::uint32_t want = inside ? picture.at(x, y) : face_rgb;
            if (box.at(x, y) != want) {
                char text[160];
                snprintf(text, sizeof text, "pixel %d,%d is %06X, want %06X (%s)", x, y, box.at(x, y), want,
                         inside ? "picture" : "button face");
                return std::string(text);
            }
        }
    return std::nullopt;
}

inline support::Pixels empty_picture() { return {}; }

// The real launcher as the clipboard owner, as in the program. It is never
// destroyed: its destroy handler ends the process.
inline HWND start_launcher() {
    tk::initialise();
    HWND launcher = tk::create_window(app::launcher_layout());
    tk::set_main_window(app::kLauncherWindow);
    return launcher;
}

// A keystroke as the list box gets it from the message loop.
inline void list_key(WORD vk) {
    HWND list = tk::native_handle(gallery::kWindow, kList);
    PostMessageW(list, WM_KEYDOWN, vk, 1);
    PostMessageW(list, WM_KEYUP, vk, 0xC0000001);
    tk::process_pending_events();
}

}  // namespace gallery_fixture
