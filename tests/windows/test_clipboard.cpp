// The clipboard hand-over in-process: what lands on the clipboard, who owns
// it, and what happens while another thread holds the clipboard open.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/launcher.h"
#include "pictures/catalogue.h"
#include "pictures/clipboard.h"
#include "tests/windows/clipboard_checks.h"
#include "tests/windows/resources.h"
#include "tests/windows/support.h"
#include "toolkit/picture/image.h"
#include "toolkit/toolkit.h"

namespace {

using clipboard_checks::clipboard_text;
using clipboard_checks::to_pixels;

// Count of pixels that differ; -1 when the sizes differ.
long differing(const support::Pixels& a, const support::Pixels& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    long n = 0;
    for (std::size_t i = 0; i < a.argb.size(); ++i) n += (a.argb[i] & 0xFFFFFF) != (b.argb[i] & 0xFFFFFF);
    return n;
}

void put_text_on_clipboard(const std::wstring& text) {
    ASSERT_TRUE(clipboard_checks::put_text_on_clipboard(text));
}

// The real launcher is the clipboard owner, as in the program. It is never
// destroyed here: its destroy handler ends the process.
class Clipboard : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tk::initialise();
        launcher_ = tk::create_window(app::launcher_layout());
        tk::set_main_window(app::kLauncherWindow);
    }
    void SetUp() override {
        ASSERT_NE(launcher_, nullptr);
        support::flush_events(20);
        put_text_on_clipboard(L"earlier content");
    }

    static inline HWND launcher_ = nullptr;
};

pic::Image bmp_fixture() {
    // Odd width: rows carry padding, and every pixel differs from its neighbours.
    pic::Image image;
    image.allocate(37, 23);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* px = image.row(y) + 3 * x;
            px[0] = std::uint8_t(x * 7);
            px[1] = std::uint8_t(y * 11);
            px[2] = std::uint8_t(x * y + 3);
        }
    return image;
}

TEST_F(Clipboard, BottomUpBmpArrivesWithItsSizeAndPixels) {
    const pic::Image image = bmp_fixture();
    const std::vector<std::uint8_t> bmp = pic::write_bmp24(image);
    ASSERT_EQ(bmp[0], 'B');
    std::int32_t stored_height = 0;
    std::memcpy(&stored_height, &bmp[22], 4);
    ASSERT_GT(stored_height, 0) << "the fixture must store its rows bottom-up";

    pictures::copy_to_clipboard(std::span<const std::uint8_t>(bmp));
    const support::Pixels got = support::clipboard_bitmap();
    ASSERT_EQ(got.width, 37);
    ASSERT_EQ(got.height, 23);
    EXPECT_EQ(differing(got, to_pixels(image)), 0) << "read back after the picture object was released";
}

// Built-in pictures of each format arrive as our decoders see them, unscaled.
struct Case {
    const char* what;
    pictures::ByteSet (*picture)();
    int width, height;
};
class BuiltIn : public Clipboard, public ::testing::WithParamInterface<Case> {};

