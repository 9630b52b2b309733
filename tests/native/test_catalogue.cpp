// The built-in pictures: stored form, formats and sizes read from the file
// headers, and the catalogue's lookups.
#include "pictures/catalogue.h"
#include "toolkit/picture/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using View = std::span<const std::uint8_t>;

enum class Kind { Jpeg, Gif, Bmp, Ico };

struct Entry {
    const char* file;
    std::function<pictures::ByteSet()> get;
    Kind kind;
    int width;
    int height;
};

pictures::ByteSet gallery(int k) { return pictures::gallery_picture(k); }

std::vector<Entry> entries() {
    struct G { int w, h; };
    static const G sizes[30] = {
        {180, 158}, {199, 176}, {400, 400}, {188, 153}, {200, 200}, {358, 362}, {61, 66},   {119, 122},
        {120, 118}, {200, 200}, {260, 250}, {188, 188}, {228, 220}, {196, 220}, {169, 164}, {212, 220},
        {304, 220}, {212, 220}, {181, 220}, {219, 220}, {204, 220}, {229, 220}, {144, 169}, {323, 220},
        {284, 220}, {176, 144}, {210, 220}, {211, 220}, {305, 220}, {220, 220},
    };
    static const char* const names[30] = {
        "gallery_00.jpg", "gallery_01.jpg", "gallery_02.jpg", "gallery_03.jpg", "gallery_04.jpg",
        "gallery_05.jpg", "gallery_06.gif", "gallery_07.jpg", "gallery_08.jpg", "gallery_09.jpg",
        "gallery_10.jpg", "gallery_11.jpg", "gallery_12.jpg", "gallery_13.jpg", "gallery_14.jpg",
        "gallery_15.jpg", "gallery_16.jpg", "gallery_17.jpg", "gallery_18.jpg", "gallery_19.jpg",
        "gallery_20.jpg", "gallery_21.jpg", "gallery_22.jpg", "gallery_23.jpg", "gallery_24.jpg",
        "gallery_25.jpg", "gallery_26.jpg", "gallery_27.jpg", "gallery_28.jpg", "gallery_29.jpg",
    };
    std::vector<Entry> out;
    for (int k = 0; k < 30; ++k)
        out.push_back({names[k], [k] { return gallery(k); }, k == 6 ? Kind::Gif : Kind::Jpeg, sizes[k].w, sizes[k].h});
    out.push_back({"backdrop.jpg", pictures::backdrop_picture, Kind::Jpeg, 430, 417});
    out.push_back({"tile.jpg", pictures::tile_picture, Kind::Jpeg, 358, 334});
    out.push_back({"template_a.jpg", pictures::template_a, Kind::Jpeg, 154, 175});
    out.push_back({"template_b.bmp", pictures::template_b, Kind::Bmp, 322, 441});
    out.push_back({"template_C.bmp", pictures::template_C, Kind::Bmp, 308, 182});
    out.push_back({"template_d.bmp", pictures::template_d, Kind::Bmp, 200, 233});
    out.push_back({"template_e.bmp", pictures::template_e, Kind::Bmp, 505, 226});
    out.push_back({"template_F.bmp", pictures::template_F, Kind::Bmp, 284, 169});
    out.push_back({"program.ico", pictures::program_icon, Kind::Ico, 32, 32});
    return out;
}

