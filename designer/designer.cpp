// The designer window as one table: the tab control, then each template
// page's controls. Among controls of one parent the earlier row lies on top.
#include "designer/designer.h"

#include <algorithm>
#include <array>

#include "designer/captions.h"
#include "designer/controls.h"
#include "designer/copy_picture.h"
#include "pictures/catalogue.h"

namespace designer {
namespace {

using tk::ControlLayout;
using tk::Kind;

struct Place {
    int x, y, width, height;
};

// What a row gives beyond its role's settings.
struct Row {
    const wchar_t* name;
    tk::ControlNumber number;
    tk::ControlNumber parent;
    int page;
    Place place;
    const wchar_t* text = L"";
};

constexpr ControlLayout placed(const Row& r, Kind kind) {
    return {.name = r.name, .number = r.number, .kind = kind, .parent = r.parent, .page = r.page,
            .x = r.place.x, .y = r.place.y, .width = r.place.width, .height = r.place.height,
            .text = r.text};
}

constexpr tk::Colour kBlack = tk::rgb(0, 0, 0);
constexpr tk::Colour kWhite = tk::rgb(255, 255, 255);

// --- settings shared by role ---

constexpr ControlLayout caption_label(const Row& r, tk::Handler drag) {
    ControlLayout c = placed(r, Kind::TransparentLabel);
    c.font = {.face = L"微软雅黑", .height = 16, .weight = 700};
    c.text_colour = kBlack;
    c.h_align = tk::HAlign::Centre;
    c.v_align = tk::VAlign::Top;
    c.word_wrap = true;
    c.events.pressed = drag;
    return c;
}

constexpr ControlLayout caption_field(const Row& r, tk::Handler mirror) {
    ControlLayout c = placed(r, Kind::EditBox);
    c.border = true;
    c.text_colour = kBlack;
    c.back_colour = kWhite;
    c.focus_stop = true;
    c.events.text_changed = mirror;
    return c;
}

// Line labels and drag hints.
constexpr ControlLayout hint(const Row& r) {
    ControlLayout c = placed(r, Kind::TransparentLabel);
    c.text_colour = kBlack;
    c.v_align = tk::VAlign::Centre;
    return c;
}

constexpr ControlLayout path_field(const Row& r) {
    ControlLayout c = placed(r, Kind::EditBox);
    c.text_colour = kBlack;
    c.read_only = true;
    c.focus_stop = true;
    return c;
}

constexpr ControlLayout copy_button(const Row& r, tk::Handler copy) {
    ControlLayout c = placed(r, Kind::Button);
    c.text = L"复制图片";
    c.h_align = tk::HAlign::Centre;
    c.v_align = tk::VAlign::Centre;
    c.focus_stop = true;
    c.events.clicked = copy;
    return c;
}

constexpr ControlLayout group(const Row& r) {
    ControlLayout c = placed(r, Kind::GroupBox);
    c.text = L"属性";
    c.text_colour = kBlack;
    c.h_align = tk::HAlign::Centre;
    return c;
}

constexpr ControlLayout template_box(const Row& r, tk::PictureSource picture, tk::PictureMode mode) {
    ControlLayout c = placed(r, Kind::PictureBox);
    c.picture = picture;
    c.picture_mode = mode;
    return c;
}

constexpr auto kStretch = tk::PictureMode::Stretch;
constexpr auto kNatural = tk::PictureMode::Natural;

// --- the rows ---

constexpr const wchar_t* kPages[] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G"};
enum Page { kPageA, kPageB, kPageC, kPageD, kPageE, kPageF, kPageG };

constexpr ControlLayout kTabs{
    .name = L"高级选择夹1", .number = id::tabs, .kind = Kind::TabControl,
    .x = 0, .y = 0, .width = 568, .height = 440,  // wider and taller than the client area
    .font = {.face = L"SimSun", .height = 12, .weight = 400, .charset = tk::kGb2312Charset},
    .items = kPages,
};

constexpr Place kGroupPlace{8, 272, 512, 136};
constexpr const wchar_t* kHintText = L"如果格式不对 按住鼠标可以调整位置";

// The group "属性" of pages b, C, d, e and F: one caption, so five controls.
struct SimpleGroup {
    Page page;
    const wchar_t* group_name;  tk::ControlNumber group;
    const wchar_t* path_name;   tk::ControlNumber path;
    const wchar_t* button_name; tk::ControlNumber button;
    const wchar_t* hint_name;   tk::ControlNumber hint;
    const wchar_t* line_name;   tk::ControlNumber line;
    const wchar_t* field_name;  tk::ControlNumber field;
    const wchar_t* caption;
    tk::Handler mirror;
    tk::Handler copy;
};

constexpr std::array<ControlLayout, 6> simple_group(const SimpleGroup& g) {
    return {
        group({g.group_name, g.group, id::tabs, g.page, kGroupPlace}),
        path_field({g.path_name, g.path, g.group, 0, {16, 96, 360, 24}}),
        copy_button({g.button_name, g.button, g.group, 0, {384, 96, 88, 24}}, g.copy),
        hint({g.hint_name, g.hint, g.group, 0, {272, 24, 232, 24}, kHintText}),
        hint({g.line_name, g.line, g.group, 0, {16, 24, 56, 24}, L"第一句话"}),
        caption_field({g.field_name, g.field, g.group, 0, {80, 24, 184, 24}, g.caption}, g.mirror),
    };
}

template <std::size_t... N>
constexpr auto rows(const std::array<ControlLayout, N>&... parts) {
    std::array<ControlLayout, (N + ...)> all{};
    auto at = all.begin();
    ((at = std::copy(parts.begin(), parts.end(), at)), ...);
    return all;
}
constexpr std::array<ControlLayout, 1> row(const ControlLayout& c) { return {c}; }

// Caption texts: each label and its field start with the same one.
constexpr const wchar_t* kCaptionA1 = L"孩子 你需要治疗";
constexpr const wchar_t* kCaptionA2 = L"Don't give up cure";
constexpr const wchar_t* kCaptionB = L"谁给你的勇气？";
constexpr const wchar_t* kCaptionC = L"我读书多我不骗你";
constexpr const wchar_t* kCaptionD = L"放肆 谁让你发图了";
constexpr const wchar_t* kCaptionE = L"天天拍桌子 吃屎了你";
constexpr const wchar_t* kCaptionF = L"你敢再说一百次试试？";

constexpr auto kControls = rows(
    row(kTabs),

    // Page "A": template a, two captions; a2 lies over a1.
    row(group({L"分组框1", id::group1, id::tabs, kPageA, kGroupPlace})),
    std::array{
        path_field({L"a5", id::a5, id::group1, 0, {16, 96, 360, 24}}),
        copy_button({L"按钮1", id::button1, id::group1, 0, {384, 96, 88, 24}}, copy_clicked<0>),
        hint({L"透明标签4", id::label4, id::group1, 0, {272, 56, 232, 24}, kHintText}),
        hint({L"透明标签3", id::label3, id::group1, 0, {272, 24, 232, 24}, kHintText}),
        caption_field({L"a4", id::a4, id::group1, 0, {80, 56, 184, 24}, kCaptionA2},
                      mirror_caption<id::a4, id::a2>),
        hint({L"透明标签2", id::label2, id::group1, 0, {16, 56, 56, 24}, L"第二句话"}),
        hint({L"透明标签1", id::label1, id::group1, 0, {16, 24, 56, 24}, L"第一句话"}),
        caption_field({L"a3", id::a3, id::group1, 0, {80, 24, 184, 24}, kCaptionA1},
                      mirror_caption<id::a3, id::a1>),
    },
    std::array{
        caption_label({L"a2", id::a2, id::tabs, kPageA, {152, 216, 224, 56}, kCaptionA2},
                      drag_caption<id::a2>),
        caption_label({L"a1", id::a1, id::tabs, kPageA, {152, 184, 224, 72}, kCaptionA1},
                      drag_caption<id::a1>),
        template_box({L"a", id::a, id::tabs, kPageA, {168, 48, 184, 200}}, pictures::template_a, kStretch),
    },

    // Page "B": template b; the caption lies over the group.
    row(caption_label({L"b1", id::b1, id::tabs, kPageB, {144, 208, 224, 48}, kCaptionB},
                      drag_caption<id::b1>)),
    simple_group({kPageB, L"分组框2", id::group2, L"b3", id::b3, L"按钮2", id::button2,
                  L"透明标签6", id::label6, L"透明标签8", id::label8, L"b2", id::b2,
                  kCaptionB, mirror_caption<id::b2, id::b1>, copy_clicked<1>}),
    row(template_box({L"b", id::b, id::tabs, kPageB, {168, 32, 184, 232}}, pictures::template_b, kStretch)),

    // Page "C": template C.
    row(caption_label({L"C1", id::C1, id::tabs, kPageC, {216, 96, 224, 48}, kCaptionC},
                      drag_caption<id::C1>)),
    simple_group({kPageC, L"分组框3", id::group3, L"C3", id::C3, L"按钮3", id::button3,
                  L"透明标签5", id::label5, L"透明标签7", id::label7, L"C2", id::C2,
                  kCaptionC, mirror_caption<id::C2, id::C1>, copy_clicked<2>}),
    row(template_box({L"C", id::C, id::tabs, kPageC, {112, 56, 304, 182}}, pictures::template_C, kNatural)),

    // Page "D": template d.
    row(caption_label({L"d1", id::d1, id::tabs, kPageD, {152, 40, 224, 48}, kCaptionD},
                      drag_caption<id::d1>)),
    simple_group({kPageD, L"分组框4", id::group4, L"D3", id::D3, L"按钮4", id::button4,
                  L"透明标签9", id::label9, L"透明标签10", id::label10, L"d2", id::d2,
                  kCaptionD, mirror_caption<id::d2, id::d1>, copy_clicked<3>}),
    row(template_box({L"d", id::d, id::tabs, kPageD, {160, 29, 200, 235}}, pictures::template_d, kNatural)),

    // Page "E": template e.
    row(caption_label({L"e1", id::e1, id::tabs, kPageE, {160, 72, 224, 48}, kCaptionE},
                      drag_caption<id::e1>)),
    simple_group({kPageE, L"分组框5", id::group5, L"e3", id::e3, L"按钮5", id::button5,
                  L"透明标签11", id::label11, L"透明标签12", id::label12, L"e2", id::e2,
                  kCaptionE, mirror_caption<id::e2, id::e1>, copy_clicked<4>}),
    row(template_box({L"e", id::e, id::tabs, kPageE, {12, 40, 512, 216}}, pictures::template_e, kNatural)),

    // Page "F": template F; the group lies over the caption.
    simple_group({kPageF, L"分组框6", id::group6, L"F3", id::F3, L"按钮6", id::button6,
                  L"透明标签13", id::label13, L"透明标签14", id::label14, L"F2", id::F2,
                  kCaptionF, mirror_caption<id::F2, id::F1>, copy_clicked<5>}),
    row(caption_label({L"F1", id::F1, id::tabs, kPageF, {212, 61, 224, 48}, kCaptionF},
                      drag_caption<id::F1>)),
    row(template_box({L"F", id::F, id::tabs, kPageF, {120, 56, 284, 168}}, pictures::template_F, kNatural))

    // Page "G" has no controls.
);

constexpr tk::WindowLayout kLayout{
    .number = kWindow,
    .title = L"设计区",
    .outer_width = 538,
    .outer_height = 449,
    .esc_closes = true,
    .back_colour = tk::kDefaultColour,
    .background = nullptr,
    .controls = kControls,
};

}  // namespace

const tk::WindowLayout& window_layout() { return kLayout; }

}  // namespace designer
