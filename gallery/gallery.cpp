#include "gallery/gallery.h"

#include "pictures/catalogue.h"
#include "pictures/clipboard.h"
#include "toolkit/toolkit.h"

namespace gallery {
namespace {

constexpr tk::ControlNumber kPictureBox = 0x1601010e;  // 图片框1
constexpr tk::ControlNumber kList = 0x1601010d;        // 列表框1

// Row k goes with gallery picture k, whose picture carries the same words.
// The commas in rows 2, 10, 18 and 23 are full-width; rows 11 and 12 have
// one ASCII space.
constexpr const wchar_t* kCaptions[pictures::kGalleryCount] = {
    L"110吗这里有人装逼场面控制不住了",
    L"duang的一下就冷场了就像加了特效一样",
    L"duang的一下，很亮，很柔",
    L"一句话不说上去就是一锤子",
    L"哥眼神纯洁不",
    L"吞肉自杀",
    L"你妈逼",
    L"你妈个b欺负我",
    L"害羞",
    L"反了你了",
    L"嗨你麻痹，滚去睡",
    L"看见没有 千万别学这个傻逼",
    L"妖孽 看剑",
    L"你为何这么叼",
    L"这个B装的还可以",
    L"这个时候只能呵呵",
    L"看你麻痹没见过撸管吗",
    L"你这磨人的小妖精",
    L"如果有一天我变淫荡了，请记住我曾经天真的眼神",
    L"妹子给个机会吧",
    L"我只是路过打酱油的",
    L"卧槽这傻逼又出现了",
    L"你们够了",
    L"把你这里最漂亮的妹子拉粗来，我有钱",
    L"你这个傻屌蛮有意思的我想我和你做个朋友",
    L"哥最恨装b的人了",
    L"你爹在我脚下你最好老实点",
    L"年青人你的思想很危险啊",
    L"出来吧楼下的二逼兽",
    L"我就静静的看着你装逼",
};

// Shows the chosen row's picture, then puts the same picture on the
// clipboard; the user only has to paste. Rows outside the catalogue are
// left alone.
void on_item_selected(const tk::EventArgs&) {
    const int row = tk::caret_index(kWindow, kList);
    if (row < 0 || row >= pictures::kGalleryCount) return;
    // A catalogue picture is a view of constant data: nothing to release.
    const pictures::ByteSet picture = pictures::gallery_picture(row);
    tk::set_picture(kWindow, kPictureBox, picture.bytes());
    pictures::copy_to_clipboard(picture.bytes());
}

constexpr tk::ControlLayout kControls[] = {
    {
        .name = L"图片框1",
        .number = kPictureBox,
        .kind = tk::Kind::PictureBox,
        .x = 232, .y = 32, .width = 296, .height = 264,
        .back_colour = tk::kDefaultColour,
        .border = false,
        .picture = nullptr,  // empty until a row is chosen
        .picture_mode = tk::PictureMode::Natural,
        .animate = true,
    },
    {
        .name = L"列表框1",
        .number = kList,
        .kind = tk::Kind::ListBox,
        .x = 16, .y = 32, .width = 152, .height = 248,
        .focus_stop = true,  // the only one, so the list has the focus from the start
        .font = {},          // the system's default GUI font
        .text_colour = tk::rgb(0, 0, 0),
        .back_colour = tk::rgb(255, 255, 255),
        .border = true,  // sunken
        .items = kCaptions,
        .line_spacing = 1,
        .events = {.item_selected = on_item_selected},
    },
};

constexpr tk::WindowLayout kLayout{
    .number = kWindow,
    .title = L"自动复制选定图片粘贴即可发送",
    .outer_width = 558,
    .outer_height = 410,
    .esc_closes = true,
    .back_colour = tk::kDefaultColour,
    .background = pictures::tile_picture,
    .background_mode = tk::Background::Tile,
    .icon = nullptr,  // the program icon
    .controls = kControls,
};

}  // namespace

const tk::WindowLayout& window_layout() { return kLayout; }

}  // namespace gallery
