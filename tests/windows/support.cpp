// Shared helpers for the Windows test programs.
#include "tests/windows/support.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/toolkit.h"

namespace support {

namespace {

// Milliseconds since some fixed point; enough for timeouts.
ULONGLONG now_ms() { return GetTickCount64(); }

// A pause between synthetic input events: long enough for Wine to route the
// event to the target thread, short enough to stay within a double-click.
constexpr int kInputPause = 40;

void send(INPUT input) {
    INPUT copy = input;
    SendInput(1, &copy, sizeof(INPUT));
}

// Absolute coordinates for SendInput: 0..65535 across the primary screen.
LONG absolute(int v, int extent) {
    if (extent <= 1) return 0;
    return LONG((std::int64_t(v) * 65535 + (extent - 1) / 2) / (extent - 1));
}

void move_pointer(int x, int y) {
    SetCursorPos(x, y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = absolute(x, GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = absolute(y, GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    send(in);
}

void button(int x, int y, DWORD flag) {
    move_pointer(x, y);
    flush_events(10);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = absolute(x, GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = absolute(y, GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = flag | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    send(in);
}

bool is_extended(WORD vk) {
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU:
        return true;
    default:
        return false;
    }
}

void key_event(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (is_extended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    send(in);
}

// A 32-bit top-down DIB section the size of the area, with a memory DC.
struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    void* bits = nullptr;
    int width = 0, height = 0;

    Surface(int w, int h) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(nullptr, screen);
        if (dc && bitmap) old = SelectObject(dc, bitmap);
    }
    ~Surface() {
        if (old) SelectObject(dc, old);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    bool ok() const { return dc && bitmap && bits; }
    Pixels pixels() const {
        Pixels p;
        if (!ok()) return p;
        GdiFlush();
        p.width = width;
        p.height = height;
        const auto* src = static_cast<const std::uint32_t*>(bits);
        p.argb.assign(src, src + std::size_t(width) * height);
        for (auto& v : p.argb) v &= 0xFFFFFF;
        return p;
    }
};

}  // namespace

void flush_events(int ms) {
    const ULONGLONG end = now_ms() + ULONGLONG(std::max(ms, 0));
    for (;;) {
        tk::process_pending_events();
        const ULONGLONG t = now_ms();
        if (t >= end) break;
        const DWORD left = DWORD(std::min<ULONGLONG>(end - t, 10));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left, QS_ALLINPUT);
    }
}

bool wait_until(const std::function<bool()>& done, int timeout_ms) {
    const ULONGLONG end = now_ms() + ULONGLONG(std::max(timeout_ms, 0));
    for (;;) {
        if (done()) return true;
        if (now_ms() >= end) return false;
        flush_events(10);
    }
}

Pixels capture_screen(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return {};
    Surface s(w, h);
    if (!s.ok()) return {};
    HDC screen = GetDC(nullptr);
    BitBlt(s.dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return s.pixels();
}

Pixels capture_client(HWND window) {
    RECT client{};
    if (!IsWindow(window) || !GetClientRect(window, &client)) return {};
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return {};
    Surface s(w, h);
    if (!s.ok()) return {};
    // The window's own DC reads back what was painted there, children
    // included, even where another window happens to cover it.
    HDC dc = GetDC(window);
    BitBlt(s.dc, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    return s.pixels();
}

Pixels from_bitmap(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Pixels p;
    p.width = bm.bmWidth;
    p.height = bm.bmHeight;
    p.argb.resize(std::size_t(p.width) * p.height);
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, UINT(p.height), p.argb.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != p.height) return {};
    for (auto& v : p.argb) v &= 0xFFFFFF;
    return p;
}

Pixels clipboard_bitmap() {
    bool open = false;
    for (int attempt = 0; attempt < 20 && !open; ++attempt) {
        open = OpenClipboard(nullptr) != FALSE;
        if (!open) flush_events(50);
    }
    if (!open) return {};
    Pixels p;
    if (IsClipboardFormatAvailable(CF_BITMAP)) {
        // The clipboard keeps ownership of the bitmap.
        if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) p = from_bitmap(bitmap);
    }
    CloseClipboard();
    return p;
}

std::uint32_t rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
}

bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = int(a >> shift & 0xFF), cb = int(b >> shift & 0xFF);
        if (std::abs(ca - cb) > tolerance) return false;
    }
    return true;
}

std::wstring glimbo_exe() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n == 0) return L"glimbo.exe";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash);
    return path + L"\\glimbo.exe";
}

