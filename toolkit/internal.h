// The toolkit's private model: open windows, their controls, and the
// pieces the control kinds share. Only the UI thread touches it, except a
// picture box's animation thread, which touches its own PictureBoxState.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "toolkit/handles.h"
#include "toolkit/layout.h"
#include "toolkit/picture_data.h"

namespace tk::detail {

inline constexpr wchar_t kWindowClass[] = L"GlimboWindow";
inline constexpr wchar_t kLabelClass[] = L"GlimboLabel";
inline constexpr wchar_t kTransparentLabelClass[] = L"GlimboTransparentLabel";
inline constexpr wchar_t kPictureBoxClass[] = L"GlimboPictureBox";

struct Window;
class PictureBoxState;

struct Control {
    const ControlLayout* layout = nullptr;
    Window* window = nullptr;
    HWND hwnd = nullptr;
    FontHandle own_font;     // empty when the stock GUI font is used
    HFONT font = nullptr;    // what the control draws with
    BrushHandle back_brush;  // empty when the back colour is the button face
    std::unique_ptr<PictureBoxState> picture;  // picture boxes only
    // Labels: the canvas they compose in, kept between paints; transparent
    // ones also keep the parent container's print for the label's place,
    // reused while the container looks the same (`parent_look` is its
    // look_generation when printed).
    Surface canvas;
    Surface parent_print;
    RECT parent_print_place{};
    std::uint64_t parent_look = 0;
    // Group boxes and tab controls: changes whenever they may look different.
    std::uint64_t look_generation = 1;

    Control();
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    COLORREF text_colour() const;
    COLORREF back_colour() const;
    HBRUSH back() const;  // owned brush or the system's face brush
};

struct Window {
    const WindowLayout* layout = nullptr;
    HWND hwnd = nullptr;
    std::vector<std::unique_ptr<Control>> controls;  // layout order
    IconHandle own_icon;  // empty when the icon is shared
    IconHandle own_small_icon;
    PictureData background;
    Surface background_surface;  // the client area's background as last drawn
    COLORREF background_back = CLR_INVALID;
    HWND last_focus = nullptr;
    bool building = true;    // no events until the created event
    bool destroying = false;  // WM_DESTROY seen

    Control* find(ControlNumber number) const;
    Control* find(HWND hwnd) const;
};

// The toolkit's only global state: the registry of open windows, and the
// built-in pictures decoded so far (constant for the run, keyed by their bytes).
struct State {
    bool initialised = false;
    bool ending = false;
    WindowNumber main_window = 0;
    std::map<WindowNumber, std::unique_ptr<Window>> windows;
    std::map<const std::uint8_t*, std::shared_ptr<const DecodedPicture>> builtin_pictures;
};
State& state();

Window* find_window(WindowNumber number);
Window* window_of(HWND any);     // the toolkit window that holds this HWND (any depth)
Control* control_of(HWND hwnd);  // the toolkit control whose own window this is

COLORREF colour_ref(const Colour& c);

// The object (Window or Control) a toolkit window procedure serves: stored
// from CreateWindowEx's parameter at WM_NCCREATE, with its hwnd filled in.
template <class T>
T* bound_object(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        object->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Registered once by initialise().
void register_class(const wchar_t* name, UINT style, WNDPROC proc);
void register_classes();
void register_label_classes();
void register_picture_box_class();

// Creates the window and its controls, hidden, and registers it.
Window* build(const WindowLayout& layout);
// Centres, shows and focuses a built window, then raises its created event.
void present(Window& w);
// Restores (if minimised), shows and brings the window to the foreground.
void activate_window(HWND hwnd);

// Creates the control's window (hidden) and its kind-specific state.
HWND create_control_window(Control& c, HWND parent);
// Group boxes and tab controls: reflect child notifications to the toolkit.
void subclass_container(Control& c);
// Shows or hides the controls of a tab control's pages for its current page.
void show_tab_page(Window& w, Control& tab);

// Routes WM_COMMAND / WM_NOTIFY / WM_CTLCOLOR* from any control of `w`;
// false when the message is not the toolkit's.
bool handle_child_message(Window& w, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// Moves the keyboard focus into the window by the focus rule.
void focus_window(Window& w);
HWND choose_focus(const Window& w);

// Picture boxes.
void picture_box_set(Control& c, std::span<const std::uint8_t> bytes, bool copy);
void picture_box_stop(Control& c);
// Repaints the transparent labels above `hwnd` that overlap it, so they show
// what lies beneath them now.
void refresh_labels_above(HWND hwnd);

// Every message loop runs this before TranslateMessage/DispatchMessage;
// true when the message has been consumed.
bool pre_dispatch(MSG& msg);
void dispatch(MSG& msg);

}  // namespace tk::detail
