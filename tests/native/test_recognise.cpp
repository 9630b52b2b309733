#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/picture/image.h"

namespace {

struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    pic::Format want;
};

std::vector<std::uint8_t> text(const std::string& s, std::size_t pad_to = 0) {
    std::vector<std::uint8_t> v(s.begin(), s.end());
    if (v.size() < pad_to) v.resize(pad_to, 0);
    return v;
}

TEST(Recognise, LeadingBytesTable) {
    using F = pic::Format;
    const Case cases[] = {
        {"empty", {}, F::None},
        {"jpeg in 5 bytes is too short", {0xFF, 0xD8, 0xFF, 0xE0, 0x00}, F::None},
        {"jpeg in exactly 6 bytes", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10}, F::Jpeg},
        {"jpeg needs D8 second", {0xFF, 0xD9, 0xFF, 0xE0, 0x00, 0x10}, F::None},
        {"bmp", text("BM", 6), F::Bmp},
        {"bmp in 5 bytes", text("BM", 5), F::None},
        {"lower-case bm", text("bm", 6), F::None},
        {"icon", {0, 0, 1, 0, 1, 0}, F::Icon},
        {"cursor", {0, 0, 2, 0, 1, 0}, F::Cursor},
        {"icon directory type 3", {0, 0, 3, 0, 1, 0}, F::None},
        {"icon with a non-zero high type byte", {0, 0, 1, 1, 1, 0}, F::None},
        {"icon with a non-zero reserved word", {0, 1, 1, 0, 1, 0}, F::None},
        {"icon in 5 bytes", {0, 0, 1, 0, 1}, F::None},
        {"GIF87a", text("GIF87a"), F::Gif},
        {"GIF89a", text("GIF89a"), F::Gif},
        {"GIF88a", text("GIF88a"), F::None},
        {"GIF89b", text("GIF89b"), F::None},
        {"GIF89 in 5 bytes", text("GIF89"), F::None},
        {"pcx version 0", {0x0A, 0, 1, 8, 0, 0}, F::Pcx},
        {"pcx version 5", {0x0A, 5, 1, 8, 0, 0}, F::Pcx},
        {"pcx version 6", {0x0A, 6, 1, 8, 0, 0}, F::None},
        {"pcx not run-length coded", {0x0A, 5, 0, 8, 0, 0}, F::None},
        {"pcx 4 bits per pixel", {0x0A, 5, 1, 4, 0, 0}, F::None},
        {"pcx 1 bit, version 3", {0x0A, 3, 1, 1, 0, 0}, F::Pcx},
        {"pcx 1 bit, version 5", {0x0A, 5, 1, 1, 0, 0}, F::None},
        {"pcx 1 bit, version 2", {0x0A, 2, 1, 1, 0, 0}, F::None},
        {"pcx in 5 bytes", {0x0A, 5, 1, 8, 0}, F::None},
        {"pcx with another maker byte", {0x0B, 5, 1, 8, 0, 0}, F::None},
        {"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A}, F::None},
        {"zeros", std::vector<std::uint8_t>(64, 0), F::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pic::recognise(c.bytes), c.want) << c.what;
    }
}

TEST(Recognise, OnlyTheLeadingBytesMatter) {
    std::vector<std::uint8_t> gif = text("GIF89a");
    gif.resize(1000, 0xFF);
    EXPECT_EQ(pic::recognise(gif), pic::Format::Gif);
    // A picture signature later in the data does not count.
    std::vector<std::uint8_t> late = text("xxGIF89a");
    EXPECT_EQ(pic::recognise(late), pic::Format::None);
}

}  // namespace
