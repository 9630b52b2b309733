// Baseline JPEG decoding: sequential Huffman-coded frames (SOF0, and SOF1
// with 8-bit samples) with one or three components.
//
// Not decoded, std::nullopt instead: progressive frames (SOF2, SOF6),
// lossless frames (SOF3, SOF7), arithmetic coding (SOF9 and up), 12-bit
// samples, and two- or four-component (CMYK/YCCK) pictures.
//
// The output tracks the common reference decoder closely: the IDCT is the
// Loeffler-Ligtenberg-Moschytz factorisation in 13-bit fixed point with two
// extra bits kept between the passes, chroma is upsampled with the triangle
// filter and the colour conversion uses the JFIF constants in 16-bit fixed
// point.
//
// Hostile input: every read is bounded, entropy data past its end reads as
// zero bits, sizes are capped by kMaxSide/kMaxPixels and by what the file
// could possibly encode, and the number of blocks decoded over all scans is
// capped, so the work stays proportional to the file size.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "toolkit/picture/image.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define GLIMBO_JPEG_SSE2 1
#endif

namespace pic {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;
using i16 = std::int16_t;
using i32 = std::int32_t;
using i64 = std::int64_t;

// ---------------------------------------------------------------------------
// Tables

// Natural (row-major) index of each zig-zag position. The 16 entries past 63
// catch runs that overshoot the block in corrupt data; they all land on a
// scratch slot (64) that is never read.
constexpr std::array<u8, 80> make_zigzag() {
    std::array<u8, 80> z{};
    int k = 0;
    for (int s = 0; s <= 14; ++s) {
        const int lo = s < 8 ? 0 : s - 7;
        const int hi = s < 8 ? s : 7;
        if (s % 2 == 1) {
            for (int row = lo; row <= hi; ++row) z[k++] = u8(row * 8 + (s - row));
        } else {
            for (int row = hi; row >= lo; --row) z[k++] = u8(row * 8 + (s - row));
        }
    }
    for (; k < 80; ++k) z[k] = 64;
    return z;
}
constexpr std::array<u8, 80> kZigzag = make_zigzag();

// YCbCr -> RGB in 16-bit fixed point: R = Y + 1.402 Cr', G = Y - 0.34414 Cb'
// - 0.71414 Cr', B = Y + 1.772 Cb', with Cb' = Cb - 128, Cr' = Cr - 128.
constexpr i32 kFix1_402 = 91881;    // round(1.40200 * 65536)
constexpr i32 kFix1_772 = 116130;   // round(1.77200 * 65536)
constexpr i32 kFix0_71414 = 46802;  // round(0.71414 * 65536)
constexpr i32 kFix0_34414 = 22554;  // round(0.34414 * 65536)
constexpr i32 kHalf16 = 1 << 15;

struct ColourTables {
    std::array<i32, 256> cr_r{}, cb_b{}, cr_g{}, cb_g{};
};
constexpr ColourTables make_colour_tables() {
    ColourTables t;
    for (int i = 0; i < 256; ++i) {
        const i32 x = i - 128;
        t.cr_r[i] = (kFix1_402 * x + kHalf16) >> 16;
        t.cb_b[i] = (kFix1_772 * x + kHalf16) >> 16;
        t.cr_g[i] = -kFix0_71414 * x;
        t.cb_g[i] = -kFix0_34414 * x + kHalf16;
    }
    return t;
}
constexpr ColourTables kColour = make_colour_tables();

// Clamps -384..639 to 0..255 by lookup (index + 384).
constexpr std::array<u8, 1024> make_clamp() {
    std::array<u8, 1024> c{};
    for (int i = 0; i < 1024; ++i) {
        const int v = i - 384;
        c[i] = u8(v < 0 ? 0 : v > 255 ? 255 : v);
    }
    return c;
}
constexpr std::array<u8, 1024> kClamp = make_clamp();
inline u8 clamp_px(int v) { return kClamp[(v + 384) & 1023]; }

inline u8 sat8(int v) { return u8(v < 0 ? 0 : v > 255 ? 255 : v); }

// ---------------------------------------------------------------------------
// Huffman tables

constexpr int kFastBits = 9;
constexpr int kFastSize = 1 << kFastBits;

struct HuffTable {
    bool defined = false;
    // Codes of up to kFastBits bits: (length << 8) | symbol; 0 = longer code.
    std::array<u16, kFastSize> fast{};
    // AC only: when code and magnitude bits together fit in kFastBits, the
    // whole coefficient: (value << 16) | (run << 8) | total length; else 0.
    std::array<i32, kFastSize> fast_ac{};
    // For longer codes: limit[l] is the first 16-bit left-aligned code that
    // is past the codes of length l; offset[l] maps a code to its symbol.
    std::array<u32, 17> limit{};
    std::array<i32, 17> offset{};
    std::array<u8, 256> symbols{};
};

inline int extend(u32 x, int s) {
    // Magnitude category s: values with the top bit clear are negative.
    return int(x) - int(((x >> (s - 1)) - 1) & ((1u << s) - 1));
}

// Builds a table from the 16 counts and the symbols; false when the counts
// describe more codes than fit.
bool build_huffman(HuffTable& t, const u8* counts, const u8* syms, int n) {
    t = HuffTable{};
    std::copy(syms, syms + n, t.symbols.begin());
    u32 code = 0;
    int k = 0;
    for (int l = 1; l <= 16; ++l) {
        t.offset[l] = k - int(code);
        for (int i = 0; i < counts[l - 1]; ++i, ++k, ++code) {
            if (code >= (1u << l)) return false;  // more codes than l bits hold
            if (l <= kFastBits) {
                const u32 first = code << (kFastBits - l);
                const u32 count = 1u << (kFastBits - l);
                for (u32 j = 0; j < count; ++j) t.fast[first + j] = u16((l << 8) | t.symbols[k]);
            }
        }
        t.limit[l] = code << (16 - l);
        code <<= 1;
    }
    for (int idx = 0; idx < kFastSize; ++idx) {
        const int e = t.fast[idx];
        if (!e) continue;
        const int len = e >> 8;
        const int rs = e & 255;
        const int run = rs >> 4;
        const int s = rs & 15;
        if (s == 0 || len + s > kFastBits) continue;
        const u32 x = (u32(idx) >> (kFastBits - len - s)) & ((1u << s) - 1);
        const int v = extend(x, s);
        t.fast_ac[idx] = i32(u32(v) << 16) | (run << 8) | (len + s);
    }
    t.defined = true;
    return true;
}

// ---------------------------------------------------------------------------
// Bit reading over unstuffed entropy data (followed by at least 8 zero
// bytes), so a peek is one unaligned load and never runs off the end.

inline u64 load_be64(const u8* p) {
    u64 v;
    std::memcpy(&v, p, 8);
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_bswap64(v);
#else
    v = ((v & 0x00FF00FF00FF00FFull) << 8) | ((v >> 8) & 0x00FF00FF00FF00FFull);
    v = ((v & 0x0000FFFF0000FFFFull) << 16) | ((v >> 16) & 0x0000FFFF0000FFFFull);
    return (v << 32) | (v >> 32);
#endif
}

struct Bits {
    const u8* data = nullptr;
    std::size_t size = 0;  // real bytes; data[size .. size + 7] are zero
    std::size_t next = 0;  // byte index of the next load
    u64 acc = 0;           // `count` valid bits at the top, zeros below
    unsigned count = 0;

