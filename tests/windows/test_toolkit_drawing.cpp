// What the toolkit's controls draw, read back as pixels, and the picture
// box's animation thread, in-process under Wine.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "pictures/catalogue.h"
#include "tests/windows/support.h"
#include "toolkit/layout.h"
#include "toolkit/picture/image.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

using tk::ControlLayout;
using tk::ControlNumber;
using tk::Kind;
using Bytes = std::vector<std::uint8_t>;

// This program runs with the version 6 common controls, as glimbo.exe does
// through its manifest: themed buttons and tabs paint differently.
struct CommonControls6 {
    bool active = false;
    CommonControls6() {
        wchar_t dir[MAX_PATH]{};
        GetTempPathW(MAX_PATH, dir);
        const std::wstring path = std::wstring(dir) + L"glimbo_toolkit_drawing.manifest";
        std::ofstream(path.c_str(), std::ios::binary)
            << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
               "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
               "<dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
               "version=\"6.0.0.0\" processorArchitecture=\"amd64\" publicKeyToken=\"6595b64144ccf1df\" "
               "language=\"*\"/></dependentAssembly></dependency></assembly>";
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.lpSource = path.c_str();
        HANDLE h = CreateActCtxW(&context);
        ULONG_PTR cookie = 0;
        active = h != INVALID_HANDLE_VALUE && ActivateActCtx(h, &cookie);
    }
};
const CommonControls6 g_common_controls_6;

