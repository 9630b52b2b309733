// The baseline JPEG decoder against libjpeg-turbo's djpeg: committed
// reference pixels for the fixtures (tests/fixtures/jpeg/make.sh), djpeg run
// live for the built-in pictures; plus refusals, marker-layout variants
// that must not change the pixels, and hostile input.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "toolkit/picture/image.h"

namespace pic::jpeg_detail {
void idct_portable(const std::int16_t* coef, std::uint8_t* out, std::ptrdiff_t stride);
void idct_used(const std::int16_t* coef, std::uint8_t* out, std::ptrdiff_t stride);
}  // namespace pic::jpeg_detail

namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;

const fs::path kFixtures = fs::path(GLIMBO_SOURCE_DIR) / "tests" / "fixtures" / "jpeg";
const fs::path kAssets = fs::path(GLIMBO_SOURCE_DIR) / "pictures" / "assets";

Buf read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Buf(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Buf fixture(const std::string& name) {
    Buf b = read_file(kFixtures / (name + ".jpg"));
    EXPECT_FALSE(b.empty()) << name;
    return b;
}

std::optional<pic::Image> decode(const Buf& b) { return pic::decode_jpeg(pic::Bytes(b.data(), b.size())); }

// ---- reference pictures (binary PGM/PPM)

struct Pnm {
    int width = 0, height = 0, channels = 0;
    Buf pixels;
};

std::optional<Pnm> parse_pnm(const Buf& b) {
    if (b.size() < 3 || b[0] != 'P' || (b[1] != '5' && b[1] != '6')) return std::nullopt;
    Pnm p;
    p.channels = b[1] == '6' ? 3 : 1;
    std::size_t at = 2;
    int fields[3] = {};
    for (int& f : fields) {
        while (at < b.size() && std::isspace(b[at])) ++at;
        while (at < b.size() && std::isdigit(b[at])) f = f * 10 + (b[at++] - '0');
    }
    ++at;  // the single whitespace before the samples
    p.width = fields[0];
    p.height = fields[1];
    const std::size_t n = std::size_t(p.width) * std::size_t(p.height) * std::size_t(p.channels);
    if (fields[2] != 255 || b.size() < at + n) return std::nullopt;
    p.pixels.assign(b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(at + n));
    return p;
}

// Largest difference of any channel; -1 when the sizes differ.
int max_deviation(const pic::Image& img, const Pnm& ref) {
    if (img.width != ref.width || img.height != ref.height) return -1;
    int worst = 0;
    for (int y = 0; y < img.height; ++y) {
        const std::uint8_t* row = img.row(y);
        for (int x = 0; x < img.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::size_t i = std::size_t(y) * std::size_t(img.width) + std::size_t(x);
                const int want = ref.channels == 3 ? ref.pixels[i * 3 + std::size_t(c)] : ref.pixels[i];
                const int got = row[x * 3 + (2 - c)];  // ours is B,G,R
                worst = std::max(worst, std::abs(want - got));
            }
        }
    }
    return worst;
}

bool same_pixels(const pic::Image& a, const pic::Image& b) {
    return a.width == b.width && a.height == b.height && a.bgr == b.bgr;
}

// A returned picture must be self-consistent whatever the input was.
void expect_sane(const std::optional<pic::Image>& img) {
    if (!img) return;
    ASSERT_GT(img->width, 0);
    ASSERT_GT(img->height, 0);
    ASSERT_LE(img->width, pic::kMaxSide);
    ASSERT_LE(img->height, pic::kMaxSide);
    ASSERT_EQ(img->bgr.size(), img->stride() * std::size_t(img->height));
    ASSERT_TRUE(img->alpha.empty());
}

// ---- the segment structure of a file, for building variants

struct Segment {
    std::uint8_t marker = 0;
    Buf bytes;  // marker, length and body; for SOS also the entropy data
    Buf body() const { return Buf(bytes.begin() + 4, bytes.begin() + 4 + (bytes[2] << 8 | bytes[3]) - 2); }
};

std::vector<Segment> split(const Buf& f) {
    std::vector<Segment> out;
    std::size_t p = 2;  // past SOI
    while (p + 1 < f.size()) {
        EXPECT_EQ(f[p], 0xFF) << "at " << p;
        Segment s;
        s.marker = f[p + 1];
        if (s.marker == 0xD9) {
            s.bytes = {0xFF, 0xD9};
            out.push_back(s);
            break;
        }
        std::size_t end = p + 2 + (std::size_t(f[p + 2]) << 8 | f[p + 3]);
        if (s.marker == 0xDA) {
            while (end + 1 < f.size() &&
                   !(f[end] == 0xFF && f[end + 1] != 0 && !(f[end + 1] >= 0xD0 && f[end + 1] <= 0xD7)))
                ++end;
        }
        s.bytes.assign(f.begin() + std::ptrdiff_t(p), f.begin() + std::ptrdiff_t(end));
        out.push_back(s);
        p = end;
    }
    return out;
}