    // Tops the buffer up to at least 56 bits without branching. Bytes
    // loaded beyond the whole ones counted are the stream's own next bytes,
    // so loading them again later changes nothing.
    void refill() {
        acc |= load_be64(data + std::min(next, size)) >> count;
        next += (63 - count) >> 3;
        count |= 56;
    }
    void skip(unsigned n) {
        acc <<= n;
        count -= n;
    }
    std::size_t bit_position() const { return next * 8 - count; }
    void seek(std::size_t byte) {
        next = byte;
        acc = 0;
        count = 0;
    }
};

// Decodes one symbol from the top bits of w; returns it and sets len.
inline int decode_symbol(const HuffTable& t, u64 w, unsigned& len) {
    const int e = t.fast[w >> (64 - kFastBits)];
    if (e) {
        len = unsigned(e >> 8);
        return e & 255;
    }
    const u32 c16 = u32(w >> 48);
    for (int l = kFastBits + 1; l <= 16; ++l) {
        if (c16 < t.limit[l]) {
            len = unsigned(l);
            return t.symbols[u32(int(c16 >> (16 - l)) + t.offset[l]) & 255];
        }
    }
    len = 16;  // no such code: corrupt data, skip ahead
    return 0;
}

// Dequantized coefficients of one block, natural order, into coef (whose
// AC part is zero on entry). Returns false for a block with no AC terms.
// q has 80 entries, zeros past 63, like kZigzag.
inline bool decode_block(Bits& bits, const HuffTable& dc, const HuffTable& ac, const i32* q, int& pred, i16* coef) {
    bits.refill();
    unsigned len;
    const unsigned s = unsigned(decode_symbol(dc, bits.acc, len)) & 15;
    bits.skip(len);
    int diff = 0;
    if (s) {
        diff = extend(u32(bits.acc >> (64 - s)), int(s));
        bits.skip(s);
    }
    pred = std::clamp(pred + diff, -32768, 32767);
    coef[0] = i16(std::clamp(pred * q[0], -32768, 32767));
    bool any = false;
    for (int k = 1; k < 64;) {
        bits.refill();
        const i32 f = ac.fast_ac[bits.acc >> (64 - kFastBits)];
        int v;
        if (f) {
            k += (f >> 8) & 15;
            bits.skip(unsigned(f & 255));
            v = f >> 16;
        } else {
            const int rs = decode_symbol(ac, bits.acc, len);
            bits.skip(len);
            const unsigned size = unsigned(rs) & 15;
            if (size == 0) {
                if (rs != 0xF0) break;  // end of block
                k += 16;  // sixteen zeros
                continue;
            }
            k += rs >> 4;
            v = extend(u32(bits.acc >> (64 - size)), int(size));
            bits.skip(size);
        }
        // k <= 78 here: an overshooting run lands on the scratch slot.
        coef[kZigzag[std::size_t(k)]] = i16(std::clamp(v * q[k], -32768, 32767));
        any = true;
        ++k;
    }
    return any;
}

// ---------------------------------------------------------------------------
// Inverse DCT

// 13-bit fixed-point constants: sqrt(2) times sums of c_k = cos(k pi / 16).
constexpr i64 kC0_298631336 = 2446;   // sqrt2 (-c1 + c3 + c5 - c7)
constexpr i64 kC0_390180644 = 3196;   // sqrt2 (c3 - c5)
constexpr i64 kC0_541196100 = 4433;   // sqrt2 c6
constexpr i64 kC0_765366865 = 6270;   // sqrt2 (c2 - c6)
constexpr i64 kC0_899976223 = 7373;   // sqrt2 (c3 - c7)
constexpr i64 kC1_175875602 = 9633;   // sqrt2 c3
constexpr i64 kC1_501321110 = 12299;  // sqrt2 (c1 + c3 - c5 - c7)
constexpr i64 kC1_847759065 = 15137;  // sqrt2 (c2 + c6)
constexpr i64 kC1_961570560 = 16069;  // sqrt2 (c3 + c5)
constexpr i64 kC2_053119869 = 16819;  // sqrt2 (c1 + c3 - c5 + c7)
constexpr i64 kC2_562915447 = 20995;  // sqrt2 (c1 + c3)
constexpr i64 kC3_072711026 = 25172;  // sqrt2 (c1 + c3 + c5 - c7)
constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;

// One 8-point pass. `shift` drops the fixed-point scale; `bias` rounds.
// The 64-bit arithmetic cannot overflow for any 16-bit input.
struct Idct1d {
    i64 o[8];
    Idct1d(i64 x0, i64 x1, i64 x2, i64 x3, i64 x4, i64 x5, i64 x6, i64 x7) {
        // Even half.
        const i64 z1 = (x2 + x6) * kC0_541196100;
        const i64 t2 = z1 - x6 * kC1_847759065;
        const i64 t3 = z1 + x2 * kC0_765366865;
        const i64 t0 = (x0 + x4) * (i64(1) << kConstBits);
        const i64 t1 = (x0 - x4) * (i64(1) << kConstBits);
        const i64 e10 = t0 + t3, e13 = t0 - t3, e11 = t1 + t2, e12 = t1 - t2;
        // Odd half.
        const i64 a = x7 + x1, b = x5 + x3, c = x7 + x3, d = x5 + x1;
        const i64 z5 = (c + d) * kC1_175875602;
        const i64 p0 = x7 * kC0_298631336, p1 = x5 * kC2_053119869;
        const i64 p2 = x3 * kC3_072711026, p3 = x1 * kC1_501321110;
        const i64 za = -a * kC0_899976223, zb = -b * kC2_562915447;
        const i64 zc = -c * kC1_961570560 + z5, zd = -d * kC0_390180644 + z5;
        const i64 q0 = p0 + za + zc, q1 = p1 + zb + zd, q2 = p2 + zb + zc, q3 = p3 + za + zd;
        o[0] = e10 + q3;
        o[7] = e10 - q3;
        o[1] = e11 + q2;
        o[6] = e11 - q2;
        o[2] = e12 + q1;
        o[5] = e12 - q1;
        o[3] = e13 + q0;
        o[4] = e13 - q0;
    }
};

// Dequantized coefficients (natural order) to 8x8 samples.
void idct_scalar(const i16* in, u8* out, std::ptrdiff_t stride) {
    i32 ws[64];
    constexpr int s1 = kConstBits - kPass1Bits;
    constexpr i64 r1 = i64(1) << (s1 - 1);
    for (int c = 0; c < 8; ++c) {
        const i16* p = in + c;
        if ((p[8] | p[16] | p[24] | p[32] | p[40] | p[48] | p[56]) == 0) {
            const i32 dc = i32(p[0]) * (1 << kPass1Bits);
            for (int r = 0; r < 8; ++r) ws[r * 8 + c] = dc;
            continue;
        }
        const Idct1d t(p[0], p[8], p[16], p[24], p[32], p[40], p[48], p[56]);
        for (int r = 0; r < 8; ++r) ws[r * 8 + c] = i32((t.o[r] + r1) >> s1);
    }
    constexpr int s2 = kConstBits + kPass1Bits + 3;
    constexpr i64 r2 = i64(1) << (s2 - 1);
    for (int r = 0; r < 8; ++r) {
        const i32* w = ws + r * 8;
        u8* o = out + r * stride;
        if ((w[1] | w[2] | w[3] | w[4] | w[5] | w[6] | w[7]) == 0) {
            const u8 v = sat8(((w[0] + (1 << (kPass1Bits + 2))) >> (kPass1Bits + 3)) + 128);
            std::memset(o, v, 8);
            continue;
        }
        const Idct1d t(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
        for (int c = 0; c < 8; ++c) o[c] = sat8(int((t.o[c] + r2) >> s2) + 128);
    }
}

#if GLIMBO_JPEG_SSE2
// The same transform eight lanes at a time. Each product of the flow graph
// is regrouped into sums of two 16x16-bit products per multiply-add, with
// constants that fit in 16 bits; all sums are exact in 32 bits for
// coefficients of real pictures, so the result equals idct_scalar there.
inline __m128i pair(int a, int b) {
    return _mm_set1_epi32(int((u32(u16(i16(b))) << 16) | u16(i16(a))));
}

inline void transpose8(__m128i* r) {
    const __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]), a1 = _mm_unpackhi_epi16(r[0], r[1]);
    const __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]), a3 = _mm_unpackhi_epi16(r[2], r[3]);
    const __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]), a5 = _mm_unpackhi_epi16(r[4], r[5]);
    const __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]), a7 = _mm_unpackhi_epi16(r[6], r[7]);
    const __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
    const __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
    const __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
    const __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
    r[0] = _mm_unpacklo_epi64(b0, b4);
    r[1] = _mm_unpackhi_epi64(b0, b4);
    r[2] = _mm_unpacklo_epi64(b1, b5);
    r[3] = _mm_unpackhi_epi64(b1, b5);
    r[4] = _mm_unpacklo_epi64(b2, b6);
    r[5] = _mm_unpackhi_epi64(b2, b6);
    r[6] = _mm_unpacklo_epi64(b3, b7);
    r[7] = _mm_unpackhi_epi64(b3, b7);
}