Bytes read_asset(const std::string& name) {
    std::ifstream in(std::string(GLIMBO_SOURCE_DIR) + "/pictures/assets/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

unsigned le16(View b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t le32(View b, std::size_t at) { return le16(b, at) | std::uint32_t(le16(b, at + 2)) << 16; }
unsigned be16(View b, std::size_t at) { return b[at] << 8 | b[at + 1]; }

// What a header check found: empty `error` means the file is as required.
struct Found {
    std::string error;
    int width = 0;
    int height = 0;
};

Found fail(std::string why) { return {std::move(why)}; }

// Baseline JFIF: SOI, APP0 "JFIF\0" first, then a SOF0 with three components
// before any scan; any other SOF (progressive, lossless...) is refused.
Found check_jpeg(View b) {
    if (b.size() < 20 || b[0] != 0xFF || b[1] != 0xD8) return fail("no SOI");
    if (b[2] != 0xFF || b[3] != 0xE0 || std::memcmp(&b[6], "JFIF\0", 5) != 0) return fail("no JFIF APP0 after SOI");
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) return fail("marker expected");
        const unsigned m = b[at + 1];
        if (m == 0xFF) { ++at; continue; }
        const unsigned len = be16(b, at + 2);
        if (at + 2 + len > b.size()) return fail("segment runs past the end");
        if (m == 0xC0) {
            if (len != 8 + 3 * 3 || b[at + 9] != 3) return fail("SOF0 without exactly 3 components");
            if (b[at + 4] != 8) return fail("not 8-bit precision");
            return {"", int(be16(b, at + 7)), int(be16(b, at + 5))};
        }
        if ((m >= 0xC1 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC)) return fail("not a baseline frame");
        if (m == 0xDA) return fail("scan before any frame header");
        at += 2 + len;
    }
    return fail("no SOF0");
}

// GIF89a with exactly two full-screen frames, each after a graphic control
// extension with delay 10 and no transparency, and a NETSCAPE2.0 loop of 0.
Found check_gif(View b) {
    if (b.size() < 13 || std::memcmp(b.data(), "GIF89a", 6) != 0) return fail("not GIF89a");
    const int w = int(le16(b, 6)), h = int(le16(b, 8));
    std::size_t at = 13;
    if (b[10] & 0x80) at += 3u << ((b[10] & 7) + 1);
    auto skip_blocks = [&](std::size_t p) -> std::size_t {
        while (p < b.size() && b[p] != 0) p += 1 + b[p];
        return p + 1;
    };
    int frames = 0;
    bool gce_pending = false;
    bool looped = false;
    while (at < b.size()) {
        const unsigned tag = b[at];
        if (tag == 0x3B) break;
        if (tag == 0x21 && at + 2 < b.size()) {
            const unsigned label = b[at + 1];
            if (label == 0xF9) {
                if (b[at + 2] != 4) return fail("bad graphic control size");
                if (b[at + 3] & 1) return fail("frame has a transparent colour");
                if (le16(b, at + 4) != 10) return fail("frame delay is not 10");
                gce_pending = true;
            } else if (label == 0xFF) {
                if (b[at + 2] == 11 && std::memcmp(&b[at + 3], "NETSCAPE2.0", 11) == 0) {
                    const std::size_t sub = at + 14;
                    if (b[sub] != 3 || b[sub + 1] != 1 || le16(b, sub + 2) != 0) return fail("loop count is not 0");
                    looped = true;
                }
            }
            at = skip_blocks(at + 2);
        } else if (tag == 0x2C && at + 10 <= b.size()) {
            if (!gce_pending) return fail("frame without a graphic control extension");
            if (le16(b, at + 1) != 0 || le16(b, at + 3) != 0 || int(le16(b, at + 5)) != w ||
                int(le16(b, at + 7)) != h)
                return fail("frame does not cover the whole screen");
            std::size_t p = at + 10;
            if (b[at + 9] & 0x80) p += 3u << ((b[at + 9] & 7) + 1);
            at = skip_blocks(p + 1);  // past the LZW code size and the data
            ++frames;
            gce_pending = false;
        } else {
            return fail("unknown block");
        }
    }
    if (at >= b.size() || b[at] != 0x3B) return fail("no trailer");
    if (frames != 2) return fail("frame count " + std::to_string(frames));
    if (!looped) return fail("no NETSCAPE2.0 loop extension");
    return {"", w, h};
}

// 24-bit uncompressed bottom-up BMP: 14 + 40 byte headers, pixels at 54.
Found check_bmp(View b) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return fail("no BM");
    if (le32(b, 2) != b.size()) return fail("file size field is wrong");
    if (le32(b, 10) != 54) return fail("pixels not at offset 54");
    if (le32(b, 14) != 40) return fail("info header is not 40 bytes");
    const auto w = std::int32_t(le32(b, 18)), h = std::int32_t(le32(b, 22));
    if (w <= 0 || h <= 0) return fail("not a positive (bottom-up) size");
    if (le16(b, 26) != 1 || le16(b, 28) != 24) return fail("not 24 bits per pixel");
    if (le32(b, 30) != 0) return fail("compressed");
    const std::size_t stride = (std::size_t(w) * 3 + 3) / 4 * 4;
    if (54 + stride * std::size_t(h) != b.size()) return fail("pixel data size is wrong");
    return {"", w, h};
}

