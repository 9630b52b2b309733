// Damaged and hostile input through decode_any: nothing may crash (the
// native build runs under ASan and UBSan), and nothing may ask for more
// memory than the limits allow.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>

#include "tests/native/picture_fixtures.h"
#include "toolkit/picture/image.h"

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // operator delete below is malloc-based on purpose

// Every allocation in this program goes through here, so a decoder that
// asks for too much is caught even when the allocation itself succeeds.
namespace {
std::atomic<std::size_t> largest_request{0};
void note(std::size_t n) {
    std::size_t seen = largest_request.load(std::memory_order_relaxed);
    while (n > seen && !largest_request.compare_exchange_weak(seen, n, std::memory_order_relaxed)) {
    }
}
}  // namespace

void* operator new(std::size_t n) {
    note(n);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

namespace fs = std::filesystem;
using picture_test::read_bytes;

// The biggest single block a decoder may need: a full-size 24-bit picture.
constexpr std::size_t kLargestAllowed =
    pic::Image::stride_for(pic::kMaxSide) * std::size_t(pic::kMaxPixels / pic::kMaxSide);

// Checks that a decoded result is self-consistent and within the limits.
void check(const std::optional<pic::Animation>& a, const std::string& what) {
    if (!a) return;
    ASSERT_FALSE(a->frames.empty()) << what;
    for (const pic::Frame& f : a->frames) {
        const pic::Image& im = f.image;
        ASSERT_GT(im.width, 0) << what;
        ASSERT_GT(im.height, 0) << what;
        ASSERT_LE(im.width, pic::kMaxSide) << what;
        ASSERT_LE(im.height, pic::kMaxSide) << what;
        ASSERT_LE(std::int64_t(im.width) * im.height, pic::kMaxPixels) << what;
        ASSERT_EQ(im.bgr.size(), im.stride() * std::size_t(im.height)) << what;
        ASSERT_TRUE(im.alpha.empty() || im.alpha.size() == std::size_t(im.width) * std::size_t(im.height)) << what;
        ASSERT_EQ(im.width, a->width) << what;
        ASSERT_EQ(im.height, a->height) << what;
    }
}

void decode_checked(const std::vector<std::uint8_t>& data, const std::string& what) {
    largest_request = 0;
    check(pic::decode_any(data), what);
    (void)pic::decode_still(data);
    ASSERT_LE(largest_request.load(), kLargestAllowed) << what;
}

std::vector<fs::path> files_under(const fs::path& dir) {
    std::vector<fs::path> out;
    if (!fs::is_directory(dir)) return out;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

// Cuts and bit flips; fewer for big files, so the whole run stays short.
void damage_and_decode(const fs::path& p) {
    const auto data = read_bytes(p);
    const std::string name = p.filename().string();
    if (data.empty()) return;
    decode_checked(data, name);
    const std::size_t n = data.size();
    const std::size_t variants = std::clamp<std::size_t>(400000 / n, 12, 300);

    // Every cut inside the headers, then evenly spread ones.
    for (std::size_t cut = 0; cut < std::min<std::size_t>(n, 64); ++cut)
        decode_checked({data.begin(), data.begin() + std::ptrdiff_t(cut)}, name + " cut at " + std::to_string(cut));
    for (std::size_t k = 1; k <= variants; ++k) {
        const std::size_t cut = n * k / (variants + 1);
        decode_checked({data.begin(), data.begin() + std::ptrdiff_t(cut)}, name + " cut at " + std::to_string(cut));
    }

    // A fixed pseudo-random sequence, half of it aimed at the first 128 bytes.
    std::uint32_t seed = 2463534242u;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    };
    auto copy = data;
    for (std::size_t k = 0; k < variants; ++k) {
        const std::size_t at = (k % 2 ? next() % n : next() % std::min<std::size_t>(n, 128));
        const std::uint8_t old = copy[at];
        const std::uint32_t how = next() % 4;
        copy[at] = how == 0 ? 0xFF : how == 1 ? 0x00 : std::uint8_t(old ^ (1u << (next() % 8)));
        decode_checked(copy, name + " changed at " + std::to_string(at));
        copy[at] = old;
    }
}

TEST(Robustness, BuiltInPicturesDamaged) {
    const auto files = files_under(fs::path(GLIMBO_SOURCE_DIR) / "pictures" / "assets");
    if (files.empty()) GTEST_SKIP() << "no built-in pictures";
    for (const fs::path& p : files) damage_and_decode(p);
}

TEST(Robustness, FixturesDamaged) {
    const auto files = files_under(fs::path(GLIMBO_SOURCE_DIR) / "tests" / "fixtures");
    ASSERT_GT(files.size(), 20u);
    for (const fs::path& p : files) {
        const std::string ext = p.extension().string();
        if (ext == ".rgb" || ext == ".rgba" || ext == ".sh") continue;
        damage_and_decode(p);
    }
}

void put16(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v) {
    f[at] = std::uint8_t(v);
    f[at + 1] = std::uint8_t(v >> 8);
}
void put32(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = std::uint8_t(v >> (8 * i));
}

// Hand-made headers that lie about sizes, offsets and counts.
TEST(Robustness, HostileHeaders) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> data;
    };
    std::vector<Case> cases;

    std::vector<std::uint8_t> bmp(54 + 16, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(bmp, 10, 54);
    put32(bmp, 14, 40);
    put32(bmp, 18, 2);
    put32(bmp, 22, 2);
    put16(bmp, 26, 1);
    put16(bmp, 28, 24);
    auto bmp_with = [&](std::size_t at, std::uint32_t v, int width = 4) {
        auto f = bmp;
        if (width == 4) put32(f, at, v); else put16(f, at, v);
        return f;
    };
    cases.push_back({"bmp absurd width", bmp_with(18, 0x7FFFFFFF)});
    cases.push_back({"bmp absurd height", bmp_with(22, 0x7FFFFFFF)});
    cases.push_back({"bmp negative width", bmp_with(18, 0xFFFFFFFE)});
    cases.push_back({"bmp most negative height", bmp_with(22, 0x80000000)});
    cases.push_back({"bmp offset past the end", bmp_with(10, 0xFFFFFFFF)});
    cases.push_back({"bmp offset at the end", bmp_with(10, std::uint32_t(bmp.size()))});
    cases.push_back({"bmp header size huge", bmp_with(14, 0xFFFFFFF0)});
    cases.push_back({"bmp 8 bits, colour count huge", [&] {
        auto f = bmp_with(28, 8, 2);
        put32(f, 46, 0xFFFFFFFF);
        return f;
    }()});
    cases.push_back({"bmp bitfields masks past the end", [&] {
        auto f = bmp_with(28, 32, 2);
        put32(f, 30, 3);
        f.resize(56);
        return f;
    }()});
    cases.push_back({"bmp bitfields all ones", [&] {
        auto f = bmp_with(28, 32, 2);
        put32(f, 30, 3);
        f.resize(54 + 12 + 16);
        put32(f, 54, 0xFFFFFFFF);
        put32(f, 58, 0xFFFFFFFF);
        put32(f, 62, 0x80000001);
        put32(f, 10, 66);
        return f;
    }()});

    std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0};
    ico.resize(6 + 16 + 40, 0);
    put32(ico, 14, 0xFFFFFFFF);  // bytes in the entry
    put32(ico, 18, 22);
    put32(ico, 22, 40);
    put32(ico, 26, 0x7FFFFFFF);
    put32(ico, 30, 0x7FFFFFFF);
    put16(ico, 36, 32);
    cases.push_back({"icon absurd size", ico});
    auto ico_many = ico;
    put16(ico_many, 4, 0xFFFF);
    cases.push_back({"icon claims 65535 entries", ico_many});
    auto ico_far = ico;
    put32(ico_far, 18, 0xFFFFFFF0);
    cases.push_back({"icon entry past the end", ico_far});

    std::vector<std::uint8_t> pcx(128 + 16, 0xC1);
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    std::fill(pcx.begin() + 4, pcx.begin() + 128, 0);
    put16(pcx, 8, 0xFFFF);
    put16(pcx, 10, 0xFFFF);
    put16(pcx, 66, 0xFFFF);
    pcx[65] = 1;
    cases.push_back({"pcx absurd size", pcx});
    auto pcx_inverted = pcx;
    put16(pcx_inverted, 4, 10);
    put16(pcx_inverted, 8, 2);
    cases.push_back({"pcx right edge before left", pcx_inverted});
    auto pcx_planes = pcx;
    put16(pcx_planes, 8, 3);
    put16(pcx_planes, 10, 3);
    pcx_planes[65] = 255;
    cases.push_back({"pcx 255 planes", pcx_planes});

    auto gif = [](std::uint16_t sw, std::uint16_t sh, std::uint16_t w, std::uint16_t h, std::uint8_t min_size,
                  std::vector<std::uint8_t> lzw) {
        std::vector<std::uint8_t> f = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
        put16(f, 6, sw);
        put16(f, 8, sh);
        const std::uint8_t desc[10] = {0x2C, 0, 0, 0, 0, std::uint8_t(w), std::uint8_t(w >> 8),
                                       std::uint8_t(h), std::uint8_t(h >> 8), 0};
        f.insert(f.end(), desc, desc + 10);
        f.push_back(min_size);
        f.push_back(std::uint8_t(lzw.size()));
        f.insert(f.end(), lzw.begin(), lzw.end());
        f.push_back(0);
        f.push_back(0x3B);
        return f;
    };
    cases.push_back({"gif codes out of range", gif(4, 4, 4, 4, 2, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})});
    cases.push_back({"gif indices beyond the table", gif(4, 4, 4, 4, 8, std::vector<std::uint8_t>(40, 0xFE))});
    cases.push_back({"gif image far bigger than the screen", gif(2, 2, 65535, 65535, 2, {0x8C, 0x2D})});
    cases.push_back({"gif absurd screen", gif(65535, 65535, 1, 1, 2, {0x4C, 0x01})});
    cases.push_back({"gif code size 11", gif(4, 4, 4, 4, 11, std::vector<std::uint8_t>(100, 0xA5))});
    cases.push_back({"gif code size 200", gif(4, 4, 4, 4, 200, {1, 2, 3})});
    cases.push_back({"gif sub-block longer than the file", [&] {
        auto f = gif(4, 4, 4, 4, 2, {0x8C, 0x2D});
        f[f.size() - 5] = 200;
        return f;
    }()});
    // Many frames on a big screen: the frame budget, not the memory, runs out.
    cases.push_back({"gif many frames on a big screen", [&] {
        auto f = gif(8000, 8000, 1, 1, 2, {0x4C, 0x01});
        f.pop_back();
        const std::vector<std::uint8_t> frame(f.begin() + 19, f.end());
        for (int i = 0; i < 40; ++i) f.insert(f.end(), frame.begin(), frame.end());
        f.push_back(0x3B);
        return f;
    }()});

    for (const Case& c : cases) decode_checked(c.data, c.what);
}

}  // namespace