Buf join(const std::vector<Segment>& segs) {
    Buf f = {0xFF, 0xD8};
    for (const Segment& s : segs) f.insert(f.end(), s.bytes.begin(), s.bytes.end());
    return f;
}

Segment make_segment(std::uint8_t marker, const Buf& body) {
    Segment s;
    s.marker = marker;
    const std::size_t len = body.size() + 2;
    s.bytes = {0xFF, marker, std::uint8_t(len >> 8), std::uint8_t(len)};
    s.bytes.insert(s.bytes.end(), body.begin(), body.end());
    return s;
}

const Segment* find(const std::vector<Segment>& segs, std::uint8_t marker) {
    for (const Segment& s : segs)
        if (s.marker == marker) return &s;
    return nullptr;
}

// Offset of the first byte after marker `m`'s two marker bytes.
std::size_t offset_of(const Buf& f, std::uint8_t m) {
    for (std::size_t i = 2; i + 1 < f.size(); ++i)
        if (f[i] == 0xFF && f[i + 1] == m) return i + 2;
    ADD_FAILURE() << "no marker " << int(m);
    return 0;
}

// The frame header's facts, to check that each fixture holds what it claims.
struct Frame {
    int sof = 0, precision = 0, width = 0, height = 0;
    std::string sampling;  // "22,11,11"
};

Frame frame_of(const Buf& f) {
    Frame fr;
    for (const Segment& s : split(f)) {
        if (s.marker < 0xC0 || s.marker > 0xC3) continue;
        const Buf b = s.body();
        fr.sof = s.marker;
        fr.precision = b[0];
        fr.height = b[1] << 8 | b[2];
        fr.width = b[3] << 8 | b[4];
        for (int i = 0; i < b[5]; ++i) {
            if (i) fr.sampling += ',';
            fr.sampling += std::to_string(b[7 + 3 * i] >> 4) + std::to_string(b[7 + 3 * i] & 15);
        }
    }
    return fr;
}

bool has_segment(const Buf& f, std::uint8_t marker, const std::string& prefix = "") {
    for (const Segment& s : split(f)) {
        if (s.marker != marker) continue;
        const Buf b = s.body();
        if (b.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), b.begin())) return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Fixtures against djpeg

struct RefCase {
    const char* name;
    const char* sampling;  // as written in the frame header
    std::function<bool(const Buf&)> holds;  // what else the fixture must contain
};

bool any(const Buf&) { return true; }
bool has_restarts(const Buf& f) { return has_segment(f, 0xDD); }
// Several scans, with Huffman tables defined between them.
bool tables_between_scans(const Buf& f) {
    int scans = 0;
    bool late_table = false;
    for (const Segment& s : split(f)) {
        scans += s.marker == 0xDA;
        late_table = late_table || (s.marker == 0xC4 && scans > 0);
    }
    return scans >= 2 && late_table;
}

const RefCase kRefCases[] = {
    {"gray_48x40", "11", any},
    {"gray_h2v2_35x21", "22", any},
    {"s444_64x48", "11,11,11", any},
    {"s422_64x48", "21,11,11", any},
    {"s420_64x48", "22,11,11", any},
    {"s440_64x48", "12,11,11", any},
    {"s411_64x48", "41,11,11", any},
    {"mixed_40x40", "22,21,12", any},
    {"size_1x1_420", "22,11,11", any},
    {"size_2x3_420", "22,11,11", any},
    {"size_3x5_422", "21,11,11", any},  // chroma 2 wide: replicated, not filtered
    {"size_4x3_420", "22,11,11", any},
    {"size_5x4_422", "21,11,11", any},
    {"size_17x9_420", "22,11,11", any},
    {"size_17x9_444", "11,11,11", any},
    {"size_33x31_420", "22,11,11", any},
    {"size_33x31_440", "12,11,11", any},
    {"restart_mcu_64x48", "22,11,11", has_restarts},
    {"restart_row_64x48", "11,11,11", has_restarts},
    {"restart_gray_48x40", "11", has_restarts},
    {"adobe_rgb_40x30",
     "11,11,11",
     [](const Buf& f) { return has_segment(f, 0xEE, "Adobe") && !has_segment(f, 0xE0, "JFIF"); }},
    {"optimized_64x48", "22,11,11", any},
    {"q100_64x48", "11,11,11", any},
    {"q5_64x48", "22,11,11", any},
    {"multiscan_64x48", "22,11,11", tables_between_scans},
    {"multiscan_chroma_64x48", "21,11,11", tables_between_scans},
    {"dqt16_48x40",
     "22,11,11",
     [](const Buf& f) {
         const std::vector<Segment> segs = split(f);
         const Segment* q = find(segs, 0xDB);
         return q && (q->body()[0] >> 4) == 1 && frame_of(f).sof == 0xC1;
     }},
    {"comment_64x48", "22,11,11", [](const Buf& f) { return has_segment(f, 0xFE); }},
    {"exif_64x48",
     "22,11,11",
     [](const Buf& f) { return has_segment(f, 0xE1, std::string("Exif\0\0", 6)) && !has_segment(f, 0xE0); }},
};

