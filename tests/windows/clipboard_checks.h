// Helpers of the clipboard and gallery tests: decoded pictures in the form
// support::Pixels uses, and text on the clipboard as a marker of what was
// there before.
#pragma once

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "tests/windows/support.h"
#include "toolkit/picture/image.h"

namespace clipboard_checks {

// 0x00RRGGBB, top-down, as the captures and the clipboard read back.
inline support::Pixels to_pixels(const pic::Image& image) {
    support::Pixels p;
    p.width = image.width;
    p.height = image.height;
    p.argb.reserve(std::size_t(p.width) * p.height);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = image.row(y);
        for (int x = 0; x < image.width; ++x)
            p.argb.push_back(support::rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
    }
    return p;
}

// Replaces the clipboard's content with `text`, owned by `owner`.
inline bool put_text_on_clipboard(const std::wstring& text, HWND owner = nullptr) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    bool placed = false;
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), size);
        GlobalUnlock(memory);
        placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!placed) GlobalFree(memory);
    }
    CloseClipboard();
    return placed;
}

inline std::optional<std::wstring> clipboard_text() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::wstring> text;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace clipboard_checks
