// Window layouts as data. Every window of the program is one WindowLayout
// table; behaviour is bound to events as plain handler functions.
#pragma once

#include <cstdint>
#include <span>

#include "pictures/byteset.h"

namespace tk {

using WindowNumber = std::uint32_t;   // 0x520100xx
using ControlNumber = std::uint32_t;  // 0x160100xx

// (red, green, blue); `face` means the system's button-face colour at the
// time of drawing, whatever the triple says.
struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool face = true;
};
inline constexpr Colour kDefaultColour{};
constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {r, g, b, false}; }

inline constexpr std::uint8_t kDefaultCharset = 1;  // DEFAULT_CHARSET
inline constexpr std::uint8_t kGb2312Charset = 134;

struct Font {
    const wchar_t* face = nullptr;  // nullptr: the system's default GUI font
    int height = 0;                 // character height in pixels (created as -height)
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    std::uint8_t charset = kDefaultCharset;
};

enum class Kind : std::uint8_t {
    Label,             // fills its background, then draws its text
    TransparentLabel,  // draws only its text over whatever lies beneath
    PictureBox,
    EditBox,
    Button,
    GroupBox,    // parent window of the controls inside it
    TabControl,  // parent window of the controls on its pages
    ListBox,
};
enum class HAlign : std::uint8_t { Left, Centre, Right };
enum class VAlign : std::uint8_t { Top, Centre, Bottom };
enum class PictureMode : std::uint8_t { Natural, Stretch };  // natural: at the top-left, cut at the edges
enum class Background : std::uint8_t { None, Stretch, Tile };
enum class Cursor : std::uint8_t { Arrow, Hand };

// Mouse events carry the position in the control's client coordinates and
// the key state (1 Ctrl, 2 Shift, 4 Alt); other events leave them 0.
struct EventArgs {
    int x = 0;
    int y = 0;
    int keys = 0;
};
using Handler = void (*)(const EventArgs&);

// Built-in pictures are named by the catalogue function that yields them.
using PictureSource = pictures::ByteSet (*)();

struct ControlEvents {
    Handler pressed = nullptr;        // left button pressed
    Handler released = nullptr;       // left button released
    Handler text_changed = nullptr;   // edit box: after every change of its content
    Handler clicked = nullptr;        // button
    Handler item_selected = nullptr;  // list box: selection changed
};

struct ControlLayout {
    const wchar_t* name = L"";
    ControlNumber number = 0;
    Kind kind = Kind::Label;
    ControlNumber parent = 0;  // 0: the window itself; else a group box or tab control above in the table
    int page = 0;              // page index when the parent is a tab control
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = true;
    bool disabled = false;
    bool focus_stop = false;
    int tab_order = 0;
    Cursor cursor = Cursor::Arrow;
    const wchar_t* text = L"";  // label/edit text, button or group caption
    Font font{};
    Colour text_colour = rgb(0, 0, 0);
    Colour back_colour = kDefaultColour;
    HAlign h_align = HAlign::Left;
    VAlign v_align = VAlign::Top;
    bool word_wrap = false;
    bool border = false;  // picture box: thin line; edit box, list box: sunken client edge
    // picture box
    PictureSource picture = nullptr;
    PictureMode picture_mode = PictureMode::Natural;
    bool animate = false;
    // edit box
    bool read_only = false;
    // list box rows, or tab control page captions
    std::span<const wchar_t* const> items{};
    int line_spacing = 0;  // list box: pixels added to the font's row height
    ControlEvents events{};
};

struct WindowLayout {
    WindowNumber number = 0;
    const wchar_t* title = L"";
    int outer_width = 0;  // frame and title bar included
    int outer_height = 0;
    bool esc_closes = true;
    Colour back_colour = kDefaultColour;
    PictureSource background = nullptr;
    Background background_mode = Background::None;
    PictureSource icon = nullptr;  // nullptr: the program icon
    std::span<const ControlLayout> controls{};
    Handler created = nullptr;
    Handler destroying = nullptr;  // the window will be destroyed
};

}  // namespace tk