TEST(ToolkitDrawingSetup, RunsWithTheVersion6CommonControls) {
    ASSERT_TRUE(g_common_controls_6.active);
    // Only the version 6 button knows its ideal size.
    HWND button = CreateWindowW(L"BUTTON", L"six", WS_POPUP | BS_PUSHBUTTON, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(button);
    SIZE ideal{};
    EXPECT_TRUE(SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    DestroyWindow(button);
}

// --- pictures made here ----------------------------------------------------

Bytes bmp(int w, int h, const std::function<std::uint32_t(int, int)>& colour_at) {
    pic::Image img;
    img.allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colour_at(x, y);
            std::uint8_t* p = img.row(y) + 3 * x;
            p[0] = std::uint8_t(c);
            p[1] = std::uint8_t(c >> 8);
            p[2] = std::uint8_t(c >> 16);
        }
    return pic::write_bmp24(img);
}

// A GIF whose frames are each one flat colour: red, green, blue or black by
// index, with the given delays (hundredths of a second).
Bytes flat_gif(int w, int h, const std::vector<std::pair<int, int>>& frames, int loops) {
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    auto u16 = [&](int v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    u16(w);
    u16(h);
    out.insert(out.end(), {0x91, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0});
    const char* app = "NETSCAPE2.0";
    out.insert(out.end(), {0x21, 0xFF, 0x0B});
    out.insert(out.end(), app, app + 11);
    out.insert(out.end(), {0x03, 0x01});
    u16(loops);
    out.push_back(0);
    for (auto [index, delay] : frames) {
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x04});
        u16(delay);
        out.insert(out.end(), {0x00, 0x00, 0x2C});
        u16(0);
        u16(0);
        u16(w);
        u16(h);
        out.push_back(0);
        out.push_back(2);  // minimum code size: 3-bit codes, clear 4, end 5
        // A clear code before every pixel keeps the code width at 3 bits.
        Bytes packed;
        std::uint32_t acc = 0;
        int bits = 0;
        auto put = [&](std::uint32_t code) {
            acc |= code << bits;
            bits += 3;
            while (bits >= 8) {
                packed.push_back(std::uint8_t(acc));
                acc >>= 8;
                bits -= 8;
            }
        };
        for (int i = 0; i < w * h; ++i) {
            put(4);
            put(std::uint32_t(index));
        }
        put(5);
        if (bits) packed.push_back(std::uint8_t(acc));
        for (std::size_t at = 0; at < packed.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
            out.push_back(std::uint8_t(n));
            out.insert(out.end(), packed.begin() + at, packed.begin() + at + n);
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

// The stored-record form built-in pictures have: 1, the count, the bytes.
const std::uint8_t* record(const Bytes& bytes) {
    auto* r = new Bytes(8 + bytes.size());  // lives for the whole run, as built-in records do
    (*r)[0] = 1;
    for (int i = 0; i < 4; ++i) (*r)[4 + i] = std::uint8_t(bytes.size() >> (8 * i));
    std::copy(bytes.begin(), bytes.end(), r->begin() + 8);
    return r->data();
}

constexpr std::uint32_t kYellow = 0xFFFF00, kCyan = 0x00FFFF, kRed = 0xFF0000, kGreen = 0x00FF00,
                        kBlue = 0x0000FF, kWhite = 0xFFFFFF;

std::uint32_t stripes_at(int x, int) { return (x / 4) % 2 ? kCyan : kYellow; }
std::uint32_t quadrant_at(int x, int y, int w, int h) {
    return y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kWhite);
}

pictures::ByteSet stripes() {
    static const auto* r = record(bmp(200, 120, stripes_at));
    return pictures::ByteSet(r);
}
pictures::ByteSet red_block() {
    static const auto* r = record(bmp(20, 10, [](int, int) { return kRed; }));
    return pictures::ByteSet(r);
}
pictures::ByteSet quadrants() {
    static const auto* r = record(bmp(8, 8, [](int x, int y) { return quadrant_at(x, y, 8, 8); }));
    return pictures::ByteSet(r);
}
pictures::ByteSet tile() {
    static const auto* r = record(bmp(10, 10, [](int x, int y) { return x == 0 && y == 0 ? kRed : kGreen; }));
    return pictures::ByteSet(r);
}
const Bytes& animation() {
    // 100 ms, 50 ms (a delay of 0) and 300 ms; the file says "play once".
    static const Bytes gif = flat_gif(4, 4, {{0, 10}, {1, 0}, {2, 30}}, 1);
    return gif;
}
pictures::ByteSet animation_source() {
    static const auto* r = record(animation());
    return pictures::ByteSet(r);
}

// --- the drawing layout ----------------------------------------------------

constexpr tk::WindowNumber kDraw = 0x520100b1;
constexpr ControlNumber kCaption = 0x16010031, kStriped = 0x16010032, kNatural = 0x16010033,
                        kStretched = 0x16010034, kEmpty = 0x16010035, kAlpha = 0x16010036, kOpaque = 0x16010037;

constexpr tk::Font kBig{.face = L"SimSun", .height = 30, .weight = 700};

constexpr ControlLayout kDrawControls[] = {
    {.name = L"caption", .number = kCaption, .kind = Kind::TransparentLabel, .x = 20, .y = 20, .width = 150,
     .height = 40, .text = L"WWWW", .font = kBig, .text_colour = tk::rgb(0, 0, 0), .v_align = tk::VAlign::Centre},
    {.name = L"striped", .number = kStriped, .kind = Kind::PictureBox, .x = 0, .y = 0, .width = 200, .height = 120,
     .back_colour = tk::rgb(255, 0, 255), .picture = &stripes},
    {.name = L"natural", .number = kNatural, .kind = Kind::PictureBox, .x = 210, .y = 0, .width = 60, .height = 40,
     .back_colour = tk::rgb(0, 0, 255), .picture = &red_block},
    {.name = L"stretched", .number = kStretched, .kind = Kind::PictureBox, .x = 280, .y = 0, .width = 60,
     .height = 40, .back_colour = tk::rgb(0, 0, 0), .border = true, .picture = &quadrants,
     .picture_mode = tk::PictureMode::Stretch},
    {.name = L"empty", .number = kEmpty, .kind = Kind::PictureBox, .x = 210, .y = 50, .width = 60, .height = 40,
     .back_colour = tk::rgb(0, 200, 0), .picture = &red_block, .picture_mode = tk::PictureMode::Stretch},
    {.name = L"alpha", .number = kAlpha, .kind = Kind::PictureBox, .x = 280, .y = 50, .width = 40, .height = 40,
     .back_colour = tk::rgb(0, 255, 0)},
    {.name = L"opaque", .number = kOpaque, .kind = Kind::Label, .x = 210, .y = 100, .width = 80, .height = 20,
     .back_colour = tk::rgb(255, 128, 0)},
};

constexpr tk::WindowLayout kDrawLayout{.number = kDraw, .title = L"toolkit drawing", .outer_width = 400,
                                       .outer_height = 300, .back_colour = tk::rgb(40, 40, 40),
                                       .background = &tile, .background_mode = tk::Background::Tile,
                                       .controls = kDrawControls};

class ToolkitDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tk::initialise(); }
    void SetUp() override {
        window_ = tk::create_window(kDrawLayout);
        ASSERT_TRUE(window_);
        support::flush_events(200);
    }
    void TearDown() override {
        tk::destroy_window(kDraw);
        support::flush_events(20);
    }
    // The window's client area as shown, after pending painting.
    support::Pixels shot() {
        support::flush_events(100);
        return support::capture_client(window_);
    }
    HWND window_ = nullptr;
};