TEST_P(BuiltIn, ArrivesAsDecoded) {
    const Case& c = GetParam();
    const auto bytes = c.picture().bytes();
    const std::optional<pic::Image> decoded = pic::decode_still(bytes);
    ASSERT_TRUE(decoded);
    pictures::copy_to_clipboard(bytes);
    const support::Pixels got = support::clipboard_bitmap();
    ASSERT_EQ(got.width, c.width);
    ASSERT_EQ(got.height, c.height);
    EXPECT_EQ(differing(got, to_pixels(*decoded)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BuiltIn,
    ::testing::Values(Case{"jpeg_400x400", [] { return pictures::gallery_picture(2); }, 400, 400},
                      Case{"jpeg_180x158", [] { return pictures::gallery_picture(0); }, 180, 158},
                      Case{"bmp_322x441", pictures::template_b, 322, 441},
                      Case{"gif_61x66", [] { return pictures::gallery_picture(6); }, 61, 66}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Clipboard, AnimatedGifGivesItsFirstFrameOnly) {
    const auto bytes = pictures::gallery_picture(6).bytes();
    const std::optional<pic::Animation> animation = pic::decode_gif(bytes);
    ASSERT_TRUE(animation);
    ASSERT_EQ(animation->frames.size(), 2u);
    const support::Pixels first = to_pixels(animation->frames[0].image);
    const support::Pixels second = to_pixels(animation->frames[1].image);
    ASSERT_GT(differing(first, second), 0) << "the two frames must differ for this test to mean anything";

    pictures::copy_to_clipboard(bytes);
    const support::Pixels got = support::clipboard_bitmap();
    ASSERT_EQ(got.width, 61);
    ASSERT_EQ(got.height, 66);
    EXPECT_EQ(differing(got, first), 0);
}

TEST_F(Clipboard, IconIsDrawnOverWhiteAtItsOwnSize) {
    pictures::copy_to_clipboard(pictures::program_icon());
    const support::Pixels got = support::clipboard_bitmap();
    ASSERT_EQ(got.width, 32);
    ASSERT_EQ(got.height, 32);
    const std::optional<pic::Image> icon = pic::decode_icon(pictures::program_icon().bytes());
    ASSERT_TRUE(icon);
    // Fully transparent pixels show the white beneath; opaque ones their colour.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const std::uint8_t* px = icon->row(y) + 3 * x;
            const int alpha = icon->alpha.empty() ? 255 : icon->alpha[std::size_t(y) * 32 + x];
            if (alpha == 0) {
                EXPECT_EQ(got.at(x, y), 0xFFFFFFu) << x << "," << y;
            } else if (alpha == 255) {
                EXPECT_EQ(got.at(x, y), support::rgb(px[2], px[1], px[0])) << x << "," << y;
            }
        }
}

TEST_F(Clipboard, SecondHandOverReplacesTheFirst) {
    pictures::copy_to_clipboard(pictures::gallery_picture(0));
    pictures::copy_to_clipboard(pictures::gallery_picture(4));
    const support::Pixels got = support::clipboard_bitmap();
    const std::optional<pic::Image> second = pic::decode_jpeg(pictures::gallery_picture(4).bytes());
    ASSERT_TRUE(second);
    EXPECT_EQ(differing(got, to_pixels(*second)), 0);
    EXPECT_FALSE(clipboard_text()) << "the earlier text must be gone";
}

// Data that is no picture still empties the clipboard.
TEST_F(Clipboard, NoPictureEmptiesTheClipboard) {
    const std::vector<std::uint8_t> jpeg_head{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
    const std::vector<std::uint8_t> five{'B', 'M', 0, 0, 0};
    const std::vector<std::uint8_t> unknown(64, 0x5A);
    struct Bad {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    for (const Bad& bad : {Bad{"empty", {}}, Bad{"five bytes", five}, Bad{"unknown format", unknown},
                           Bad{"broken jpeg", jpeg_head}}) {
        SCOPED_TRACE(bad.what);
        pictures::copy_to_clipboard(pictures::gallery_picture(3));
        ASSERT_FALSE(support::clipboard_bitmap().empty());
        put_text_on_clipboard(L"earlier content");

        pictures::copy_to_clipboard(std::span<const std::uint8_t>(bad.bytes));
        EXPECT_FALSE(clipboard_text());
        EXPECT_TRUE(support::clipboard_bitmap().empty());
        EXPECT_EQ(GetClipboardOwner(), launcher_);
    }
}

TEST_F(Clipboard, TheLauncherOwnsItAlsoWhileHidden) {
    tk::set_visible(app::kLauncherWindow, false);
    support::flush_events(20);
    pictures::copy_to_clipboard(pictures::gallery_picture(1));
    EXPECT_EQ(GetClipboardOwner(), launcher_);
    EXPECT_EQ(support::clipboard_bitmap().width, 199);
    tk::set_visible(app::kLauncherWindow, true);
}

// Another thread opens the clipboard, says so, and closes it after `hold_ms`.
class Holder {
public:
    explicit Holder(int hold_ms) {
        thread_ = std::thread([this, hold_ms] {
            if (!OpenClipboard(nullptr)) {
                opened_ = -1;
                return;
            }
            opened_ = 1;
            Sleep(DWORD(hold_ms));
            closing_ = true;
            CloseClipboard();
        });
        while (opened_ == 0) Sleep(1);
    }
    ~Holder() { thread_.join(); }
    bool holding() const { return opened_ == 1 && !closing_; }

private:
    std::atomic<int> opened_{0};
    std::atomic<bool> closing_{false};
    std::thread thread_;
};

TEST_F(Clipboard, ABriefHolderIsWaitedFor) {
    {
        Holder holder(30);
        ASSERT_TRUE(holder.holding());
        pictures::copy_to_clipboard(pictures::gallery_picture(7));
    }
    const support::Pixels got = support::clipboard_bitmap();
    EXPECT_EQ(got.width, 119);
    EXPECT_EQ(got.height, 122);
    EXPECT_FALSE(clipboard_text());
}

TEST_F(Clipboard, ALongHolderKeepsTheEarlierContentAndLeaksNothing) {
    // A first hand-over settles whatever the clipboard and OLE create once.
    pictures::copy_to_clipboard(pictures::gallery_picture(0));
    put_text_on_clipboard(L"earlier content");
    const long gdi_before = resources::gdi_objects();
    {
        Holder holder(1000);
        ASSERT_TRUE(holder.holding());
        pictures::copy_to_clipboard(pictures::gallery_picture(8));
        EXPECT_TRUE(holder.holding()) << "the hand-over gives up rather than wait for the holder";
        if (gdi_before >= 0) {
            EXPECT_EQ(resources::gdi_objects(), gdi_before) << "the refused bitmap must be destroyed";
        }
    }
    EXPECT_EQ(clipboard_text(), L"earlier content");
    EXPECT_TRUE(support::clipboard_bitmap().empty());
}

// The accepted bitmap outlives the picture object: it lives on, as the
// clipboard's, until the clipboard is emptied, which frees it.
TEST_F(Clipboard, TheAcceptedBitmapBelongsToTheClipboard) {
    if (resources::gdi_objects() < 0) GTEST_SKIP() << "no way to count GDI objects here";
    pictures::copy_to_clipboard(pictures::gallery_picture(5));  // settles one-off allocations
    put_text_on_clipboard(L"earlier content");
    const long before = resources::gdi_objects();
    pictures::copy_to_clipboard(pictures::gallery_picture(5));
    EXPECT_EQ(resources::gdi_objects(), before + 1) << "the bitmap must survive the picture object's release";
    put_text_on_clipboard(L"later content");
    EXPECT_EQ(resources::gdi_objects(), before) << "emptying the clipboard frees it";
}

TEST_F(Clipboard, RepeatedHandOversKeepOneBitmap) {
    const long before_check = resources::gdi_objects();
    if (before_check < 0) GTEST_SKIP() << "no way to count GDI objects here";
    // The counter itself must see a bitmap come and go.
    HBITMAP probe = CreateBitmap(4, 4, 1, 32, nullptr);
    ASSERT_EQ(resources::gdi_objects(), before_check + 1);
    DeleteObject(probe);

    pictures::copy_to_clipboard(pictures::gallery_picture(5));
    const long after_one = resources::gdi_objects();
    for (int i = 0; i < 40; ++i) pictures::copy_to_clipboard(pictures::gallery_picture(i % 30));
    pictures::copy_to_clipboard(pictures::gallery_picture(5));
    EXPECT_EQ(resources::gdi_objects(), after_one);
}

}  // namespace