// One 32x32 32-bpp DIB image (not PNG) inside the icon directory.
Found check_ico(View b) {
    if (b.size() < 22 + 40 || le16(b, 0) != 0 || le16(b, 2) != 1 || le16(b, 4) != 1) return fail("not a one-image ICO");
    if (le16(b, 12) != 32) return fail("entry is not 32 bpp");
    if (le32(b, 14) != 4264 || le32(b, 18) != 22) return fail("image size/offset wrong");
    if (b.size() != 4286) return fail("file size wrong");
    if (le32(b, 22) != 40 || le32(b, 26) != 32 || le32(b, 30) != 64 || le16(b, 36) != 32 || le32(b, 38) != 0)
        return fail("DIB header is not 40 bytes 32x64 32 bpp uncompressed");
    return {"", b[6] ? b[6] : 256, b[7] ? b[7] : 256};
}

Found check(Kind kind, View b) {
    switch (kind) {
    case Kind::Jpeg: return check_jpeg(b);
    case Kind::Gif: return check_gif(b);
    case Kind::Bmp: return check_bmp(b);
    case Kind::Ico: return check_ico(b);
    }
    return fail("?");
}

class CatalogueEntry : public ::testing::TestWithParam<Entry> {};

TEST_P(CatalogueEntry, StoredRecordHoldsTheAssetFile) {
    const Entry& e = GetParam();
    const Bytes file = read_asset(e.file);
    ASSERT_FALSE(file.empty()) << "missing asset " << e.file;
    const pictures::ByteSet set = e.get();
    ASSERT_NE(set.record(), nullptr);
    const std::uint8_t* r = set.record();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(r) % 4, 0u) << "record not 4-aligned";
    EXPECT_EQ(le32(View(r, 8), 0), 1u);
    EXPECT_EQ(le32(View(r, 8), 4), file.size());
    ASSERT_EQ(set.size(), file.size());
    EXPECT_EQ(std::memcmp(set.bytes().data(), file.data(), file.size()), 0);
    EXPECT_EQ(set.bytes().data(), r + 8);
}

TEST_P(CatalogueEntry, HeaderHasTheFormatAndSize) {
    const Entry& e = GetParam();
    const pictures::ByteSet set = e.get();
    const Found f = check(e.kind, set.bytes());
    ASSERT_EQ(f.error, "") << e.file;
    EXPECT_EQ(f.width, e.width) << e.file;
    EXPECT_EQ(f.height, e.height) << e.file;
}

// The program's own decoders read every built-in picture at its stated size.
TEST_P(CatalogueEntry, DecodesAtItsSize) {
    const Entry& e = GetParam();
    const auto anim = pic::decode_any(e.get().bytes());
    ASSERT_TRUE(anim.has_value()) << e.file;
    EXPECT_EQ(anim->width, e.width);
    EXPECT_EQ(anim->height, e.height);
    ASSERT_EQ(anim->frames.size(), e.kind == Kind::Gif ? 2u : 1u);
    for (const pic::Frame& f : anim->frames) {
        EXPECT_EQ(f.image.width, e.width);
        EXPECT_EQ(f.image.height, e.height);
    }
    if (e.kind == Kind::Gif) {
        EXPECT_EQ(anim->loop_count, 0);
        EXPECT_EQ(anim->frames[0].delay_cs, 10);
        EXPECT_EQ(anim->frames[1].delay_cs, 10);
        EXPECT_NE(anim->frames[0].image.bgr, anim->frames[1].image.bgr) << "the two frames look the same";
    }
}