// One pass over the lanes of x[0..7]; results are (sum + bias) >> shift,
// saturated to 16 bits.
template <int Shift>
inline void idct_pass_sse2(__m128i* x, __m128i bias) {
    const __m128i k_one = pair(1 << kConstBits, 1 << kConstBits);
    const __m128i k_one_neg = pair(1 << kConstBits, -(1 << kConstBits));
    const __m128i k_t2 = pair(int(kC0_541196100), int(kC0_541196100 - kC1_847759065));
    const __m128i k_t3 = pair(int(kC0_541196100 + kC0_765366865), int(kC0_541196100));
    // Odd half: q_i = P . (x1, x3) + Q . (x5, x7).
    const __m128i k_q0p = pair(int(kC1_175875602 - kC0_899976223), int(kC1_175875602 - kC1_961570560));
    const __m128i k_q0q = pair(int(kC1_175875602), int(kC0_298631336 - kC0_899976223 - kC1_961570560 + kC1_175875602));
    const __m128i k_q1p = pair(int(kC1_175875602 - kC0_390180644), int(kC1_175875602 - kC2_562915447));
    const __m128i k_q1q = pair(int(kC2_053119869 - kC2_562915447 - kC0_390180644 + kC1_175875602), int(kC1_175875602));
    const __m128i k_q2p = pair(int(kC1_175875602), int(kC3_072711026 - kC2_562915447 - kC1_961570560 + kC1_175875602));
    const __m128i k_q2q = pair(int(kC1_175875602 - kC2_562915447), int(kC1_175875602 - kC1_961570560));
    const __m128i k_q3p = pair(int(kC1_501321110 - kC0_899976223 - kC0_390180644 + kC1_175875602), int(kC1_175875602));
    const __m128i k_q3q = pair(int(kC1_175875602 - kC0_390180644), int(kC1_175875602 - kC0_899976223));

    __m128i out[8][2];
    for (int half = 0; half < 2; ++half) {
        auto mix = [half](__m128i a, __m128i b) {
            return half == 0 ? _mm_unpacklo_epi16(a, b) : _mm_unpackhi_epi16(a, b);
        };
        const __m128i p04 = mix(x[0], x[4]);
        const __m128i p26 = mix(x[2], x[6]);
        const __m128i p13 = mix(x[1], x[3]);
        const __m128i p57 = mix(x[5], x[7]);
        const __m128i t0 = _mm_add_epi32(_mm_madd_epi16(p04, k_one), bias);
        const __m128i t1 = _mm_add_epi32(_mm_madd_epi16(p04, k_one_neg), bias);
        const __m128i t2 = _mm_madd_epi16(p26, k_t2);
        const __m128i t3 = _mm_madd_epi16(p26, k_t3);
        const __m128i e10 = _mm_add_epi32(t0, t3), e13 = _mm_sub_epi32(t0, t3);
        const __m128i e11 = _mm_add_epi32(t1, t2), e12 = _mm_sub_epi32(t1, t2);
        const __m128i q0 = _mm_add_epi32(_mm_madd_epi16(p13, k_q0p), _mm_madd_epi16(p57, k_q0q));
        const __m128i q1 = _mm_add_epi32(_mm_madd_epi16(p13, k_q1p), _mm_madd_epi16(p57, k_q1q));
        const __m128i q2 = _mm_add_epi32(_mm_madd_epi16(p13, k_q2p), _mm_madd_epi16(p57, k_q2q));
        const __m128i q3 = _mm_add_epi32(_mm_madd_epi16(p13, k_q3p), _mm_madd_epi16(p57, k_q3q));
        out[0][half] = _mm_srai_epi32(_mm_add_epi32(e10, q3), Shift);
        out[7][half] = _mm_srai_epi32(_mm_sub_epi32(e10, q3), Shift);
        out[1][half] = _mm_srai_epi32(_mm_add_epi32(e11, q2), Shift);
        out[6][half] = _mm_srai_epi32(_mm_sub_epi32(e11, q2), Shift);
        out[2][half] = _mm_srai_epi32(_mm_add_epi32(e12, q1), Shift);
        out[5][half] = _mm_srai_epi32(_mm_sub_epi32(e12, q1), Shift);
        out[3][half] = _mm_srai_epi32(_mm_add_epi32(e13, q0), Shift);
        out[4][half] = _mm_srai_epi32(_mm_sub_epi32(e13, q0), Shift);
    }
    for (int i = 0; i < 8; ++i) x[i] = _mm_packs_epi32(out[i][0], out[i][1]);
}

