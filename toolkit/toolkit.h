// The operations that event handlers call. Everything runs on the UI thread;
// no operation reports an error: a failing one has no effect and yields an
// empty result.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "pictures/byteset.h"
#include "toolkit/layout.h"

namespace tk {

// Initialises the toolkit, builds and shows `main_window` (not modally) and
// runs the message loop. Returns 0 should the loop ever end.
int start(const WindowLayout& main_window);

// Builds `layout` anew, centres and shows it, raises its created event,
// disables the program's other top-level windows and runs a nested loop
// until it is destroyed. A window that is already open is only activated.
void open_modal(const WindowLayout& layout);

void set_visible(WindowNumber window, bool visible);

// Dispatches what is queued, as the message loop would; WM_QUIT stays queued.
void process_pending_events();

// Tears down the toolkit's windows and threads, then ends the process.
[[noreturn]] void end_process(int exit_code);

// The window-system handle of a loaded window (control 0) or control; 0 when none.
HWND native_handle(WindowNumber window, ControlNumber control = 0);

// The window that start() built: the clipboard owner.
WindowNumber main_window();

std::wstring text(WindowNumber window, ControlNumber control);
// Replaces the text and redraws; an edit box raises its text-changed event once.
void set_text(WindowNumber window, ControlNumber control, std::wstring_view text);
// The picture box keeps its own copy of the bytes.
void set_picture(WindowNumber window, ControlNumber control, std::span<const std::uint8_t> bytes);
// The list box row that has the focus rectangle, from 0; -1 when none.
int caret_index(WindowNumber window, ControlNumber control);
LRESULT send_message(WindowNumber window, ControlNumber control, UINT message, WPARAM wparam,
                     LPARAM lparam);

// The window's whole rectangle as a 24-bit BMP file image; empty when
// `window` is not a window.
pictures::OwnedBytes capture_window(HWND window);
void write_file(const std::wstring& path, std::span<const std::uint8_t> bytes);
pictures::OwnedBytes read_file(const std::wstring& path);
void delete_file(const std::wstring& path);
// Ends with a backslash; empty when the platform gives no temporary folder.
std::wstring temp_folder();
std::wstring join(std::initializer_list<std::wstring_view> pieces);

// --- for tests and tools: the builder without the modal loop ---
void initialise();
HWND create_window(const WindowLayout& layout);  // built and shown, created event raised
void destroy_window(WindowNumber window);
bool is_open(WindowNumber window);
// Names the clipboard owner, as start() does, for tests that build windows themselves.
void set_main_window(WindowNumber window);

}  // namespace tk
