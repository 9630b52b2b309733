#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "tests/native/picture_fixtures.h"
#include "toolkit/picture/image.h"

namespace {

using picture_test::fixture;
using picture_test::same_pixels;
using picture_test::to_raw;

class BmpFixture : public ::testing::TestWithParam<const char*> {};

// Each file against ImageMagick's reading of it.
TEST_P(BmpFixture, MatchesReferencePixels) {
    const std::string name = std::string("bmp/") + GetParam();
    const auto data = fixture(name + ".bmp");
    ASSERT_FALSE(data.empty()) << name;
    const auto image = pic::decode_bmp(data);
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->width, 37);
    EXPECT_EQ(image->height, 23);
    EXPECT_TRUE(image->alpha.empty());
    EXPECT_EQ(image->bgr.size(), image->stride() * 23);
    EXPECT_TRUE(same_pixels(to_raw(*image, false), fixture(name + ".rgb"), 37, 3)) << name;
}

INSTANTIATE_TEST_SUITE_P(Layouts, BmpFixture,
                         ::testing::Values("rgb24", "rgb24_topdown", "rgb24_v5", "pal8", "pal8_gap",
                                           "pal8_core12", "pal4", "pal1", "rgb32_h40", "bitfields32_h40",
                                           "bitfields32_h56", "bitfields32_h108", "bitfields32_v5",
                                           "rgb565_h52", "rgb565_v5", "rgb555_v5"));

// A tiny 24-bit file built in the test, for the cases the fixtures don't show.
std::vector<std::uint8_t> tiny_bmp(int w, int h, int bpp, std::uint32_t compression = 0) {
    const std::size_t stride = ((std::size_t(bpp) * std::size_t(std::abs(w)) + 31) / 32) * 4;
    const std::size_t palette = bpp <= 8 ? (std::size_t(4) << bpp) : 0;
    std::vector<std::uint8_t> f(54 + palette + stride * std::size_t(std::abs(h)), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, std::uint32_t(f.size()));
    put32(10, std::uint32_t(54 + palette));
    put32(14, 40);
    put32(18, std::uint32_t(w));
    put32(22, std::uint32_t(h));
    f[26] = 1;
    f[28] = std::uint8_t(bpp);
    put32(30, compression);
    return f;
}

TEST(Bmp, RowOrderFollowsTheHeightSign) {
    // 1 x 2, 24 bits: the first stored row is the bottom one unless height < 0.
    for (int h : {2, -2}) {
        auto f = tiny_bmp(1, h, 24);
        f[54 + 2] = 0xAA;       // first stored row: red
        f[54 + 4 + 0] = 0xBB;   // second stored row: blue
        const auto image = pic::decode_bmp(f);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->height, 2);
        const int first_stored = h > 0 ? 1 : 0;
        EXPECT_EQ(image->row(first_stored)[2], 0xAA) << h;
        EXPECT_EQ(image->row(1 - first_stored)[0], 0xBB) << h;
    }
}

TEST(Bmp, IndexBeyondTheColourTableIsBlack) {
    auto f = tiny_bmp(2, 1, 8);
    // Declare 2 colours; point the pixels at them and one past them.
    const std::uint32_t used = 2;
    std::memcpy(&f[46], &used, 4);
    f[54] = 10; f[55] = 20; f[56] = 30;      // colour 0
    f[58] = 40; f[59] = 50; f[60] = 60;      // colour 1
    f[62] = 0xFF; f[63] = 0xFF; f[64] = 0xFF; // would be colour 2, but not declared
    const std::size_t px = 54 + 1024;
    f[px] = 1;
    f[px + 1] = 2;
    const auto image = pic::decode_bmp(f);
    ASSERT_TRUE(image);
    const std::uint8_t* row = image->row(0);
    EXPECT_EQ(row[0], 40);
    EXPECT_EQ(row[1], 50);
    EXPECT_EQ(row[2], 60);
    EXPECT_EQ(row[3] | row[4] | row[5], 0);
}

TEST(Bmp, LastRowMayLackItsPadding) {
    auto f = tiny_bmp(1, 2, 24);
    f.resize(f.size() - 1);  // 1 pixel rows carry one byte of padding
    EXPECT_TRUE(pic::decode_bmp(f));
    f.resize(f.size() - 1);  // now a pixel byte is missing
    EXPECT_FALSE(pic::decode_bmp(f));
}

TEST(Bmp, RefusesWhatItCannotRead) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> data;
    };
    auto with32 = [](std::vector<std::uint8_t> f, std::size_t at, std::uint32_t v) {
        std::memcpy(&f[at], &v, 4);
        return f;
    };
    const auto good = tiny_bmp(4, 4, 24);
    const Case cases[] = {
        {"run-length 8", tiny_bmp(4, 4, 8, 1)},
        {"run-length 4", tiny_bmp(4, 4, 4, 2)},
        {"embedded jpeg", tiny_bmp(4, 4, 24, 4)},
        {"bitfields on 24 bits", tiny_bmp(4, 4, 24, 3)},
        {"zero width", tiny_bmp(0, 4, 24)},
        {"negative width", with32(good, 18, std::uint32_t(-4))},
        {"zero height", with32(good, 22, 0)},
        {"most negative height", with32(good, 22, std::uint32_t(INT_MIN))},
        {"2 bits per pixel", tiny_bmp(4, 4, 2)},
        {"width beyond the limit", with32(good, 18, pic::kMaxSide + 1)},
        {"pixels past the end", with32(good, 10, std::uint32_t(good.size()))},
        {"absurd pixel offset", with32(good, 10, 0xFFFFFFF0u)},
        {"unknown header size", with32(good, 14, 41)},
        {"header longer than the file", with32(good, 14, 124)},
        {"huge but empty", with32(with32(good, 18, 16000), 22, 16000)},
    };
    EXPECT_TRUE(pic::decode_bmp(good));
    for (const Case& c : cases) EXPECT_FALSE(pic::decode_bmp(c.data)) << c.what;
}

TEST(Bmp, ZeroPixelOffsetMeansRightAfterTheColourTable) {
    auto f = tiny_bmp(1, 1, 8);
    std::memset(&f[10], 0, 4);
    f[54 + 4 * 7 + 2] = 0x99;  // colour 7's red
    f[54 + 1024] = 7;
    const auto image = pic::decode_bmp(f);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->row(0)[2], 0x99);
}

}  // namespace
