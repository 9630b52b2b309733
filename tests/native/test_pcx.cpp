#include <gtest/gtest.h>

#include "tests/native/picture_fixtures.h"
#include "toolkit/picture/image.h"

namespace {

using picture_test::fixture;
using picture_test::same_pixels;
using picture_test::to_raw;

class PcxFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(PcxFixture, MatchesReferencePixels) {
    const std::string name = std::string("pcx/") + GetParam();
    const auto data = fixture(name + ".pcx");
    ASSERT_FALSE(data.empty()) << name;
    EXPECT_EQ(pic::recognise(data), pic::Format::Pcx) << name;
    const auto image = pic::decode_pcx(data);
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->width, 37);
    EXPECT_EQ(image->height, 23);
    EXPECT_TRUE(same_pixels(to_raw(*image, false), fixture(name + ".rgb"), 37, 3)) << name;
}

INSTANTIATE_TEST_SUITE_P(Layouts, PcxFixture, ::testing::Values("rgb24", "pal8", "mono", "planar16"));

// A 1-plane 8-bit header with the given size and bytes per line.
std::vector<std::uint8_t> header(int w, int h, int line, int planes = 1, int bits = 8) {
    std::vector<std::uint8_t> f(128, 0);
    f[0] = 0x0A;
    f[1] = 5;
    f[2] = 1;
    f[3] = std::uint8_t(bits);
    f[8] = std::uint8_t(w - 1);
    f[9] = std::uint8_t((w - 1) >> 8);
    f[10] = std::uint8_t(h - 1);
    f[11] = std::uint8_t((h - 1) >> 8);
    f[65] = std::uint8_t(planes);
    f[66] = std::uint8_t(line);
    f[67] = std::uint8_t(line >> 8);
    return f;
}

void add_palette(std::vector<std::uint8_t>& f) {
    f.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
        f.push_back(std::uint8_t(i));
        f.push_back(std::uint8_t(255 - i));
        f.push_back(std::uint8_t(i / 2));
    }
}

TEST(Pcx, RunsMayCrossRowEnds) {
    // 3 x 2 picture with 4 bytes a line: one run covers a row's end and the
    // next row's start.
    auto f = header(3, 2, 4);
    const std::uint8_t body[] = {0x05, 0xC5, 0x09, 0x07, 0x08};  // 5 | 9 9 9 9 9 | 7 8
    f.insert(f.end(), body, body + sizeof body);
    add_palette(f);
    const auto image = pic::decode_pcx(f);
    ASSERT_TRUE(image);
    const int want[2][3] = {{5, 9, 9}, {9, 9, 7}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(image->row(y)[3 * x + 2], want[y][x]) << x << "," << y;
}

TEST(Pcx, ShortStreamLeavesColourZero) {
    auto f = header(2, 3, 2);
    const std::uint8_t body[] = {0x10, 0x20, 0x30};  // first row and a half
    f.insert(f.end(), body, body + sizeof body);
    add_palette(f);
    const auto image = pic::decode_pcx(f);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->row(0)[2], 0x10);
    EXPECT_EQ(image->row(1)[2], 0x30);
    EXPECT_EQ(image->row(1)[5], 0);    // colour 0's red
    EXPECT_EQ(image->row(2)[1], 255);  // colour 0's green
}

TEST(Pcx, RefusesWhatItCannotRead) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> data;
    };
    auto body = [](std::vector<std::uint8_t> f) {
        f.resize(f.size() + 64, 0x01);
        return f;
    };
    auto inverted = header(4, 4, 4);
    inverted[4] = 9;  // left edge past the right one
    const Case cases[] = {
        {"header only", header(4, 4, 4)},
        {"lines narrower than the picture", body(header(8, 2, 4))},
        {"2 planes", body(header(4, 4, 4, 2))},
        {"4 bits in one plane", body(header(4, 4, 4, 1, 4))},
        {"left edge past the right", body(inverted)},
        {"huge size, tiny stream", body(header(16000, 16000, 16000))},
    };
    for (const Case& c : cases) EXPECT_FALSE(pic::decode_pcx(c.data)) << c.what;
    EXPECT_TRUE(pic::decode_pcx(body(header(4, 4, 4))));
}

}  // namespace