TEST_P(CatalogueEntry, SameRecordEveryTimeAndBuiltin) {
    const Entry& e = GetParam();
    const pictures::ByteSet a = e.get(), b = e.get();
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(pictures::is_builtin(a.record()));
    EXPECT_TRUE(pictures::is_builtin(a.bytes().data()));
    EXPECT_TRUE(pictures::is_builtin(&a.bytes().back()));
}

INSTANTIATE_TEST_SUITE_P(Pictures, CatalogueEntry, ::testing::ValuesIn(entries()),
                         [](const ::testing::TestParamInfo<Entry>& info) {
                             std::string n = info.param.file;
                             for (char& c : n)
                                 if (c == '.') c = '_';
                             return n;
                         });

TEST(Catalogue, GalleryIndexOutsideRangeIsEmpty) {
    for (int k : {-1, 30, 31, 1000, INT_MIN, INT_MAX}) {
        const pictures::ByteSet s = pictures::gallery_picture(k);
        EXPECT_TRUE(s.empty()) << k;
        EXPECT_EQ(s.record(), nullptr) << k;
        EXPECT_TRUE(s.bytes().empty()) << k;
    }
}

TEST(Catalogue, AllThirtyGalleryPicturesDiffer) {
    for (int i = 0; i < pictures::kGalleryCount; ++i)
        for (int j = i + 1; j < pictures::kGalleryCount; ++j) {
            const auto a = pictures::gallery_picture(i).bytes(), b = pictures::gallery_picture(j).bytes();
            EXPECT_FALSE(a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0) << i << " " << j;
        }
}

TEST(Catalogue, MemoryOutsideTheRecordsIsNotBuiltin) {
    auto heap = std::make_unique<std::uint8_t[]>(64);
    const Bytes copy(pictures::tile_picture().bytes().begin(), pictures::tile_picture().bytes().end());
    int local = 0;
    EXPECT_FALSE(pictures::is_builtin(heap.get()));
    EXPECT_FALSE(pictures::is_builtin(copy.data()));
    EXPECT_FALSE(pictures::is_builtin(&local));
    EXPECT_FALSE(pictures::is_builtin(nullptr));
}

// The header checks above must be able to fail: known-bad variants of real
// assets are refused.
TEST(Catalogue, HeaderChecksRefuseWrongVariants) {
    const auto spoil = [](pictures::ByteSet set, const std::function<void(Bytes&)>& edit) {
        Bytes b(set.bytes().begin(), set.bytes().end());
        edit(b);
        return b;
    };
    const auto find = [](const Bytes& b, std::initializer_list<std::uint8_t> pat) {
        for (std::size_t i = 0; i + pat.size() <= b.size(); ++i)
            if (std::equal(pat.begin(), pat.end(), b.begin() + std::ptrdiff_t(i))) return i;
        return b.size();
    };
    const pictures::ByteSet jpg = pictures::gallery_picture(0), gif = pictures::gallery_picture(6);
    const Bytes progressive = spoil(jpg, [&](Bytes& b) { b[find(b, {0xFF, 0xC0}) + 1] = 0xC2; });
    EXPECT_NE(check_jpeg(progressive).error, "");
    const Bytes no_jfif = spoil(jpg, [](Bytes& b) { b[6] = 'X'; });
    EXPECT_NE(check_jpeg(no_jfif).error, "");
    const Bytes transparent = spoil(gif, [&](Bytes& b) { b[find(b, {0x21, 0xF9, 0x04}) + 3] |= 1; });
    EXPECT_NE(check_gif(transparent).error, "");
    const Bytes slow = spoil(gif, [&](Bytes& b) { b[find(b, {0x21, 0xF9, 0x04}) + 4] = 20; });
    EXPECT_NE(check_gif(slow).error, "");
    const Bytes top_down = spoil(pictures::template_b(), [](Bytes& b) { b[25] = 0xFF; });
    EXPECT_NE(check_bmp(top_down).error, "");
}

}  // namespace