void idct_sse2(const i16* in, u8* out, std::ptrdiff_t stride) {
    __m128i x[8];
    for (int i = 0; i < 8; ++i) x[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(in + 8 * i));
    // Columns, keeping kPass1Bits extra bits.
    idct_pass_sse2<kConstBits - kPass1Bits>(x, _mm_set1_epi32(1 << (kConstBits - kPass1Bits - 1)));
    transpose8(x);
    // Rows, folding the +128 level shift into the rounding term.
    constexpr int s2 = kConstBits + kPass1Bits + 3;
    idct_pass_sse2<s2>(x, _mm_set1_epi32((1 << (s2 - 1)) + (128 << s2)));
    transpose8(x);
    for (int i = 0; i < 8; i += 2) {
        const __m128i px = _mm_packus_epi16(x[i], x[i + 1]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i * stride), px);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (i + 1) * stride), _mm_unpackhi_epi64(px, px));
    }
}
#endif

inline void idct(const i16* in, u8* out, std::ptrdiff_t stride) {
#if GLIMBO_JPEG_SSE2
    idct_sse2(in, out, stride);
#else
    idct_scalar(in, out, stride);
#endif
}

// A block with only its DC term: every sample is the same.
inline void idct_dc_only(int dc, u8* out, std::ptrdiff_t stride) {
    const u8 v = sat8(((dc * 4 + 16) >> 5) + 128);
    for (int r = 0; r < 8; ++r) std::memset(out + r * stride, v, 8);
}

// ---------------------------------------------------------------------------
// The decoder

struct Component {
    int id = 0;
    int h = 1, v = 1;  // sampling factors
    int tq = 0;        // quantisation table
    int td = 0, ta = 0;  // Huffman tables of the current scan
    int width = 0, height = 0;  // samples actually in the picture
    int blocks_w = 0, blocks_h = 0;  // blocks covering width x height
    int stride = 0, rows = 0;  // the plane, padded to whole MCUs
    std::vector<u8> plane;
    int pred = 0;
    // The quantisation table as it stood at the component's first scan;
    // later DQT segments may reuse the slot for other components.
    bool latched = false;
    std::array<i32, 80> quant{};  // zig-zag order, zeros past 63
};

enum class Upsample { Copy, H2V1, H1V2, H2V2, Box };

class Decoder {
public:
    explicit Decoder(Bytes data) : data_(data) {}
    std::optional<Image> run();

private:
    bool parse_sof(std::size_t at, std::size_t len);
    bool parse_dht(std::size_t at, std::size_t len);
    bool parse_dqt(std::size_t at, std::size_t len);
    void parse_app(u8 marker, std::size_t at, std::size_t len);
    // Decodes the scan whose header is at `at`; returns the offset of the
    // marker that ends its entropy data, or nullopt for a bad header.
    std::optional<std::size_t> decode_scan(std::size_t at, std::size_t len);
    std::size_t unstuff(std::size_t from);
    void decode_mcus(Component* const* comps, int n);
    std::optional<Image> output();

    Bytes data_;
    bool have_frame_ = false;
    int width_ = 0, height_ = 0;
    int hmax_ = 1, vmax_ = 1;
    int mcus_x_ = 0, mcus_y_ = 0;
    std::vector<Component> comps_;
    std::array<HuffTable, 4> dc_{}, ac_{};
    std::array<std::array<i32, 64>, 4> quant_{};
    std::array<bool, 4> quant_defined_{};
    int restart_interval_ = 0;
    bool jfif_ = false, adobe_ = false;
    int adobe_transform_ = -1;
    int scans_ = 0;
    i64 block_budget_ = 0;

    std::vector<u8> entropy_;           // unstuffed data of the current scan
    std::vector<std::size_t> restarts_;  // where each restart interval starts in it
};

inline std::size_t be16(Bytes d, std::size_t at) {
    return (std::size_t(d[at]) << 8) | d[at + 1];
}

