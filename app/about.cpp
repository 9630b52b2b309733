#include "app/about.h"

#include "pictures/catalogue.h"

namespace app {
namespace {

using tk::ControlLayout;
using tk::Kind;

// Drawn on one line: the line breaks and the padding never show.
constexpr wchar_t kSlogan[] =
    L"骚年。还在撸？删了LOL，拿你的鼠标跟我一起拯救世界！\r\n\r\n\r\n"
    L"                                                 BY：Orlun\r\n\r\n\r\n\r\n";

constexpr ControlLayout label(const wchar_t* name, tk::ControlNumber number, int x, int y, int width,
                              int height, const wchar_t* text, tk::Font font, tk::Colour text_colour,
                              tk::Colour back_colour) {
    return {.name = name, .number = number, .kind = Kind::Label,
            .x = x, .y = y, .width = width, .height = height,
            .text = text, .font = font, .text_colour = text_colour, .back_colour = back_colour,
            .h_align = tk::HAlign::Left, .v_align = tk::VAlign::Centre};
}

constexpr tk::Colour kBlack = tk::rgb(0, 0, 0);

constexpr ControlLayout kControls[] = {
    {.name = L"图片框1", .number = 0x160100f2, .kind = Kind::PictureBox,
     .x = 16, .y = 152, .width = 120, .height = 104,
     .picture = &pictures::tile_picture, .picture_mode = tk::PictureMode::Stretch},
    label(L"标签1", 0x160100f3, 16, 32, 312, 48, kSlogan,
          {.face = L"微软雅黑", .height = 12, .weight = 700, .italic = true},
          tk::rgb(255, 0, 0), tk::rgb(255, 255, 255)),
    label(L"标签2", 0x160100f4, 264, 136, 88, 24, L"BY：Orlun",
          {.face = L"Comic Sans MS", .height = 12, .weight = 400}, kBlack, tk::kDefaultColour),
    label(L"标签3", 0x160100f5, 264, 248, 152, 16, L"关注作者聊天号，持续更新",
          {.face = L"微软雅黑", .height = 12, .weight = 400, .italic = true}, kBlack,
          tk::kDefaultColour),
};

constexpr tk::WindowLayout kLayout{
    .number = kAboutWindow,
    .title = L"关于Orlun",
    .outer_width = 430,
    .outer_height = 306,
    .background = &pictures::backdrop_picture,
    .background_mode = tk::Background::Stretch,
    .icon = &pictures::program_icon,
    .controls = kControls,
};

}  // namespace

const tk::WindowLayout& about_layout() { return kLayout; }

}  // namespace app
