// Shared helpers for the Windows test programs (run under Wine).
#pragma once

#include <windows.h>
// windef.h defines `near` as an empty macro, which would swallow support::near.
#undef near

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace support {

// Pumps this thread's messages for `ms` milliseconds (and at least once).
void flush_events(int ms = 30);
// Pumps messages until `done` is true or `timeout_ms` passes.
bool wait_until(const std::function<bool()>& done, int timeout_ms = 5000);

// Pixels read back from the screen, a window or the clipboard: 0x00RRGGBB, top-down.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    std::uint32_t at(int x, int y) const { return argb[std::size_t(y) * width + x] & 0xFFFFFF; }
    bool empty() const { return width == 0 || height == 0; }
};
Pixels capture_screen(const RECT& screen_rect);
Pixels capture_client(HWND window);        // the client area as shown on screen
Pixels from_bitmap(HBITMAP bitmap);        // via GetDIBits, 32-bit top-down
Pixels clipboard_bitmap();                 // CF_BITMAP; empty when there is none
std::uint32_t rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b);
bool near(std::uint32_t a, std::uint32_t b, int tolerance = 8);

// The real program, started beside the test programs.
std::wstring glimbo_exe();
class Process {
public:
    explicit Process(const std::wstring& exe);
    ~Process();  // terminates it if still running
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    DWORD id() const;
    // Exit code, or STILL_ACTIVE after the timeout.
    DWORD wait(int timeout_ms);
private:
    PROCESS_INFORMATION info_{};
};
// A visible top-level window with this exact title (of any process).
HWND wait_for_window(const std::wstring& title, int timeout_ms = 10000);
bool wait_for_gone(HWND window, int timeout_ms = 5000);

// Real input (SendInput) in screen coordinates; each call waits a little
// so the target process sees it.
void mouse_move(int x, int y);
void mouse_down(int x, int y);
void mouse_up(int x, int y);
void click(int x, int y);
void right_mouse_down(int x, int y);
void right_mouse_up(int x, int y);
void double_click(int x, int y);
void key(WORD vk);
void key_combo(WORD modifier, WORD vk);
void type_text(const std::wstring& text);
// Screen position of a point given in a window's client coordinates.
POINT client_to_screen(HWND window, int x, int y);
// A child window (any depth) whose window text is `text`.
HWND find_child_by_text(HWND parent, const std::wstring& text);

}  // namespace support