bool Decoder::parse_sof(std::size_t at, std::size_t len) {
    if (have_frame_ || len < 6) return false;
    const int precision = data_[at];
    height_ = int(be16(data_, at + 1));
    width_ = int(be16(data_, at + 3));
    const int n = data_[at + 5];
    if (precision != 8 || width_ <= 0 || height_ <= 0) return false;  // height 0 would need DNL
    if (width_ > kMaxSide || height_ > kMaxSide || i64(width_) * height_ > kMaxPixels) return false;
    if ((n != 1 && n != 3) || len < 6 + 3 * std::size_t(n)) return false;
    comps_.resize(std::size_t(n));
    hmax_ = vmax_ = 1;
    for (int i = 0; i < n; ++i) {
        Component& c = comps_[std::size_t(i)];
        c.id = data_[at + 6 + 3 * i];
        c.h = data_[at + 7 + 3 * i] >> 4;
        c.v = data_[at + 7 + 3 * i] & 15;
        c.tq = data_[at + 8 + 3 * i];
        if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.tq > 3) return false;
        for (int j = 0; j < i; ++j)
            if (comps_[std::size_t(j)].id == c.id) return false;
        hmax_ = std::max(hmax_, c.h);
        vmax_ = std::max(vmax_, c.v);
    }
    mcus_x_ = (width_ + 8 * hmax_ - 1) / (8 * hmax_);
    mcus_y_ = (height_ + 8 * vmax_ - 1) / (8 * vmax_);
    i64 blocks = 0;
    for (Component& c : comps_) {
        // Only whole-number ratios between the sampling factors.
        if (hmax_ % c.h != 0 || vmax_ % c.v != 0) return false;
        c.width = int((i64(width_) * c.h + hmax_ - 1) / hmax_);
        c.height = int((i64(height_) * c.v + vmax_ - 1) / vmax_);
        c.blocks_w = (c.width + 7) / 8;
        c.blocks_h = (c.height + 7) / 8;
        c.stride = mcus_x_ * c.h * 8;
        c.rows = mcus_y_ * c.v * 8;
        blocks += i64(mcus_x_) * c.h * mcus_y_ * c.v;
    }
    // A complete scan spends at least two bits on every block, so a file
    // claiming far more blocks than its size allows is rejected before any
    // allocation; the slack keeps small truncated files decodable.
    if (blocks > 16 * i64(data_.size()) + 65536) return false;
    for (Component& c : comps_) {
        // Missing data decodes as mid-grey, as if all coefficients were zero.
        c.plane.assign(std::size_t(c.stride) * std::size_t(c.rows) + 32, 128);  // slack for vector reads
    }
    // Each component belongs to one scan in a sequential file; allow some
    // repetition but keep the total work bounded.
    block_budget_ = 2 * blocks;
    have_frame_ = true;
    return true;
}

bool Decoder::parse_dht(std::size_t at, std::size_t len) {
    std::size_t p = at;
    const std::size_t end = at + len;
    while (p < end) {
        if (end - p < 17) return false;
        const int tc = data_[p] >> 4;
        const int th = data_[p] & 15;
        if (tc > 1 || th > 3) return false;
        const u8* counts = &data_[p + 1];
        int n = 0;
        for (int i = 0; i < 16; ++i) n += counts[i];
        if (n > 256 || end - p - 17 < std::size_t(n)) return false;
        HuffTable& t = tc == 0 ? dc_[std::size_t(th)] : ac_[std::size_t(th)];
        if (!build_huffman(t, counts, &data_[p + 17], n)) return false;
        p += 17 + std::size_t(n);
    }
    return true;
}

bool Decoder::parse_dqt(std::size_t at, std::size_t len) {
    std::size_t p = at;
    const std::size_t end = at + len;
    while (p < end) {
        const int pq = data_[p] >> 4;
        const int tq = data_[p] & 15;
        if (pq > 1 || tq > 3) return false;
        const std::size_t need = 1 + 64 * std::size_t(pq + 1);
        if (end - p < need) return false;
        std::array<i32, 64>& q = quant_[std::size_t(tq)];
        // Stored in zig-zag order, which is also the order of decoding.
        for (int k = 0; k < 64; ++k)
            q[std::size_t(k)] = pq ? i32(be16(data_, p + 1 + 2 * std::size_t(k))) : data_[p + 1 + std::size_t(k)];
        quant_defined_[std::size_t(tq)] = true;
        p += need;
    }
    return true;
}

void Decoder::parse_app(u8 marker, std::size_t at, std::size_t len) {
    const u8* p = data_.data() + at;
    if (marker == 0xE0 && len >= 5 && std::memcmp(p, "JFIF\0", 5) == 0) jfif_ = true;
    if (marker == 0xEE && len >= 12 && std::memcmp(p, "Adobe", 5) == 0) {
        adobe_ = true;
        adobe_transform_ = p[11];
    }
}

// Copies the entropy-coded data starting at `from` into entropy_ without its
// stuffed zero bytes, noting where restart markers were; stops at any other
// marker (returning its offset) or at the end of the data.
std::size_t Decoder::unstuff(std::size_t from) {
    entropy_.clear();
    restarts_.clear();
    entropy_.reserve(data_.size() - from + 16);
    const u8* d = data_.data();
    const std::size_t n = data_.size();
    std::size_t i = from;
    while (i < n) {
        const void* ff = std::memchr(d + i, 0xFF, n - i);
        const std::size_t run_end = ff ? std::size_t(static_cast<const u8*>(ff) - d) : n;
        entropy_.insert(entropy_.end(), d + i, d + run_end);
        i = run_end;
        if (i >= n) break;
        // d[i] == 0xFF
        if (i + 1 >= n) {
            i = n;
            break;
        }
        const u8 next = d[i + 1];
        if (next == 0x00) {
            entropy_.push_back(0xFF);
            i += 2;
        } else if (next == 0xFF) {
            i += 1;  // fill byte
        } else if (next >= 0xD0 && next <= 0xD7) {
            restarts_.push_back(entropy_.size());
            i += 2;
        } else {
            break;  // a marker ends the scan
        }
    }
    entropy_.insert(entropy_.end(), 16, 0);
    return i;
}