// A thin border is drawn in the window-frame colour.
std::uint32_t border_colour() {
    const COLORREF c = GetSysColor(COLOR_WINDOWFRAME);
    return support::rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool near(std::uint32_t a, std::uint32_t b, int tolerance = 24) { return support::near(a, b, tolerance); }

TEST_F(ToolkitDrawing, PictureBoxesDrawTheirPictureOverTheirBackColour) {
    const std::uint8_t five[] = {'G', 'I', 'F', '8', '9'};
    tk::set_picture(kDraw, kEmpty, five);
    const std::vector<std::uint8_t> icon(pictures::program_icon().bytes().begin(),
                                         pictures::program_icon().bytes().end());
    tk::set_picture(kDraw, kAlpha, icon);
    const support::Pixels p = shot();
    ASSERT_FALSE(p.empty());

    struct Probe {
        const char* what;
        int x, y;
        std::uint32_t colour;
    };
    const Probe probes[] = {
        // natural size at the top-left, cut at the picture's edges
        {"natural inside", 215, 5, kRed},   {"natural last", 229, 9, kRed},
        {"natural right", 230, 5, kBlue},   {"natural below", 215, 10, kBlue},
        {"natural corner", 269, 39, kBlue},
        // stretched inside a one-pixel border
        {"border", 280, 0, border_colour()},        {"stretched red", 281 + 12, 1 + 8, kRed},
        {"stretched green", 281 + 45, 1 + 8, kGreen}, {"stretched blue", 281 + 12, 1 + 28, kBlue},
        {"stretched white", 281 + 45, 1 + 28, kWhite},
        // the label's own back colour under an empty text
        {"opaque label", 250, 110, 0xFF8000},
        // the window's background tiled from the corner in the picture's steps
        {"tile origin", 0, 150, kRed},       {"tile next", 10, 160, kRed},  {"tile far", 390, 250, kRed},
        {"tile inside", 5, 155, kGreen},     {"tile edge", 1, 150, kGreen},
    };
    for (const Probe& probe : probes)
        EXPECT_TRUE(near(p.at(probe.x, probe.y), probe.colour, 40))
            << probe.what << ": " << std::hex << p.at(probe.x, probe.y);

    // Five bytes are no picture: the whole box is its back colour.
    int off = 0;
    for (int y = 50; y < 90; ++y)
        for (int x = 210; x < 270; ++x) off += !near(p.at(x, y), 0x00C800, 4);
    EXPECT_EQ(off, 0);

    // Transparent pixels of the icon show the back colour; opaque ones the icon.
    const auto decoded = pic::decode_still(icon);
    ASSERT_TRUE(decoded && !decoded->alpha.empty());
    int clear = 0, solid = 0;
    for (int y = 0; y < decoded->height; ++y)
        for (int x = 0; x < decoded->width; ++x) {
            const std::uint8_t a = decoded->alpha[std::size_t(y) * decoded->width + x];
            const std::uint8_t* px = decoded->row(y) + 3 * x;
            const std::uint32_t shown = p.at(280 + x, 50 + y);
            if (a == 0) {
                ++clear;
                EXPECT_TRUE(near(shown, kGreen, 4)) << x << "," << y;
            } else if (a == 255) {
                ++solid;
                EXPECT_TRUE(near(shown, support::rgb(px[2], px[1], px[0]), 4)) << x << "," << y;
            }
        }
    EXPECT_GT(clear, 0);
    EXPECT_GT(solid, 0);
}

// How the caption's rectangle compares with the striped picture beneath.
struct Coverage {
    int picture = 0;  // pixels that show the picture exactly
    int dark = 0;     // text pixels
    int other = 0;
    int total = 0;
};
Coverage coverage(const support::Pixels& p, RECT r) {
    Coverage c;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const std::uint32_t v = p.at(x, y);
            ++c.total;
            if (near(v, stripes_at(x, y), 6)) ++c.picture;
            else if ((v >> 16 & 0xFF) < 90 && (v >> 8 & 0xFF) < 90 && (v & 0xFF) < 90) ++c.dark;
            else ++c.other;
        }
    return c;
}