Process::Process(const std::wstring& exe) {
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info_)) {
        info_ = {};
        return;
    }
    WaitForInputIdle(info_.hProcess, 5000);
}

Process::~Process() {
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
    }
    if (info_.hThread) CloseHandle(info_.hThread);
}

DWORD Process::id() const { return info_.dwProcessId; }

DWORD Process::wait(int timeout_ms) {
    if (!info_.hProcess) return DWORD(-1);
    const ULONGLONG end = now_ms() + ULONGLONG(std::max(timeout_ms, 0));
    for (;;) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) break;
        if (now_ms() >= end) return STILL_ACTIVE;
        // Keep this thread's own windows (if any) responsive while waiting.
        flush_events(20);
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

HWND wait_for_window(const std::wstring& title, int timeout_ms) {
    HWND found = nullptr;
    wait_until(
        [&] {
            HWND w = FindWindowW(nullptr, title.c_str());
            if (w && IsWindowVisible(w)) found = w;
            return found != nullptr;
        },
        timeout_ms);
    return found;
}

bool wait_for_gone(HWND window, int timeout_ms) {
    return wait_until([&] { return !IsWindow(window); }, timeout_ms);
}

void mouse_move(int x, int y) {
    move_pointer(x, y);
    flush_events(kInputPause);
}

void mouse_down(int x, int y) {
    button(x, y, MOUSEEVENTF_LEFTDOWN);
    flush_events(kInputPause);
}

void mouse_up(int x, int y) {
    button(x, y, MOUSEEVENTF_LEFTUP);
    flush_events(kInputPause);
}

void click(int x, int y) {
    mouse_down(x, y);
    mouse_up(x, y);
}

void right_mouse_down(int x, int y) {
    button(x, y, MOUSEEVENTF_RIGHTDOWN);
    flush_events(kInputPause);
}

void right_mouse_up(int x, int y) {
    button(x, y, MOUSEEVENTF_RIGHTUP);
    flush_events(kInputPause);
}

void double_click(int x, int y) {
    // Short pauses: the four events must fall within the double-click time.
    move_pointer(x, y);
    flush_events(10);
    for (int i = 0; i < 2; ++i) {
        button(x, y, MOUSEEVENTF_LEFTDOWN);
        flush_events(15);
        button(x, y, MOUSEEVENTF_LEFTUP);
        flush_events(15);
    }
    flush_events(kInputPause);
}

void key(WORD vk) {
    key_event(vk, false);
    flush_events(15);
    key_event(vk, true);
    flush_events(kInputPause);
}

void key_combo(WORD modifier, WORD vk) {
    key_event(modifier, false);
    flush_events(15);
    key_event(vk, false);
    flush_events(15);
    key_event(vk, true);
    flush_events(15);
    key_event(modifier, true);
    flush_events(kInputPause);
}

void type_text(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = c;
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        send(in);
        in.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        send(in);
        flush_events(15);
    }
    flush_events(kInputPause);
}

POINT client_to_screen(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

namespace {

std::wstring window_text(HWND w) {
    // WM_GETTEXT is marshalled across processes, so an edit box of another
    // program gives its current content, not only its creation caption.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length)) {
        wchar_t buffer[512]{};
        GetWindowTextW(w, buffer, 512);
        return buffer;
    }
    std::wstring s(std::size_t(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, WPARAM(s.size()), LPARAM(s.data()), SMTO_ABORTIFHUNG, 1000, &copied);
    s.resize(std::min<std::size_t>(copied, s.size()));
    return s;
}

struct FindByText {
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK find_by_text(HWND w, LPARAM param) {
    auto* f = reinterpret_cast<FindByText*>(param);
    if (window_text(w) == *f->text) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND find_child_by_text(HWND parent, const std::wstring& text) {
    // EnumChildWindows already walks every depth.
    FindByText f{&text, nullptr};
    EnumChildWindows(parent, find_by_text, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

}  // namespace support
