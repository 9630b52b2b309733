#include <gtest/gtest.h>

#include <cstring>

#include "tests/native/picture_fixtures.h"
#include "toolkit/picture/image.h"

namespace {

using picture_test::fixture;
using picture_test::same_pixels;
using picture_test::to_raw;

struct GifCase {
    const char* name;
    int width, height;
    std::vector<int> delays;
    int loop_count;
};

class GifFixture : public ::testing::TestWithParam<GifCase> {};

// Every composed frame against ImageMagick's coalesced frames. Colours under
// full transparency are not shown, so only their alpha is compared.
TEST_P(GifFixture, FramesMatchReference) {
    const GifCase& c = GetParam();
    const std::string name = std::string("gif/") + c.name;
    const auto data = fixture(name + ".gif");
    ASSERT_FALSE(data.empty()) << name;
    const auto anim = pic::decode_gif(data);
    ASSERT_TRUE(anim) << name;
    EXPECT_EQ(anim->width, c.width);
    EXPECT_EQ(anim->height, c.height);
    EXPECT_EQ(anim->loop_count, c.loop_count);
    ASSERT_EQ(anim->frames.size(), c.delays.size());
    const auto ref = fixture(name + ".rgba");
    const std::size_t frame_bytes = std::size_t(c.width) * std::size_t(c.height) * 4;
    ASSERT_EQ(ref.size(), frame_bytes * c.delays.size());
    for (std::size_t i = 0; i < anim->frames.size(); ++i) {
        const pic::Image& im = anim->frames[i].image;
        EXPECT_EQ(anim->frames[i].delay_cs, c.delays[i]) << name << " frame " << i;
        ASSERT_EQ(im.width, c.width);
        ASSERT_EQ(im.height, c.height);
        const std::vector<std::uint8_t> want(ref.begin() + std::ptrdiff_t(i * frame_bytes),
                                             ref.begin() + std::ptrdiff_t((i + 1) * frame_bytes));
        EXPECT_TRUE(same_pixels(to_raw(im, true), want, c.width, 4, true)) << name << " frame " << i;
    }
    // The first frame alone comes out the same.
    const auto first = pic::decode_gif_first(data);
    ASSERT_TRUE(first);
    EXPECT_EQ(to_raw(*first, true), to_raw(anim->frames[0].image, true));
}

// The animations say 2 in their NETSCAPE2.0 block (ImageMagick's -loop 3
// is stored as two repeats); the decoder reports the stored number.
INSTANTIATE_TEST_SUITE_P(Files, GifFixture,
                         ::testing::Values(GifCase{"interlaced_transparent", 37, 23, {0}, 0},
                                           GifCase{"dispose_background", 30, 20, {10, 25, 7, 50}, 2},
                                           GifCase{"dispose_previous", 30, 20, {10, 25, 7, 50}, 2},
                                           GifCase{"local_tables", 24, 16, {20, 30, 40}, 0},
                                           GifCase{"deferred_clear", 160, 120, {0}, 0},
                                           GifCase{"with_clear", 160, 120, {0}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Gif, AlphaPlaneOnlyWhenSomethingIsTransparent) {
    const auto opaque = pic::decode_gif(fixture("gif/with_clear.gif"));
    ASSERT_TRUE(opaque);
    EXPECT_TRUE(opaque->frames[0].image.alpha.empty());
    const auto holed = pic::decode_gif(fixture("gif/interlaced_transparent.gif"));
    ASSERT_TRUE(holed);
    EXPECT_EQ(holed->frames[0].image.alpha.size(), 37u * 23u);
}

TEST(Gif, DecodeAnyGivesEveryFrameAndStillGivesTheFirst) {
    const auto data = fixture("gif/dispose_previous.gif");
    const auto any = pic::decode_any(data);
    ASSERT_TRUE(any);
    EXPECT_EQ(any->frames.size(), 4u);
    const auto still = pic::decode_still(data);
    ASSERT_TRUE(still);
    EXPECT_EQ(to_raw(*still, true), to_raw(any->frames[0].image, true));
}

// Builds a one-image GIF from raw LZW codes, so that the decoder's handling
// of each code can be pinned down exactly.
class GifBuilder {
public:
    GifBuilder(int w, int h, int colour_bits = 1) {
        const std::uint8_t lsd[7] = {std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h), std::uint8_t(h >> 8),
                                     std::uint8_t(0x80 | (colour_bits - 1)), 0, 0};
        bytes_ = {'G', 'I', 'F', '8', '9', 'a'};
        bytes_.insert(bytes_.end(), lsd, lsd + 7);
        for (int i = 0; i < (1 << colour_bits); ++i) {
            bytes_.push_back(std::uint8_t(10 + i));  // red tells the index
            bytes_.push_back(0);
            bytes_.push_back(0);
        }
    }
    GifBuilder& image(int left, int top, int w, int h, int min_size, const std::vector<std::pair<int, int>>& codes,
                      bool interlaced = false) {
        const std::uint8_t desc[10] = {0x2C,
                                       std::uint8_t(left), std::uint8_t(left >> 8),
                                       std::uint8_t(top), std::uint8_t(top >> 8),
                                       std::uint8_t(w), std::uint8_t(w >> 8),
                                       std::uint8_t(h), std::uint8_t(h >> 8),
                                       std::uint8_t(interlaced ? 0x40 : 0)};
        bytes_.insert(bytes_.end(), desc, desc + 10);
        bytes_.push_back(std::uint8_t(min_size));
        std::vector<std::uint8_t> packed;
        std::uint32_t acc = 0;
        int n = 0;
        for (const auto& [code, width] : codes) {
            acc |= std::uint32_t(code) << n;
            n += width;
            while (n >= 8) {
                packed.push_back(std::uint8_t(acc));
                acc >>= 8;
                n -= 8;
            }
        }
        if (n) packed.push_back(std::uint8_t(acc));
        for (std::size_t i = 0; i < packed.size(); i += 255) {
            const std::size_t len = std::min<std::size_t>(255, packed.size() - i);
            bytes_.push_back(std::uint8_t(len));
            bytes_.insert(bytes_.end(), packed.begin() + std::ptrdiff_t(i), packed.begin() + std::ptrdiff_t(i + len));
        }
        bytes_.push_back(0);
        return *this;
    }
    GifBuilder& raw(std::initializer_list<std::uint8_t> b) {
        bytes_.insert(bytes_.end(), b);
        return *this;
    }
    std::vector<std::uint8_t> done() {
        bytes_.push_back(0x3B);
        return bytes_;
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// Indices of a decoded frame, recovered from the red channel (10 + index);
// -1 for a transparent pixel.
std::vector<int> indices(const pic::Image& im) {
    std::vector<int> out;
    for (int y = 0; y < im.height; ++y)
        for (int x = 0; x < im.width; ++x) {
            const bool hidden = !im.alpha.empty() && im.alpha[std::size_t(y) * std::size_t(im.width) + std::size_t(x)] == 0;
            out.push_back(hidden ? -1 : im.row(y)[3 * x + 2] - 10);
        }
    return out;
}

// Codes for a run of literals after a clear, each as wide as the reader
// expects it at that point.
std::vector<std::pair<int, int>> literal_codes(const std::vector<int>& values, bool with_end = true) {
    std::vector<std::pair<int, int>> out = {{4, 3}};
    int width = 3, next = 6;
    for (std::size_t i = 0; i < values.size(); ++i) {
        out.push_back({values[i], width});
        if (i > 0 && next < 4096 && ++next == (1 << width) && width < 12) ++width;
    }
    if (with_end) out.push_back({5, width});
    return out;
}

TEST(GifLzw, CodeSequencesTable) {
    // Two-colour tables use a minimum code size of 2: clear 4, end 5, first new code 6.
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> codes;
        std::vector<int> want;  // 6 pixels of a 6 x 1 image
    };
    const Case cases[] = {
        {"literals", {{4, 3}, {0, 3}, {1, 3}, {1, 3}, {0, 4}, {1, 4}, {0, 4}, {5, 4}}, {0, 1, 1, 0, 1, 0}},
        // 6 = "1 1" is defined by the very code that uses it.
        {"code defined by itself", {{4, 3}, {1, 3}, {6, 3}, {0, 3}, {0, 4}, {0, 4}, {5, 4}}, {1, 1, 1, 0, 0, 0}},
        // 6 = "0 1", then 7 = "1 0"; the width grows to 4 bits once code 7 is taken.
        {"width grows", {{4, 3}, {0, 3}, {1, 3}, {6, 3}, {7, 4}, {5, 4}}, {0, 1, 0, 1, 1, 0}},
        {"clear restarts the table", {{4, 3}, {1, 3}, {0, 3}, {4, 3}, {0, 3}, {0, 3}, {1, 3}, {1, 4}, {5, 4}},
         {1, 0, 0, 0, 1, 1}},
        {"no clear at the start", {{0, 3}, {1, 3}, {6, 3}, {1, 4}, {5, 4}}, {0, 1, 0, 1, 1, -1}},
        {"code beyond the table stops the frame", {{4, 3}, {0, 3}, {7, 3}, {0, 3}, {5, 3}}, {0, -1, -1, -1, -1, -1}},
        {"new code right after clear stops the frame", {{4, 3}, {6, 3}, {0, 3}, {5, 3}}, {-1, -1, -1, -1, -1, -1}},
        {"end code stops the frame", {{4, 3}, {1, 3}, {5, 3}, {1, 3}}, {1, -1, -1, -1, -1, -1}},
        {"data beyond the last pixel is ignored", {{4, 3}, {0, 3}, {0, 3}, {0, 3}, {0, 4}, {0, 4}, {1, 4}, {1, 4}, {7, 4}},
         {0, 0, 0, 0, 0, 1}},
        // Exactly two bytes of codes, then nothing.
        {"stream ends early", {{4, 3}, {1, 3}, {1, 3}, {0, 3}, {0, 4}}, {1, 1, 0, 0, -1, -1}},
    };
    for (const Case& c : cases) {
        const auto anim = pic::decode_gif(GifBuilder(6, 1).image(0, 0, 6, 1, 2, c.codes).done());
        ASSERT_TRUE(anim) << c.what;
        ASSERT_EQ(anim->frames.size(), 1u) << c.what;
        EXPECT_EQ(indices(anim->frames[0].image), c.want) << c.what;
    }
}

TEST(GifLzw, FullTableWithoutClearKeepsTwelveBitCodes) {
    // 4091 literals fill the table (entries 6..4095); after that the codes
    // stay 12 bits wide and no string is added until a clear.
    std::vector<int> values;
    for (int i = 0; i < 4091; ++i) values.push_back(i % 2);
    auto codes = literal_codes(values, false);
    ASSERT_EQ(codes.back().second, 12);
    codes.push_back({6, 12});  // "0 1", the first string defined
    codes.push_back({4095, 12});  // the last entry the table took
    codes.push_back({5, 12});
    const auto anim = pic::decode_gif(GifBuilder(4095, 1).image(0, 0, 4095, 1, 2, codes).done());
    ASSERT_TRUE(anim);
    const auto got = indices(anim->frames[0].image);
    ASSERT_EQ(got.size(), 4095u);
    for (int i = 0; i < 4091; ++i) ASSERT_EQ(got[i], i % 2) << i;
    EXPECT_EQ(got[4091], 0);
    EXPECT_EQ(got[4092], 1);
    // Entry 4095 holds literal 4089's string plus literal 4090's first byte.
    EXPECT_EQ(got[4093], 4089 % 2);
    EXPECT_EQ(got[4094], 4090 % 2);
}

TEST(GifLzw, LastTableEntryDefinedByItsOwnCode) {
    // After 4090 literals the next free entry is 4095; a code of 4095 then
    // means "the previous string and its first byte", and fills the table.
    std::vector<int> values;
    for (int i = 0; i < 4090; ++i) values.push_back(i % 2);
    auto codes = literal_codes(values, false);
    codes.push_back({4095, 12});
    codes.push_back({4095, 12});  // now a full table's last entry
    codes.push_back({5, 12});
    const auto anim = pic::decode_gif(GifBuilder(4094, 1).image(0, 0, 4094, 1, 2, codes).done());
    ASSERT_TRUE(anim);
    const auto got = indices(anim->frames[0].image);
    ASSERT_EQ(got.size(), 4094u);
    EXPECT_EQ(got[4089], 1);
    for (int i = 4090; i < 4094; ++i) EXPECT_EQ(got[i], 1) << i;
}

TEST(Gif, InterlacedRowsLandInPassOrder) {
    // 1 x 10, one literal per stored row: stored row k holds colour k % 2,
    // and lands on row 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
    const int stored_to_row[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    std::vector<int> values;
    for (int k = 0; k < 10; ++k) values.push_back(k % 2);
    const auto anim = pic::decode_gif(GifBuilder(1, 10).image(0, 0, 1, 10, 2, literal_codes(values), true).done());
    ASSERT_TRUE(anim);
    const auto got = indices(anim->frames[0].image);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(got[stored_to_row[k]], k % 2) << "stored row " << k;
}

TEST(Gif, FramesAreClippedToTheScreen) {
    // A 4 x 4 image at (2, 2) on a 3 x 3 screen: only its top-left pixel shows.
    const auto codes = literal_codes(std::vector<int>(16, 1));
    const auto anim = pic::decode_gif(GifBuilder(3, 3).image(2, 2, 4, 4, 2, codes).done());
    ASSERT_TRUE(anim);
    EXPECT_EQ(indices(anim->frames[0].image), (std::vector<int>{-1, -1, -1, -1, -1, -1, -1, -1, 1}));
}

TEST(Gif, ZeroScreenSizeTakesTheFirstImage) {
    const auto anim =
        pic::decode_gif(GifBuilder(0, 0).image(1, 0, 2, 1, 2, {{4, 3}, {1, 3}, {0, 3}, {5, 3}}).done());
    ASSERT_TRUE(anim);
    EXPECT_EQ(anim->width, 3);
    EXPECT_EQ(anim->height, 1);
    EXPECT_EQ(indices(anim->frames[0].image), (std::vector<int>{-1, 1, 0}));
}

TEST(Gif, CutShortKeepsTheFramesBefore) {
    auto data = fixture("gif/dispose_background.gif");
    ASSERT_FALSE(data.empty());
    const auto whole = pic::decode_gif(data);
    ASSERT_TRUE(whole);
    // Cut inside the last image: its frame comes out partial or not at all.
    data.resize(data.size() - 10);
    const auto cut = pic::decode_gif(data);
    ASSERT_TRUE(cut);
    ASSERT_GE(cut->frames.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(to_raw(cut->frames[i].image, true), to_raw(whole->frames[i].image, true)) << i;
}

TEST(Gif, RefusesWhatItCannotRead) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> data;
    };
    const std::vector<std::pair<int, int>> one = {{4, 3}, {1, 3}, {5, 3}};
    auto no_images = GifBuilder(4, 4).done();
    auto huge = GifBuilder(1, 1).image(0, 0, 1, 1, 2, one).done();
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // 65535 x 65535 screen
    const Case cases[] = {
        {"header only", {'G', 'I', 'F', '8', '9', 'a'}},
        {"no images", no_images},
        {"code size 0", GifBuilder(2, 1).image(0, 0, 1, 1, 0, one).done()},
        {"code size 12", GifBuilder(2, 1).image(0, 0, 1, 1, 12, one).done()},
        {"screen beyond the limits", huge},
        {"another signature", [] {
             auto d = GifBuilder(1, 1).image(0, 0, 1, 1, 2, {{4, 3}, {1, 3}, {5, 3}}).done();
             d[4] = '8';
             return d;
         }()},
    };
    for (const Case& c : cases) EXPECT_FALSE(pic::decode_gif(c.data)) << c.what;
    EXPECT_TRUE(pic::decode_gif(GifBuilder(2, 1).image(0, 0, 1, 1, 2, one).done()));
}

}  // namespace