class JpegReference : public testing::TestWithParam<RefCase> {};

TEST_P(JpegReference, MatchesDjpegWithinOne) {
    const RefCase& c = GetParam();
    const Buf f = fixture(c.name);
    const Frame fr = frame_of(f);
    ASSERT_EQ(fr.sampling, c.sampling) << "fixture does not have the sampling it is named for";
    ASSERT_TRUE(c.holds(f)) << "fixture lacks the feature it is meant to test";
    const std::optional<Pnm> ref = parse_pnm(read_file(kFixtures / (std::string(c.name) + ".pnm")));
    ASSERT_TRUE(ref);
    const std::optional<pic::Image> img = decode(f);
    ASSERT_TRUE(img);
    ASSERT_EQ(img->width, fr.width);
    ASSERT_EQ(img->height, fr.height);
    const int dev = max_deviation(*img, *ref);
    std::cout << c.name << ": max deviation from djpeg " << dev << "\n";
    EXPECT_GE(dev, 0) << "size differs";
    EXPECT_LE(dev, 1);
    // Row padding stays zero.
    for (int y = 0; y < img->height; ++y)
        for (std::size_t i = std::size_t(img->width) * 3; i < img->stride(); ++i) ASSERT_EQ(img->row(y)[i], 0);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JpegReference, testing::ValuesIn(kRefCases),
                         [](const testing::TestParamInfo<RefCase>& i) { return std::string(i.param.name); });

// The built-in pictures, checked against djpeg run now (skipped without it).
std::vector<fs::path> builtin_jpegs() {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(kAssets, ec))
        if (e.path().extension() == ".jpg") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

std::optional<Pnm> djpeg(const fs::path& p) {
    const std::string cmd = "djpeg -pnm '" + p.string() + "' 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return std::nullopt;
    Buf out;
    std::uint8_t chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.insert(out.end(), chunk, chunk + n);
    if (pclose(pipe) != 0) return std::nullopt;
    return parse_pnm(out);
}