std::optional<std::size_t> Decoder::decode_scan(std::size_t at, std::size_t len) {
    if (!have_frame_ || len < 1) return std::nullopt;
    const int ns = data_[at];
    if (ns < 1 || ns > 4 || ns > int(comps_.size()) || len < 4 + 2 * std::size_t(ns)) return std::nullopt;
    Component* list[4] = {};
    int blocks_per_mcu = 0;
    for (int i = 0; i < ns; ++i) {
        const int id = data_[at + 1 + 2 * i];
        const int tables = data_[at + 2 + 2 * i];
        Component* c = nullptr;
        for (Component& k : comps_)
            if (k.id == id) c = &k;
        if (!c) return std::nullopt;
        for (int j = 0; j < i; ++j)
            if (list[j] == c) return std::nullopt;
        c->td = tables >> 4;
        c->ta = tables & 15;
        if (c->td > 3 || c->ta > 3 || !dc_[std::size_t(c->td)].defined || !ac_[std::size_t(c->ta)].defined)
            return std::nullopt;
        if (!c->latched) {
            if (!quant_defined_[std::size_t(c->tq)]) return std::nullopt;
            std::copy(quant_[std::size_t(c->tq)].begin(), quant_[std::size_t(c->tq)].end(), c->quant.begin());
            c->latched = true;
        }
        list[i] = c;
        blocks_per_mcu += c->h * c->v;
    }
    // Spectral selection and successive approximation fields (Ss, Se, Ah/Al)
    // have fixed values in sequential scans; they are not checked.
    if (ns > 1 && blocks_per_mcu > 10) return std::nullopt;

    const std::size_t end = unstuff(at + len);
    ++scans_;
    decode_mcus(list, ns);
    return end;
}

void Decoder::decode_mcus(Component* const* comps, int n) {
    int mcus_w, mcus_h;
    if (n == 1) {
        // A single-component scan covers just that component's blocks.
        mcus_w = comps[0]->blocks_w;
        mcus_h = comps[0]->blocks_h;
    } else {
        mcus_w = mcus_x_;
        mcus_h = mcus_y_;
    }
    i64 scan_blocks = 0;
    for (int i = 0; i < n; ++i) scan_blocks += n == 1 ? 1 : comps[i]->h * comps[i]->v;
    scan_blocks *= i64(mcus_w) * mcus_h;
    if (scan_blocks > block_budget_) return;
    block_budget_ -= scan_blocks;

    Bits bits;
    bits.data = entropy_.data();
    bits.size = entropy_.size() - 16;
    std::size_t next_restart = 0;
    // Bits of the current restart interval end here.
    auto interval_end = [&] {
        return (next_restart < restarts_.size() ? restarts_[next_restart] : bits.size) * 8;
    };
    std::size_t limit = interval_end();
    for (int i = 0; i < n; ++i) comps[i]->pred = 0;

    alignas(16) i16 coef[64 + 8];
    std::memset(coef, 0, sizeof coef);

    const i64 total = i64(mcus_w) * mcus_h;
    const int interval = restart_interval_;
    int left = interval;
    for (i64 m = 0; m < total;) {
        if (interval) {
            if (left == 0) {
                // Restart: byte-align at the next interval, reset predictions.
                bits.seek(next_restart < restarts_.size() ? restarts_[next_restart++] : bits.size);
                limit = interval_end();
                for (int i = 0; i < n; ++i) comps[i]->pred = 0;
                left = interval;
            }
        }
        if (bits.bit_position() > limit) {
            // Out of data: the rest of the interval stays grey.
            if (!interval || next_restart >= restarts_.size()) return;
            m += left;
            left = 0;
            continue;
        }
        const int my = int(m / mcus_w);
        const int mx = int(m % mcus_w);
        for (int ci = 0; ci < n; ++ci) {
            Component& c = *comps[ci];
            const HuffTable& dct = dc_[std::size_t(c.td)];
            const HuffTable& act = ac_[std::size_t(c.ta)];
            const i32* q = c.quant.data();
            const int bh = n == 1 ? 1 : c.h;
            const int bv = n == 1 ? 1 : c.v;
            const int bx0 = n == 1 ? mx : mx * c.h;
            const int by0 = n == 1 ? my : my * c.v;
            for (int by = 0; by < bv; ++by) {
                u8* row = c.plane.data() + std::size_t(by0 + by) * 8 * std::size_t(c.stride);
                for (int bx = 0; bx < bh; ++bx) {
                    u8* out = row + std::size_t(bx0 + bx) * 8;
                    if (decode_block(bits, dct, act, q, c.pred, coef)) {
                        idct(coef, out, c.stride);
                        std::memset(coef, 0, 64 * sizeof(i16));
                    } else {
                        idct_dc_only(coef[0], out, c.stride);
                    }
                }
            }
        }
        ++m;
        if (interval) --left;
    }
}

std::optional<Image> Decoder::run() {
    const std::size_t n = data_.size();
    if (n < 4 || data_[0] != 0xFF || data_[1] != 0xD8) return std::nullopt;
    std::size_t p = 2;
    while (true) {
        // Find the next marker, skipping stray bytes and 0xFF fill.
        while (p < n && data_[p] != 0xFF) ++p;
        while (p < n && data_[p] == 0xFF) ++p;
        if (p >= n) break;
        const u8 m = data_[p++];
        if (m == 0x00) continue;  // stuffed byte outside a scan
        if (m == 0xD9) break;     // end of image
        if ((m >= 0xD0 && m <= 0xD7) || m == 0x01) continue;  // no length
        if (n - p < 2) break;
        const std::size_t len = be16(data_, p);
        if (len < 2 || len > n - p) break;
        const std::size_t at = p + 2;
        const std::size_t body = len - 2;
        p += len;
        switch (m) {
            case 0xC0:
            case 0xC1:
                if (!parse_sof(at, body)) return std::nullopt;
                break;
            case 0xC4:
                if (!parse_dht(at, body)) return std::nullopt;
                break;
            case 0xDB:
                if (!parse_dqt(at, body)) return std::nullopt;
                break;
            case 0xDD:
                if (body >= 2) restart_interval_ = int(be16(data_, at));
                break;
            case 0xDA: {
                const std::optional<std::size_t> end = decode_scan(at, body);
                if (!end) return std::nullopt;
                p = *end;
                break;
            }
            default:
                // Other frame types: progressive, lossless, arithmetic.
                if (m >= 0xC2 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) return std::nullopt;
                if (m >= 0xE0 && m <= 0xEF) parse_app(m, at, body);
                break;  // COM, other APPn, DNL, DAC, reserved: skipped
        }
    }
    if (!have_frame_ || scans_ == 0) return std::nullopt;
    return output();
}