TEST_F(ToolkitDrawing, TransparentLabelShowsThePictureBetweenItsLettersAndLeavesNoTrace) {
    const RECT first{20, 20, 170, 60};
    Coverage c = coverage(shot(), first);
    EXPECT_GT(c.dark, 60) << "the text is drawn";
    EXPECT_GT(c.picture, c.total / 2) << "the picture shows between the letters";

    tk::set_text(kDraw, kCaption, L"");
    c = coverage(shot(), first);
    EXPECT_EQ(c.picture, c.total) << "an empty text draws nothing";

    tk::set_text(kDraw, kCaption, L"I");
    const Coverage narrow = coverage(shot(), first);
    EXPECT_GT(narrow.dark, 5);
    EXPECT_LT(narrow.dark + narrow.other, c.total / 8) << "nothing left of the wider old text";

    tk::set_text(kDraw, kCaption, L"WWWW");
    SetWindowPos(tk::native_handle(kDraw, kCaption), nullptr, 20, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const support::Pixels moved = shot();
    c = coverage(moved, first);
    EXPECT_EQ(c.picture, c.total) << "the old place shows the picture only";
    c = coverage(moved, RECT{20, 70, 170, 110});
    EXPECT_GT(c.dark, 60);
    EXPECT_GT(c.picture, c.total / 2);
}

// A caption straddling a picture box and a group box below it.
constexpr tk::WindowNumber kStraddle = 0x520100b3;
constexpr ControlNumber kOverBoth = 0x16010051, kUnderBox = 0x16010052, kUnderGroup = 0x16010053;
constexpr ControlLayout kStraddleControls[] = {
    {.name = L"over", .number = kOverBoth, .kind = Kind::TransparentLabel, .x = 20, .y = 80, .width = 150,
     .height = 60, .text = L"WWWW", .font = kBig, .text_colour = tk::rgb(0, 0, 0), .v_align = tk::VAlign::Bottom},
    {.name = L"group", .number = kUnderGroup, .kind = Kind::GroupBox, .x = 0, .y = 110, .width = 200,
     .height = 80, .text = L"组", .back_colour = tk::rgb(255, 255, 255)},
    {.name = L"box", .number = kUnderBox, .kind = Kind::PictureBox, .x = 0, .y = 0, .width = 200, .height = 100,
     .picture = &stripes},
};
constexpr tk::WindowLayout kStraddleLayout{.number = kStraddle, .title = L"toolkit straddle", .outer_width = 260,
                                           .outer_height = 260, .back_colour = tk::rgb(40, 40, 40),
                                           .controls = kStraddleControls};

TEST(ToolkitStraddle, ALabelOverAPictureAndAGroupShowsBothBeneathIt) {
    tk::initialise();
    HWND window = tk::create_window(kStraddleLayout);
    ASSERT_TRUE(window);
    support::flush_events(200);
    const support::Pixels p = support::capture_client(window);
    ASSERT_FALSE(p.empty());
    // Above the text (bottom-aligned, in the group's part) only the picture.
    const Coverage top = coverage(p, RECT{20, 80, 170, 100});
    EXPECT_EQ(top.picture, top.total);
    // The group's white back colour shows between the letters lower down.
    int white = 0, dark = 0;
    for (int y = 112; y < 140; ++y)
        for (int x = 22; x < 168; ++x) {
            const std::uint32_t v = p.at(x, y);
            white += near(v, kWhite, 6);
            dark += (v >> 16 & 0xFF) < 90 && (v & 0xFF) < 90;
        }
    EXPECT_GT(dark, 60);
    EXPECT_GT(white, 146 * 28 / 3);
    tk::destroy_window(kStraddle);
}

// --- animation ---------------------------------------------------------------

constexpr tk::WindowNumber kAnim = 0x520100b2;
constexpr ControlNumber kPlayer = 0x16010041;
constexpr ControlLayout kAnimControls[] = {
    {.name = L"player", .number = kPlayer, .kind = Kind::PictureBox, .x = 10, .y = 10, .width = 40, .height = 40,
     .picture = &animation_source, .picture_mode = tk::PictureMode::Stretch, .animate = true},
};
constexpr tk::WindowLayout kAnimLayout{.number = kAnim, .title = L"toolkit animation", .outer_width = 200,
                                       .outer_height = 150, .controls = kAnimControls};

int thread_count() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 t{};
    t.dwSize = sizeof t;
    int n = 0;
    for (BOOL ok = Thread32First(snap, &t); ok; ok = Thread32Next(snap, &t))
        n += t.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snap);
    return n;
}