TEST(JpegAssets, BuiltInPicturesMatchDjpegWithinOne) {
    const std::vector<fs::path> files = builtin_jpegs();
    if (files.empty()) GTEST_SKIP() << "no pictures/assets/*.jpg yet";
    if (std::system("djpeg -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "djpeg not installed";
    int worst = 0;
    for (const fs::path& p : files) {
        SCOPED_TRACE(p.filename().string());
        const std::optional<Pnm> ref = djpeg(p);
        ASSERT_TRUE(ref) << "djpeg failed";
        const std::optional<pic::Image> img = decode(read_file(p));
        ASSERT_TRUE(img);
        const int dev = max_deviation(*img, *ref);
        EXPECT_GE(dev, 0) << "size differs";
        EXPECT_LE(dev, 1);
        worst = std::max(worst, dev);
    }
    std::cout << files.size() << " built-in JPEGs: max deviation from djpeg " << worst << "\n";
}

// ---------------------------------------------------------------------------
// Files that must be refused

struct RefuseCase {
    const char* name;
    const char* base;                   // fixture to start from
    std::function<void(Buf&)> mutate;  // makes it unacceptable
};

void put16(Buf& f, std::size_t at, int v) {
    f[at] = std::uint8_t(v >> 8);
    f[at + 1] = std::uint8_t(v);
}

// Offsets inside the frame header: +2 precision, +3 height, +5 width, +7 count.
std::size_t sof_at(const Buf& f) {
    for (std::uint8_t m : {0xC0, 0xC1})
        for (std::size_t i = 2; i + 1 < f.size(); ++i)
            if (f[i] == 0xFF && f[i + 1] == m) return i + 2;
    ADD_FAILURE() << "no frame header";
    return 0;
}

std::vector<Segment> without(std::vector<Segment> segs, std::uint8_t marker) {
    segs.erase(std::remove_if(segs.begin(), segs.end(), [&](const Segment& s) { return s.marker == marker; }),
               segs.end());
    return segs;
}

const RefuseCase kRefuseCases[] = {
    {"progressive", "progressive_64x48", [](Buf&) {}},
    {"arithmetic", "arithmetic_64x48", [](Buf&) {}},
    {"baseline_marked_progressive", "s420_64x48", [](Buf& f) { f[offset_of(f, 0xC0) - 1] = 0xC2; }},
    {"baseline_marked_lossless", "s420_64x48", [](Buf& f) { f[offset_of(f, 0xC0) - 1] = 0xC3; }},
    {"twelve_bit", "s420_64x48", [](Buf& f) { f[sof_at(f) + 2] = 12; }},
    {"zero_width", "s420_64x48", [](Buf& f) { put16(f, sof_at(f) + 5, 0); }},
    {"zero_height", "s420_64x48", [](Buf& f) { put16(f, sof_at(f) + 3, 0); }},
    {"wider_than_max", "s420_64x48", [](Buf& f) { put16(f, sof_at(f) + 5, pic::kMaxSide + 1); }},
    {"absurd_size", "s420_64x48",
     [](Buf& f) {
         put16(f, sof_at(f) + 3, 65535);
         put16(f, sof_at(f) + 5, 65535);
     }},
    // Within kMaxPixels, but far more blocks than 2.6 KB could ever encode.
    {"huge_claim_from_small_file", "s420_64x48",
     [](Buf& f) {
         put16(f, sof_at(f) + 3, 8000);
         put16(f, sof_at(f) + 5, 8000);
     }},
    {"two_components", "s420_64x48", [](Buf& f) { f[sof_at(f) + 7] = 2; }},
    {"sampling_zero", "s420_64x48", [](Buf& f) { f[sof_at(f) + 9] = 0x02; }},
    {"sampling_non_integral", "s420_64x48",
     [](Buf& f) {
         f[sof_at(f) + 9] = 0x32;   // luma 3x2
         f[sof_at(f) + 12] = 0x21;  // Cb 2x1: 3 is no multiple of 2
     }},
    {"second_frame_header", "s420_64x48",
     [](Buf& f) {
         std::vector<Segment> segs = split(f);
         const Segment sof = *find(segs, 0xC0);
         segs.insert(segs.end() - 2, sof);  // again, before the scan
         f = join(segs);
     }},
    {"no_huffman_tables", "s420_64x48", [](Buf& f) { f = join(without(split(f), 0xC4)); }},
    {"no_quantisation_tables", "s420_64x48", [](Buf& f) { f = join(without(split(f), 0xDB)); }},
    {"no_frame_header", "s420_64x48", [](Buf& f) { f = join(without(split(f), 0xC0)); }},
    {"no_scan", "s420_64x48", [](Buf& f) { f = join(without(split(f), 0xDA)); }},
    {"scan_names_unknown_component", "s420_64x48", [](Buf& f) { f[offset_of(f, 0xDA) + 3] = 9; }},
    {"scan_names_component_twice", "s420_64x48",
     [](Buf& f) { f[offset_of(f, 0xDA) + 5] = f[offset_of(f, 0xDA) + 3]; }},
    {"scan_uses_undefined_table", "s420_64x48", [](Buf& f) { f[offset_of(f, 0xDA) + 4] = 0x22; }},
    {"huffman_table_oversubscribed", "s420_64x48",
     [](Buf& f) { f[offset_of(f, 0xC4) + 3] = 3; }},  // three 1-bit codes
    {"huffman_table_class_2", "s420_64x48", [](Buf& f) { f[offset_of(f, 0xC4) + 2] = 0x20; }},
    {"quant_precision_2", "s420_64x48", [](Buf& f) { f[offset_of(f, 0xDB) + 2] = 0x20; }},
    {"no_start_of_image", "s420_64x48", [](Buf& f) { f[1] = 0xD9; }},
    {"only_start_of_image", "s420_64x48", [](Buf& f) { f.resize(2); }},
    {"empty", "s420_64x48", [](Buf& f) { f.clear(); }},
};

class JpegRefuses : public testing::TestWithParam<RefuseCase> {};

TEST_P(JpegRefuses, ReturnsNullopt) {
    const RefuseCase& c = GetParam();
    Buf f = fixture(c.base);
    const bool refused_anyway = std::string(c.base).rfind("progressive", 0) == 0 ||
                                std::string(c.base).rfind("arithmetic", 0) == 0;
    ASSERT_TRUE(refused_anyway || decode(f)) << "the unmodified file must decode";
    c.mutate(f);
    EXPECT_FALSE(decode(f).has_value());
}

INSTANTIATE_TEST_SUITE_P(Cases, JpegRefuses, testing::ValuesIn(kRefuseCases),
                         [](const testing::TestParamInfo<RefuseCase>& i) { return std::string(i.param.name); });

// ---------------------------------------------------------------------------
// Marker layouts that must not change the pixels

// Splits every multi-table DHT/DQT segment into one segment per table.
std::vector<Buf> tables_of(const Segment& s) {
    std::vector<Buf> out;
    const Buf b = s.body();
    std::size_t p = 0;
    while (p < b.size()) {
        std::size_t n;
        if (s.marker == 0xDB) {
            n = 1 + 64 * std::size_t((b[p] >> 4) + 1);
        } else {
            n = 17;
            for (int i = 0; i < 16; ++i) n += b[p + 1 + std::size_t(i)];
        }
        out.emplace_back(b.begin() + std::ptrdiff_t(p), b.begin() + std::ptrdiff_t(p + n));
        p += n;
    }
    return out;
}

struct LayoutCase {
    const char* name;
    const char* base;
    std::function<Buf(const Buf&)> rewrite;
};

// All tables merged into one DHT and one DQT, DHT first, before the frame.
Buf tables_merged_first(const Buf& f) {
    std::vector<Segment> segs = split(f);
    Buf dht, dqt;
    for (const Segment& s : segs) {
        if (s.marker != 0xC4 && s.marker != 0xDB) continue;
        Buf& into = s.marker == 0xC4 ? dht : dqt;
        for (const Buf& t : tables_of(s)) into.insert(into.end(), t.begin(), t.end());
    }
    std::vector<Segment> rest = without(without(segs, 0xC4), 0xDB);
    rest.insert(rest.begin(), make_segment(0xDB, dqt));
    rest.insert(rest.begin(), make_segment(0xC4, dht));
    return join(rest);
}

// Each table in its own segment, in reverse order, between frame and scan.
Buf tables_split_reversed(const Buf& f) {
    std::vector<Segment> segs = split(f);
    std::vector<Segment> tables;
    for (const Segment& s : segs)
        if (s.marker == 0xC4 || s.marker == 0xDB)
            for (const Buf& t : tables_of(s)) tables.push_back(make_segment(s.marker, t));
    std::reverse(tables.begin(), tables.end());
    std::vector<Segment> rest = without(without(segs, 0xC4), 0xDB);
    const auto sos = std::find_if(rest.begin(), rest.end(), [](const Segment& s) { return s.marker == 0xDA; });
    rest.insert(sos, tables.begin(), tables.end());
    return join(rest);
}

// Fill bytes before every marker, including those inside the entropy data.
Buf fill_bytes(const Buf& f) {
    Buf out = {0xFF, 0xD8};
    for (const Segment& s : split(f)) {
        out.insert(out.end(), {0xFF, 0xFF, 0xFF});
        for (std::size_t i = 0; i < s.bytes.size(); ++i) {
            const bool rst = i > 4 && s.bytes[i] == 0xFF && i + 1 < s.bytes.size() && s.bytes[i + 1] >= 0xD0 &&
                             s.bytes[i + 1] <= 0xD7;
            if (rst) out.insert(out.end(), {0xFF, 0xFF});
            out.push_back(s.bytes[i]);
        }
    }
    return out;
}

// Unknown APPn and COM segments between all others; their bodies hold
// marker-like bytes that only a length-driven parser skips correctly.
Buf foreign_segments(const Buf& f) {
    const Buf junk = {'x', 0xFF, 0xD9, 0xFF, 0xC0, 0x00, 0x11, 0xFF, 0xDA, 0xFF};
    std::vector<Segment> out;
    std::uint8_t app = 0xE2;
    for (const Segment& s : split(f)) {
        if (s.marker != 0xD9) {
            out.push_back(make_segment(app, junk));
            out.push_back(make_segment(0xFE, junk));
            app = app == 0xEF ? 0xE2 : std::uint8_t(app + 1);
            if (app == 0xEE) app = 0xEF;  // APP14 has a meaning
        }
        out.push_back(s);
    }
    return join(out);
}

Buf no_end_marker(const Buf& f) { return Buf(f.begin(), f.end() - 2); }
Buf trailing_garbage(const Buf& f) {
    Buf out = f;
    for (int i = 0; i < 100; ++i) out.push_back(std::uint8_t(i * 37));
    return out;
}

const LayoutCase kLayoutCases[] = {
    {"tables_merged_first_420", "s420_64x48", tables_merged_first},
    {"tables_merged_first_gray", "gray_48x40", tables_merged_first},
    {"tables_split_reversed_422", "s422_64x48", tables_split_reversed},
    {"tables_split_reversed_dqt16", "dqt16_48x40", tables_split_reversed},
    {"fill_bytes_420", "s420_64x48", fill_bytes},
    {"fill_bytes_restarts", "restart_mcu_64x48", fill_bytes},
    {"foreign_segments_420", "s420_64x48", foreign_segments},
    {"foreign_segments_multiscan", "multiscan_64x48", foreign_segments},
    {"no_end_marker", "s444_64x48", no_end_marker},
    {"trailing_garbage", "s444_64x48", trailing_garbage},
    {"tables_merged_first_multiscan", "multiscan_64x48", tables_merged_first},
};

class JpegMarkers : public testing::TestWithParam<LayoutCase> {};

TEST_P(JpegMarkers, SamePixelsAsOriginal) {
    const LayoutCase& c = GetParam();
    const Buf f = fixture(c.base);
    const Buf g = c.rewrite(f);
    ASSERT_NE(f, g);
    const std::optional<pic::Image> a = decode(f);
    const std::optional<pic::Image> b = decode(g);
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_TRUE(same_pixels(*a, *b));
}

INSTANTIATE_TEST_SUITE_P(Cases, JpegMarkers, testing::ValuesIn(kLayoutCases),
                         [](const testing::TestParamInfo<LayoutCase>& i) { return std::string(i.param.name); });

// A quantisation table redefined between scans applies to the components
// whose first scan comes later, and only to them.
TEST(JpegMarkersBetweenScans, QuantisationTableRedefinedAfterFirstScan) {
    const Buf f = fixture("multiscan_64x48");  // scans: Y, then Cb, then Cr
    const std::optional<pic::Image> plain = decode(f);
    ASSERT_TRUE(plain);
    auto redefine = [&](std::uint8_t slot) {
        std::vector<Segment> segs = split(f);
        Buf table(65, 1);
        table[0] = slot;  // 8-bit entries
        const auto sos = std::find_if(segs.begin(), segs.end(), [](const Segment& s) { return s.marker == 0xDA; });
        segs.insert(sos + 1, make_segment(0xDB, table));
        return decode(join(segs));
    };
    const std::optional<pic::Image> luma_slot = redefine(0);  // used by Y only, already decoded
    const std::optional<pic::Image> chroma_slot = redefine(1);
    ASSERT_TRUE(luma_slot);
    ASSERT_TRUE(chroma_slot);
    EXPECT_TRUE(same_pixels(*plain, *luma_slot));
    EXPECT_FALSE(same_pixels(*plain, *chroma_slot));
}

// The colour space comes from the markers, not from guessing.
TEST(JpegColourSpace, AdobeTransformDecidesOverComponentIds) {
    Buf f = fixture("adobe_rgb_40x30");
    const std::optional<pic::Image> rgb = decode(f);
    ASSERT_TRUE(rgb);
    // Component ids 'R','G','B' -> 1,2,3 in the frame and the scan: the
    // Adobe marker (transform 0) still says RGB.
    Buf ids = f;
    const std::size_t sof = sof_at(ids), sos = offset_of(ids, 0xDA);
    for (int i = 0; i < 3; ++i) {
        ids[sof + 8 + 3 * std::size_t(i)] = std::uint8_t(1 + i);
        ids[sos + 3 + 2 * std::size_t(i)] = std::uint8_t(1 + i);
    }
    const std::optional<pic::Image> by_marker = decode(ids);
    ASSERT_TRUE(by_marker);
    EXPECT_TRUE(same_pixels(*rgb, *by_marker));
    // Transform 1 means YCbCr: the same samples give other colours.
    Buf ycc = ids;
    ycc[offset_of(ycc, 0xEE) + 2 + 11] = 1;
    const std::optional<pic::Image> as_ycc = decode(ycc);
    ASSERT_TRUE(as_ycc);
    EXPECT_FALSE(same_pixels(*rgb, *as_ycc));
    // Without the marker, ids 1,2,3 mean YCbCr too.
    Buf plain = join(without(split(ids), 0xEE));
    const std::optional<pic::Image> guessed = decode(plain);
    ASSERT_TRUE(guessed);
    EXPECT_TRUE(same_pixels(*as_ycc, *guessed));
}

// ---------------------------------------------------------------------------
// Damaged data

// Entropy data that runs out leaves the rest of the picture mid-grey, as if
// the missing coefficients were zero; what was there decodes normally.
TEST(JpegTruncated, MissingDataIsGreyAndTheTopIsIntact) {
    const Buf f = fixture("s444_64x48");
    const std::optional<Pnm> ref = parse_pnm(read_file(kFixtures / "s444_64x48.pnm"));
    ASSERT_TRUE(ref);
    const std::size_t sos = offset_of(f, 0xDA);
    const Buf cut(f.begin(), f.begin() + std::ptrdiff_t(sos + (f.size() - sos) / 2));
    const std::optional<pic::Image> img = decode(cut);
    ASSERT_TRUE(img);
    ASSERT_EQ(img->width, 64);
    ASSERT_EQ(img->height, 48);
    for (int x = 0; x < 64; ++x)
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(img->row(0)[x * 3 + (2 - c)], ref->pixels[std::size_t(x) * 3 + std::size_t(c)], 1) << x;
    const std::uint8_t* last = img->row(47) + 63 * 3;
    EXPECT_EQ(last[0], 128);
    EXPECT_EQ(last[1], 128);
    EXPECT_EQ(last[2], 128);
}

// Restart intervals whose markers are missing, or a restart interval far
// longer than the picture, still give a picture of the declared size.
TEST(JpegTruncated, RestartIntervalsWithoutMarkers) {
    Buf f = fixture("restart_mcu_64x48");
    std::vector<Segment> segs = split(f);
    for (Segment& s : segs) {
        if (s.marker != 0xDA) continue;
        Buf kept;
        for (std::size_t i = 0; i < s.bytes.size(); ++i) {
            if (i > 4 && s.bytes[i] == 0xFF && i + 1 < s.bytes.size() && s.bytes[i + 1] >= 0xD0 &&
                s.bytes[i + 1] <= 0xD7) {
                ++i;
                continue;
            }
            kept.push_back(s.bytes[i]);
        }
        s.bytes = kept;
    }
    const std::optional<pic::Image> stripped = decode(join(segs));
    ASSERT_TRUE(stripped);
    EXPECT_EQ(stripped->width, 64);
    Buf longer = f;
    put16(longer, offset_of(longer, 0xDD) + 2, 65535);
    const std::optional<pic::Image> huge = decode(longer);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->height, 48);
}

// Every fixture cut at every length, and with random damage: never a crash
// or an out-of-bounds access (the native build runs under ASan and UBSan),
// and any picture returned is consistent.
const char* const kAllFixtures[] = {
    "gray_48x40",        "gray_h2v2_35x21",   "s444_64x48",         "s422_64x48",
    "s420_64x48",        "s440_64x48",        "s411_64x48",         "mixed_40x40",
    "size_1x1_420",      "size_17x9_420",     "size_33x31_440",     "restart_mcu_64x48",
    "restart_row_64x48", "restart_gray_48x40", "adobe_rgb_40x30",   "optimized_64x48",
    "q100_64x48",        "multiscan_64x48",   "multiscan_chroma_64x48", "dqt16_48x40",
    "exif_64x48",        "progressive_64x48", "arithmetic_64x48",
};

void damage(const Buf& f, std::uint32_t seed, int trials) {
    std::mt19937 rng(seed);
    for (int t = 0; t < trials; ++t) {
        Buf g = f;
        const int flips = 1 + int(rng() % 4);
        for (int i = 0; i < flips; ++i) {
            // Half the damage goes to the headers, where the parser decides.
            const std::size_t span = (t % 2 == 0) ? std::min<std::size_t>(g.size(), 700) : g.size();
            const std::size_t at = rng() % span;
            if (rng() % 3 == 0) g[at] = std::uint8_t(rng());
            else g[at] ^= std::uint8_t(1u << (rng() % 8));
        }
        expect_sane(decode(g));
        if (testing::Test::HasFatalFailure()) {
            ADD_FAILURE() << "trial " << t;
            return;
        }
    }
}

class JpegHostile : public testing::TestWithParam<const char*> {};

TEST_P(JpegHostile, TruncatedAtEveryLength) {
    const Buf f = fixture(GetParam());
    for (std::size_t n = 0; n < f.size(); ++n) {
        const Buf cut(f.begin(), f.begin() + std::ptrdiff_t(n));
        expect_sane(decode(cut));
        if (HasFatalFailure()) FAIL() << "cut at " << n;
    }
}

TEST_P(JpegHostile, RandomDamage) { damage(fixture(GetParam()), 12345, 600); }

INSTANTIATE_TEST_SUITE_P(Fixtures, JpegHostile, testing::ValuesIn(kAllFixtures),
                         [](const testing::TestParamInfo<const char*>& i) { return std::string(i.param); });

TEST(JpegHostileAssets, BuiltInPicturesTruncatedAndDamaged) {
    const std::vector<fs::path> files = builtin_jpegs();
    if (files.empty()) GTEST_SKIP() << "no pictures/assets/*.jpg yet";
    std::uint32_t seed = 1;
    for (const fs::path& p : files) {
        SCOPED_TRACE(p.filename().string());
        const Buf f = read_file(p);
        for (int i = 1; i <= 16; ++i) {
            const Buf cut(f.begin(), f.begin() + std::ptrdiff_t(f.size() * std::size_t(i) / 17));
            expect_sane(decode(cut));
        }
        damage(f, seed++, 16);
    }
}

// Hand-made hostile headers around a real scan.
TEST(JpegHostileHeaders, HostileTables) {
    const Buf f = fixture("s420_64x48");
    // A full Huffman table of long codes (255 of 15 bits, one of 16): legal,
    // but the scan decodes as nonsense through the slow path.
    {
        std::vector<Segment> segs = split(f);
        Buf body(17 + 256, 0);
        body[0] = 0x10;  // AC table 0
        body[15] = 255;  // 255 codes of 15 bits
        body[16] = 1;
        for (int i = 0; i < 256; ++i) body[17 + std::size_t(i)] = std::uint8_t(i);
        const auto sos = std::find_if(segs.begin(), segs.end(), [](const Segment& s) { return s.marker == 0xDA; });
        segs.insert(sos, make_segment(0xC4, body));
        expect_sane(decode(join(segs)));
    }
    // A quantisation table of 65535s with 16-bit entries.
    {
        std::vector<Segment> segs = split(f);
        Buf body(1 + 128, 0xFF);
        body[0] = 0x10;
        const auto sos = std::find_if(segs.begin(), segs.end(), [](const Segment& s) { return s.marker == 0xDA; });
        segs.insert(sos, make_segment(0xDB, body));
        expect_sane(decode(join(segs)));
    }
    // The same scan repeated many times: work stays bounded.
    {
        std::vector<Segment> segs = split(f);
        const Segment sos = *find(segs, 0xDA);
        segs.pop_back();  // EOI
        for (int i = 0; i < 2000; ++i) segs.push_back(sos);
        const std::optional<pic::Image> img = decode(join(segs));
        ASSERT_TRUE(img);
        expect_sane(img);
    }
}

// ---------------------------------------------------------------------------
// The IDCT in use (vector code where available) equals the portable one on
// blocks like those of real pictures: the forward DCT of random 8x8 pixel
// blocks (smooth, noisy, extreme), quantised with random steps.
TEST(JpegIdct, VectorMatchesPortableOnRandomBlocks) {
    std::mt19937 rng(7);
    const double pi = 3.14159265358979323846;
    double basis[8][8];
    for (int u = 0; u < 8; ++u)
        for (int x = 0; x < 8; ++x) basis[u][x] = (u ? 0.5 : 0.5 / std::sqrt(2.0)) * std::cos((2 * x + 1) * u * pi / 16);
    for (int t = 0; t < 20000; ++t) {
        double px[8][8];
        const int kind = t % 4;
        const int base = int(rng() % 256);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                int v;
                if (kind == 0) v = int(rng() % 256);                       // noise
                else if (kind == 1) v = ((x + y + t) % 2) ? 255 : 0;       // extreme checker
                else if (kind == 2) v = base + int(rng() % 9) - 4;          // nearly flat
                else v = (x * 37 + y * 11 + base) % 256;                    // ramps and edges
                px[y][x] = std::clamp(v, 0, 255) - 128.0;
            }
        std::int16_t coef[64];
        const int step_max = (t % 5 == 0) ? 1 : 1 + int(rng() % 120);
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u) {
                double sum = 0;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x) sum += px[y][x] * basis[v][y] * basis[u][x];
                const int q = 1 + int(rng() % std::uint32_t(step_max));
                coef[v * 8 + u] = std::int16_t(std::lround(sum / q) * q);
            }
        std::uint8_t a[8 * 8], b[8 * 8];
        pic::jpeg_detail::idct_portable(coef, a, 8);
        pic::jpeg_detail::idct_used(coef, b, 8);
        ASSERT_EQ(0, std::memcmp(a, b, sizeof a)) << "block " << t;
    }
}

// A block with only a DC term comes out flat, at the level the transform's
// rounding gives: (DC * 4 + 16) / 32 + 128.
TEST(JpegIdct, DcOnlyLevels) {
    for (int dc : {-1024, -100, -5, 0, 3, 77, 1016}) {
        std::int16_t coef[64] = {};
        coef[0] = std::int16_t(dc);
        std::uint8_t out[64];
        pic::jpeg_detail::idct_portable(coef, out, 8);
        const int want = std::clamp(((dc * 4 + 16) >> 5) + 128, 0, 255);
        for (std::uint8_t v : out) ASSERT_EQ(v, want) << dc;
    }
}

}  // namespace