// ---------------------------------------------------------------------------
// Upsampling and colour conversion, one output row at a time

// Triangle filter along a row: out[2x] = (3 c[x] + c[x-1] + even_bias) >>
// shift, out[2x+1] = (3 c[x] + c[x+1] + odd_bias) >> shift, for x < n.
// c[-1] and c[n] hold copies of the edge samples. May write up to 15 bytes
// past out[2n - 1] and read up to c[n + 8].
void fancy_row(const i16* c, int n, u8* out, int even_bias, int odd_bias, int shift) {
    int x = 0;
#if GLIMBO_JPEG_SSE2
    const __m128i be = _mm_set1_epi16(i16(even_bias));
    const __m128i bo = _mm_set1_epi16(i16(odd_bias));
    const __m128i sh = _mm_cvtsi32_si128(shift);
    for (; x < n; x += 8) {
        const __m128i cur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + x));
        const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + x - 1));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + x + 1));
        const __m128i t = _mm_add_epi16(_mm_add_epi16(cur, cur), cur);
        const __m128i ev = _mm_srl_epi16(_mm_add_epi16(_mm_add_epi16(t, prev), be), sh);
        const __m128i od = _mm_srl_epi16(_mm_add_epi16(_mm_add_epi16(t, next), bo), sh);
        const __m128i px = _mm_packus_epi16(_mm_unpacklo_epi16(ev, od), _mm_unpackhi_epi16(ev, od));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), px);
    }
#endif
    for (; x < n; ++x) {
        const int t = c[x] * 3;
        out[2 * x] = u8((t + c[x - 1] + even_bias) >> shift);
        out[2 * x + 1] = u8((t + c[x + 1] + odd_bias) >> shift);
    }
}

// c[i] = 3 a[i] + b[i] for i < n; may write up to 15 entries past c[n - 1]
// and read as far past a and b.
void column_sums(const u8* a, const u8* b, int n, i16* c) {
    int x = 0;
#if GLIMBO_JPEG_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; x < n; x += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        const __m128i alo = _mm_unpacklo_epi8(va, zero), ahi = _mm_unpackhi_epi8(va, zero);
        const __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_add_epi16(alo, alo), alo), _mm_unpacklo_epi8(vb, zero));
        const __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_add_epi16(ahi, ahi), ahi), _mm_unpackhi_epi8(vb, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(c + x), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(c + x + 8), hi);
    }
#endif
    for (; x < n; ++x) c[x] = i16(a[x] * 3 + b[x]);
}

#if GLIMBO_JPEG_SSE2
// Writes 16 pixels as B,G,R triples. Each pixel goes out as a 4-byte store
// whose last byte the next pixel overwrites, so out[48] is touched too.
inline void store_bgr16(__m128i b, __m128i g, __m128i r, u8* out) {
    const __m128i bg_lo = _mm_unpacklo_epi8(b, g), bg_hi = _mm_unpackhi_epi8(b, g);
    const __m128i rr_lo = _mm_unpacklo_epi8(r, r), rr_hi = _mm_unpackhi_epi8(r, r);
    const __m128i px[4] = {_mm_unpacklo_epi16(bg_lo, rr_lo), _mm_unpackhi_epi16(bg_lo, rr_lo),
                           _mm_unpacklo_epi16(bg_hi, rr_hi), _mm_unpackhi_epi16(bg_hi, rr_hi)};
    for (int i = 0; i < 4; ++i) {
        const u64 lo = u64(_mm_cvtsi128_si64(px[i]));
        const u64 hi = u64(_mm_cvtsi128_si64(_mm_unpackhi_epi64(px[i], px[i])));
        const u32 p0 = u32(lo), p1 = u32(lo >> 32), p2 = u32(hi), p3 = u32(hi >> 32);
        u8* o = out + 12 * i;
        std::memcpy(o, &p0, 4);
        std::memcpy(o + 3, &p1, 4);
        std::memcpy(o + 6, &p2, 4);
        std::memcpy(o + 9, &p3, 4);
    }
}

// The fractional part of 16-bit fixed-point products: (k . (a, b) + add) >> 16
// for eight lanes.
inline __m128i frac16(__m128i a, __m128i b, __m128i k, __m128i add) {
    const __m128i lo = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(a, b), k), add), 16);
    const __m128i hi = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(a, b), k), add), 16);
    return _mm_packs_epi32(lo, hi);
}
#endif

// Rows of Y, Cb, Cr to B,G,R; the same arithmetic as kColour, with the
// constants split into a whole part and a 16-bit fraction for SSE2.
void ycc_row(const u8* y, const u8* cb, const u8* cr, u8* out, int w) {
    int x = 0;
#if GLIMBO_JPEG_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i c128 = _mm_set1_epi16(128);
    const __m128i none = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(kHalf16);
    const __m128i k_r = pair(kFix1_402 - 65536, 0);          // 1.402 = 1 + 26345/65536
    const __m128i k_b = pair(kFix1_772 - 2 * 65536, 0);      // 1.772 = 2 - 14942/65536
    const __m128i k_g = pair(-kFix0_34414, 65536 - kFix0_71414);  // -0.71414 = -1 + 18734/65536
    // Stop while a pixel is left: store_bgr16 writes one byte past its 16.
    for (; x + 16 < w; x += 16) {
        const __m128i vy = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + x));
        const __m128i vr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + x));
        __m128i res_b[2], res_g[2], res_r[2];
        for (int h = 0; h < 2; ++h) {
            const __m128i y16 = h ? _mm_unpackhi_epi8(vy, zero) : _mm_unpacklo_epi8(vy, zero);
            const __m128i b16 = _mm_sub_epi16(h ? _mm_unpackhi_epi8(vb, zero) : _mm_unpacklo_epi8(vb, zero), c128);
            const __m128i r16 = _mm_sub_epi16(h ? _mm_unpackhi_epi8(vr, zero) : _mm_unpacklo_epi8(vr, zero), c128);
            res_r[h] = _mm_add_epi16(_mm_add_epi16(y16, r16), frac16(r16, none, k_r, half));
            res_b[h] = _mm_add_epi16(_mm_add_epi16(y16, _mm_add_epi16(b16, b16)), frac16(b16, none, k_b, half));
            res_g[h] = _mm_add_epi16(_mm_sub_epi16(y16, r16), frac16(b16, r16, k_g, half));
        }
        store_bgr16(_mm_packus_epi16(res_b[0], res_b[1]), _mm_packus_epi16(res_g[0], res_g[1]),
                    _mm_packus_epi16(res_r[0], res_r[1]), out + 3 * x);
    }
