#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/picture/image.h"

namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& f, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, &f[at], 4);
    return v;
}
std::uint16_t u16(const std::vector<std::uint8_t>& f, std::size_t at) {
    return std::uint16_t(f[at] | f[at + 1] << 8);
}

pic::Image pattern(int w, int h) {
    pic::Image im;
    EXPECT_TRUE(im.allocate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) im.row(y)[3 * x + c] = std::uint8_t(x * 7 + y * 31 + c * 101);
    return im;
}

TEST(BmpWriter, HeaderFields) {
    struct Size {
        int w, h;
        std::uint32_t stride;
    };
    for (const Size s : {Size{184, 200, 552}, Size{1, 1, 4}, Size{3, 2, 12}, Size{5, 3, 16}, Size{4, 1, 12}}) {
        const auto f = pic::write_bmp24(pattern(s.w, s.h));
        const std::uint32_t image_size = s.stride * std::uint32_t(s.h);
        ASSERT_EQ(f.size(), 54 + image_size) << s.w;
        EXPECT_EQ(f[0], 'B');
        EXPECT_EQ(f[1], 'M');
        const struct {
            std::size_t at;
            std::uint32_t want;
        } fields32[] = {{2, 54 + image_size}, {6, 0}, {10, 54}, {14, 40}, {18, std::uint32_t(s.w)},
                        {22, std::uint32_t(s.h)}, {30, 0}, {34, image_size}, {38, 0}, {42, 0}, {46, 0}, {50, 0}};
        for (const auto& field : fields32) EXPECT_EQ(u32(f, field.at), field.want) << "offset " << field.at;
        EXPECT_EQ(u16(f, 26), 1);
        EXPECT_EQ(u16(f, 28), 24);
    }
    EXPECT_EQ(pic::write_bmp24(pattern(184, 200)).size(), 552u * 200 + 54);
}

TEST(BmpWriter, RowsBottomFirstWithZeroPadding) {
    const pic::Image im = pattern(5, 3);  // 15 bytes of pixels, 1 of padding a row
    const auto f = pic::write_bmp24(im);
    for (int file_row = 0; file_row < 3; ++file_row) {
        const std::uint8_t* stored = f.data() + 54 + 16 * file_row;
        EXPECT_EQ(std::memcmp(stored, im.row(2 - file_row), 15), 0) << file_row;
        EXPECT_EQ(stored[15], 0) << file_row;
    }
}

TEST(BmpWriter, PaddingIsZeroEvenWhenTheImageHoldsJunkThere) {
    pic::Image im = pattern(1, 2);
    for (int y = 0; y < 2; ++y) im.row(y)[3] = 0xEE;  // the image's own padding byte
    const auto f = pic::write_bmp24(im);
    EXPECT_EQ(f[54 + 3], 0);
    EXPECT_EQ(f[54 + 7], 0);
}

TEST(BmpWriter, DecodesBackToTheSamePixels) {
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 3}, {37, 23}, {64, 5}}) {
        const pic::Image im = pattern(w, h);
        const auto back = pic::decode_bmp(pic::write_bmp24(im));
        ASSERT_TRUE(back);
        ASSERT_EQ(back->width, w);
        ASSERT_EQ(back->height, h);
        for (int y = 0; y < h; ++y) EXPECT_EQ(std::memcmp(back->row(y), im.row(y), 3 * std::size_t(w)), 0) << y;
        EXPECT_EQ(pic::recognise(pic::write_bmp24(im)), pic::Format::Bmp);
    }
}

}  // namespace
