#include "app/launcher.h"

#include "app/about.h"
#include "designer/designer.h"
#include "gallery/gallery.h"
#include "pictures/catalogue.h"
#include "toolkit/toolkit.h"

namespace app {
namespace {

using tk::ControlLayout;
using tk::Kind;

// Set by a press on tile 1, 2 or 3 and cleared by the next release on one of
// them: the release decides which window opens, not the press.
int g_tile_pressed = 0;

void tile_press(const tk::EventArgs&) { g_tile_pressed = 1; }

void tile_release(const tk::WindowLayout& target) {
    if (g_tile_pressed == 0) return;
    g_tile_pressed = 0;
    tk::set_visible(kLauncherWindow, false);
    // Let the hide take effect before the target window is built.
    tk::process_pending_events();
    tk::open_modal(target);
    tk::set_visible(kLauncherWindow, true);
}

void open_designer(const tk::EventArgs&) { tile_release(designer::window_layout()); }
void open_gallery(const tk::EventArgs&) { tile_release(gallery::window_layout()); }
void open_about(const tk::EventArgs&) { tile_release(about_layout()); }

void shutdown(const tk::EventArgs&) { tk::end_process(0); }

constexpr tk::Font kLabelFont{.face = L"微软雅黑", .height = 12, .weight = 400};
constexpr tk::Colour kDarkGrey = tk::rgb(96, 96, 96);

constexpr ControlLayout label(const wchar_t* name, tk::ControlNumber number, int x, int y, int width,
                              const wchar_t* text, tk::Colour text_colour) {
    return {.name = name, .number = number, .kind = Kind::Label,
            .x = x, .y = y, .width = width, .height = 24,
            .text = text, .font = kLabelFont, .text_colour = text_colour, .back_colour = kDarkGrey,
            .h_align = tk::HAlign::Centre, .v_align = tk::VAlign::Centre};
}

constexpr ControlLayout tile(const wchar_t* name, tk::ControlNumber number, int x, int width,
                             tk::Handler release) {
    return {.name = name, .number = number, .kind = Kind::PictureBox,
            .x = x, .y = 40, .width = width, .height = 120,
            .cursor = tk::Cursor::Hand, .border = true,
            .picture = &pictures::tile_picture, .picture_mode = tk::PictureMode::Stretch,
            .events = {.pressed = release ? &tile_press : nullptr, .released = release}};
}

constexpr tk::Colour kWhite = tk::rgb(255, 255, 255);
constexpr tk::Colour kRed = tk::rgb(255, 0, 0);

constexpr ControlLayout kControls[] = {
    label(L"标签4", 0x16010002, 8, 8, 440, L"请先选择一个系列然后继续", kWhite),
    tile(L"图片框1", 0x16010003, 8, 100, &open_designer),
    label(L"标签1", 0x16010004, 8, 161, 100, L"设计图", kWhite),
    tile(L"图片框3", 0x16010005, 112, 100, &open_gallery),
    label(L"标签3", 0x16010006, 112, 161, 100, L"斗图模式启动", kWhite),
    tile(L"图片框2", 0x16010007, 216, 100, &open_about),
    label(L"标签2", 0x16010008, 216, 161, 100, L"关于 Orlun", kWhite),
    tile(L"图片框4", 0x16010009, 320, 104, nullptr),
    label(L"标签5", 0x1601000a, 320, 160, 104, L"更多表情敬请期待", kRed),
};

constexpr tk::WindowLayout kLayout{
    .number = kLauncherWindow,
    .title = L"Glimbo-Orlun 1.1",
    .outer_width = 469,
    .outer_height = 236,
    .background = &pictures::backdrop_picture,
    .background_mode = tk::Background::Stretch,
    .controls = kControls,
    .destroying = &shutdown,
};

}  // namespace

const tk::WindowLayout& launcher_layout() { return kLayout; }

int run() { return tk::start(kLayout); }

}  // namespace app