#endif
    for (; x < w; ++x) {
        const int yy = y[x], b = cb[x], r = cr[x];
        out[3 * x] = clamp_px(yy + kColour.cb_b[std::size_t(b)]);
        out[3 * x + 1] = clamp_px(yy + ((kColour.cb_g[std::size_t(b)] + kColour.cr_g[std::size_t(r)]) >> 16));
        out[3 * x + 2] = clamp_px(yy + kColour.cr_r[std::size_t(r)]);
    }
}

// Three planes stored as R, G, B (or one grey plane, passed three times).
void rgb_row(const u8* r, const u8* g, const u8* b, u8* out, int w) {
    int x = 0;
#if GLIMBO_JPEG_SSE2
    for (; x + 16 < w; x += 16) {
        store_bgr16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x)),
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x)),
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x)), out + 3 * x);
    }
#endif
    for (; x < w; ++x) {
        out[3 * x] = b[x];
        out[3 * x + 1] = g[x];
        out[3 * x + 2] = r[x];
    }
}

std::optional<Image> Decoder::output() {
    Image img;
    if (!img.allocate(width_, height_)) return std::nullopt;
    const int nc = int(comps_.size());
    const int w = width_;

    // How each component reaches full resolution. The triangle filter needs
    // more than two samples across; narrower rows are simply replicated.
    Upsample method[3] = {};
    std::vector<u8> rowbuf[3];
    std::vector<i16> wide;  // one filtered row with an edge copy either side
    for (int i = 0; i < nc; ++i) {
        const Component& c = comps_[std::size_t(i)];
        const int hr = hmax_ / c.h, vr = vmax_ / c.v;
        Upsample u = Upsample::Box;
        if (hr == 1 && vr == 1) u = Upsample::Copy;
        else if (hr == 2 && vr == 1 && c.width > 2) u = Upsample::H2V1;
        else if (hr == 1 && vr == 2) u = Upsample::H1V2;
        else if (hr == 2 && vr == 2 && c.width > 2) u = Upsample::H2V2;
        method[i] = u;
        rowbuf[i].assign(std::size_t(c.width) * std::size_t(hr) + 32, 0);
        wide.resize(std::max(wide.size(), std::size_t(c.width) + 32));
    }

    auto row_of = [&](int i, int y) -> const u8* {
        const Component& c = comps_[std::size_t(i)];
        const int cw = c.width;
        u8* out = rowbuf[i].data();
        i16* mid = wide.data() + 1;
        switch (method[i]) {
            case Upsample::Copy:
                return c.plane.data() + std::size_t(y) * std::size_t(c.stride);
            case Upsample::H2V1: {
                const u8* s = c.plane.data() + std::size_t(y) * std::size_t(c.stride);
                for (int x = 0; x < cw; ++x) mid[x] = s[x];
                mid[-1] = mid[0];
                mid[cw] = mid[cw - 1];
                fancy_row(mid, cw, out, 1, 2, 2);
                return out;
            }
            case Upsample::H1V2:
            case Upsample::H2V2: {
                // The nearer source row weighs 3/4, the other 1/4; the
                // picture's own edge rows stand in beyond its edges.
                const int r = y >> 1;
                const int other = (y & 1) ? std::min(r + 1, c.height - 1) : std::max(r - 1, 0);
                const u8* a = c.plane.data() + std::size_t(r) * std::size_t(c.stride);
                const u8* b = c.plane.data() + std::size_t(other) * std::size_t(c.stride);
                if (method[i] == Upsample::H1V2) {
                    const int bias = (y & 1) ? 2 : 1;
                    for (int x = 0; x < cw; ++x) out[x] = u8((a[x] * 3 + b[x] + bias) >> 2);
                    return out;
                }
                column_sums(a, b, cw, mid);
                mid[-1] = mid[0];
                mid[cw] = mid[cw - 1];
                fancy_row(mid, cw, out, 8, 7, 4);
                return out;
            }
            case Upsample::Box: {
                const int hr = hmax_ / c.h, vr = vmax_ / c.v;
                const u8* s = c.plane.data() + std::size_t(y / vr) * std::size_t(c.stride);
                for (int x = 0; x < w; ++x) out[x] = s[x / hr];
                return out;
            }
        }
        return out;
    };

    // Three components are YCbCr unless the file says RGB: an Adobe marker
    // with transform 0, or no JFIF/Adobe marker and component ids 'R','G','B'.
    bool rgb = false;
    if (nc == 3) {
        if (jfif_) rgb = false;
        else if (adobe_) rgb = adobe_transform_ == 0;
        else rgb = comps_[0].id == 'R' && comps_[1].id == 'G' && comps_[2].id == 'B';
    }

    for (int y = 0; y < height_; ++y) {
        u8* o = img.row(y);
        if (nc == 1) {
            const u8* g = row_of(0, y);
            rgb_row(g, g, g, o, w);
            continue;
        }
        const u8* c0 = row_of(0, y);
        const u8* c1 = row_of(1, y);
        const u8* c2 = row_of(2, y);
        if (rgb) rgb_row(c0, c1, c2, o, w);
        else ycc_row(c0, c1, c2, o, w);
    }
    return img;
}

}  // namespace

std::optional<Image> decode_jpeg(Bytes data) {
    Decoder d(data);
    return d.run();
}

// Test hooks, declared by the tests themselves: the portable IDCT and the
// one decode_jpeg uses, so that the two can be compared on any block.
namespace jpeg_detail {
void idct_portable(const std::int16_t* coef, std::uint8_t* out, std::ptrdiff_t stride) {
    idct_scalar(coef, out, stride);
}
void idct_used(const std::int16_t* coef, std::uint8_t* out, std::ptrdiff_t stride) {
    alignas(16) i16 aligned[64];
    std::memcpy(aligned, coef, sizeof aligned);
    idct(aligned, out, stride);
}
}  // namespace jpeg_detail

}  // namespace pic
