#include <gtest/gtest.h>

#include <cstring>

#include "tests/native/picture_fixtures.h"
#include "toolkit/picture/image.h"

namespace {

using picture_test::fixture;
using picture_test::same_pixels;
using picture_test::to_raw;

struct IconCase {
    const char* file;
    int size;
    pic::Format format;
};

class IconFixture : public ::testing::TestWithParam<IconCase> {};

// Colours and transparency against ImageMagick's reading of the same entry.
TEST_P(IconFixture, MatchesReferencePixels) {
    const IconCase& c = GetParam();
    const std::string name = c.file;
    const auto data = fixture(name);
    ASSERT_FALSE(data.empty()) << name;
    EXPECT_EQ(pic::recognise(data), c.format);
    const auto image = pic::decode_icon(data);
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->width, c.size);
    EXPECT_EQ(image->height, c.size);
    ASSERT_EQ(image->alpha.size(), std::size_t(c.size) * std::size_t(c.size));
    const std::string ref = name.substr(0, name.rfind('.')) + ".rgba";
    EXPECT_TRUE(same_pixels(to_raw(*image, true), fixture(ref), c.size, 4)) << name;
}

INSTANTIATE_TEST_SUITE_P(Entries, IconFixture,
                         ::testing::Values(IconCase{"icon/alpha32.ico", 32, pic::Format::Icon},
                                           IconCase{"icon/mask24.ico", 32, pic::Format::Icon},
                                           IconCase{"icon/mask32_noalpha.ico", 32, pic::Format::Icon},
                                           IconCase{"icon/pal4.ico", 32, pic::Format::Icon},
                                           IconCase{"icon/multi.ico", 32, pic::Format::Icon},
                                           IconCase{"icon/no32.ico", 20, pic::Format::Icon},
                                           IconCase{"cursor/pointer.cur", 32, pic::Format::Cursor}));

TEST(Icon, AlphaComesFromTheRightSource) {
    // Real alpha: several levels. AND mask only: nothing but 0 and 255.
    const auto real = pic::decode_icon(fixture("icon/alpha32.ico"));
    ASSERT_TRUE(real);
    int levels[256] = {};
    for (std::uint8_t a : real->alpha) levels[a] = 1;
    int distinct = 0;
    for (int v : levels) distinct += v;
    EXPECT_GT(distinct, 10);

    for (const char* masked : {"icon/mask24.ico", "icon/mask32_noalpha.ico"}) {
        const auto image = pic::decode_icon(fixture(masked));
        ASSERT_TRUE(image) << masked;
        std::size_t clear = 0;
        for (std::uint8_t a : image->alpha) {
            EXPECT_TRUE(a == 0 || a == 255) << masked;
            clear += a == 0;
        }
        // The mask leaves the corners outside a circle transparent.
        EXPECT_GT(clear, 100u) << masked;
        EXPECT_LT(clear, 400u) << masked;
        EXPECT_EQ(image->alpha[0], 0) << masked;
        EXPECT_EQ(image->alpha[16 * 32 + 16], 255) << masked;
    }
}

TEST(Icon, DecodeAnyTakesIconsAndCursors) {
    for (const char* f : {"icon/multi.ico", "cursor/pointer.cur"}) {
        const auto a = pic::decode_any(fixture(f));
        ASSERT_TRUE(a) << f;
        ASSERT_EQ(a->frames.size(), 1u);
        EXPECT_EQ(a->width, 32);
        EXPECT_EQ(a->frames[0].delay_cs, 0);
    }
}

// Directory of 32 x 32 entries, one per image, images in the given order.
std::vector<std::uint8_t> icon_of(const std::vector<std::vector<std::uint8_t>>& images) {
    std::vector<std::uint8_t> f = {0, 0, 1, 0, std::uint8_t(images.size()), 0};
    std::uint32_t at = std::uint32_t(6 + 16 * images.size());
    for (const auto& im : images) {
        const std::uint32_t size = std::uint32_t(im.size());
        const std::uint8_t entry[16] = {32, 32, 0, 0, 1, 0, 32, 0,
                                        std::uint8_t(size), std::uint8_t(size >> 8), 0, 0,
                                        std::uint8_t(at), std::uint8_t(at >> 8), 0, 0};
        f.insert(f.end(), entry, entry + 16);
        at += size;
    }
    for (const auto& im : images) f.insert(f.end(), im.begin(), im.end());
    return f;
}

TEST(Icon, RefusesWhatItCannotRead) {
    auto good = fixture("icon/mask24.ico");
    ASSERT_TRUE(pic::decode_icon(good));
    auto no_entries = good;
    no_entries[4] = 0;
    EXPECT_FALSE(pic::decode_icon(no_entries));
    auto offset_past_end = good;
    offset_past_end[18] = 0xFF;
    offset_past_end[19] = 0xFF;
    EXPECT_FALSE(pic::decode_icon(offset_past_end));
    auto cut = good;
    cut.resize(6 + 16 + 40 + 32 * 96 - 1);  // colour rows one byte short
    EXPECT_FALSE(pic::decode_icon(cut));
    auto negative_height = good;
    negative_height[22 + 8 + 3] = 0xFF;
    EXPECT_FALSE(pic::decode_icon(negative_height));
}

TEST(Icon, BitmapEntryPreferredOverPng) {
    const auto ico = fixture("icon/mask24.ico");
    ASSERT_GT(ico.size(), 22u);
    const std::vector<std::uint8_t> dib(ico.begin() + 22, ico.end());
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    png.resize(100, 0);
    const auto from_file = pic::decode_icon(ico);
    const auto mixed = pic::decode_icon(icon_of({png, dib}));
    ASSERT_TRUE(from_file);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(to_raw(*mixed, true), to_raw(*from_file, true));
    EXPECT_FALSE(pic::decode_icon(icon_of({png})));
}

TEST(Icon, MissingMaskLeavesPixelsOpaque) {
    auto f = fixture("icon/mask24.ico");
    f.resize(6 + 16 + 40 + 32 * 96);  // colours complete, AND mask gone
    const auto image = pic::decode_icon(f);
    ASSERT_TRUE(image);
    for (std::uint8_t a : image->alpha) ASSERT_EQ(a, 255);
}

}  // namespace