TEST(ToolkitAnimation, FramesAdvanceWithTheirDelaysForeverAndTheThreadStops) {
    tk::initialise();
    HWND window = tk::create_window(kAnimLayout);
    ASSERT_TRUE(window);
    ASSERT_TRUE(tk::testing::animating(kAnim, kPlayer));

    // Watch the shown frame for several rounds.
    struct Change {
        int frame;
        ULONGLONG at;
    };
    std::vector<Change> changes;
    int last = tk::testing::shown_frame(kAnim, kPlayer);
    const ULONGLONG end = GetTickCount64() + 2800;
    int pixel_checks = 0, pixel_mismatches = 0;
    while (GetTickCount64() < end) {
        support::flush_events(2);
        const int now = tk::testing::shown_frame(kAnim, kPlayer);
        if (now != last) {
            changes.push_back({now, GetTickCount64()});
            last = now;
            // Halfway into the frame the box shows that frame's colour.
        } else if (!changes.empty() && GetTickCount64() - changes.back().at > 20 && pixel_checks < 12) {
            const support::Pixels p = support::capture_client(tk::native_handle(kAnim, kPlayer));
            if (tk::testing::shown_frame(kAnim, kPlayer) == now && !p.empty()) {
                ++pixel_checks;
                const std::uint32_t expected[] = {kRed, kGreen, kBlue};
                pixel_mismatches += !near(p.at(20, 20), expected[now], 8);
            }
        }
    }
    ASSERT_GE(changes.size(), 10u);
    std::map<int, std::vector<int>> shown_for;
    int wraps = 0;
    for (std::size_t i = 1; i < changes.size(); ++i) {
        EXPECT_EQ(changes[i].frame, (changes[i - 1].frame + 1) % 3) << "change " << i;
        shown_for[changes[i - 1].frame].push_back(int(changes[i].at - changes[i - 1].at));
        wraps += changes[i].frame == 0;
    }
    EXPECT_GE(wraps, 3) << "plays on past the file's repeat count";
    const int expected_ms[] = {100, 50, 300};
    for (int f = 0; f < 3; ++f) {
        auto& d = shown_for[f];
        ASSERT_FALSE(d.empty());
        std::sort(d.begin(), d.end());
        const int median = d[d.size() / 2];
        EXPECT_GE(median, expected_ms[f] * 8 / 10 - 5) << "frame " << f;
        EXPECT_LE(median, expected_ms[f] * 3 / 2 + 40) << "frame " << f;
    }
    EXPECT_GT(pixel_checks, 3);
    EXPECT_LE(pixel_mismatches, 1);

    // A still picture stops the thread; an animated one starts one again.
    const int running = thread_count();
    const Bytes still = bmp(4, 4, [](int, int) { return kWhite; });
    tk::set_picture(kAnim, kPlayer, still);
    EXPECT_FALSE(tk::testing::animating(kAnim, kPlayer));
    EXPECT_TRUE(support::wait_until([&] { return thread_count() == running - 1; }, 2000)) << thread_count();
    const int frame = tk::testing::shown_frame(kAnim, kPlayer);
    support::flush_events(400);
    EXPECT_EQ(tk::testing::shown_frame(kAnim, kPlayer), frame);

    tk::set_picture(kAnim, kPlayer, animation());
    EXPECT_TRUE(tk::testing::animating(kAnim, kPlayer));
    EXPECT_TRUE(support::wait_until([&] { return thread_count() == running; }, 2000)) << thread_count();
    tk::destroy_window(kAnim);
    EXPECT_TRUE(support::wait_until([&] { return thread_count() == running - 1; }, 2000)) << thread_count();
}

}  // namespace
