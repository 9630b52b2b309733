#include <algorithm>
#include <array>
#include <cstring>

#include "toolkit/picture/image.h"
#include "toolkit/picture/internal.h"

namespace pic {

namespace {

// Composed frames share one budget, so a long animation on a big screen
// cannot run the memory up.
constexpr std::int64_t kMaxAnimationPixels = 2 * kMaxPixels;
constexpr int kMaxCodes = 4096;

using Colours = std::array<std::uint8_t, 256 * 3>;  // R, G, B; unused entries black

// Reads a colour table of 2^(bits+1) entries at `pos`; false when cut short.
bool read_colours(Bytes d, std::size_t& pos, int bits, Colours& out) {
    const std::size_t n = std::size_t(3) << (bits + 1);
    if (pos > d.size() || d.size() - pos < n) return false;
    out.fill(0);
    std::copy_n(d.begin() + std::ptrdiff_t(pos), n, out.begin());
    pos += n;
    return true;
}

// Steps over a chain of sub-blocks; stops at the end of the data.
std::size_t skip_blocks(Bytes d, std::size_t pos) {
    while (pos < d.size()) {
        const std::size_t n = d[pos++];
        if (n == 0) break;
        pos += n;
    }
    return std::min(pos, d.size());
}

// Where the rows of an image land on its rectangle, in the order they are stored.
class RowOrder {
public:
    RowOrder(int h, bool interlaced) : h_(h), interlaced_(interlaced) {}
    int operator()(int r) const {
        if (!interlaced_) return r;
        static constexpr int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            const int count = h_ > start[pass] ? (h_ - start[pass] + step[pass] - 1) / step[pass] : 0;
            if (r < count) return start[pass] + r * step[pass];
            r -= count;
        }
        return h_;  // past the last row
    }

private:
    int h_;
    bool interlaced_;
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// Paints decoded colour indices onto the canvas, clipped to it.
class Painter {
public:
    Painter(Image& canvas, const Rect& r, bool interlaced, const Colours& colours, int transparent)
        : canvas_(canvas), rect_(r), order_(r.height, interlaced), colours_(colours),
          transparent_(transparent), total_(std::int64_t(r.width) * r.height) {
        start_row();
    }
    bool full() const { return done_ >= total_; }
    // Paints a run of indices that may span several rows.
    void put_run(const std::uint8_t* p, std::int64_t n) {
        n = std::min(n, total_ - done_);
        while (n > 0) {
            const int take = int(std::min<std::int64_t>(n, rect_.width - x_));
            if (row_ok_) {
                const int x0 = rect_.left + x_;
                const int visible = std::max(0, std::min(take, canvas_.width - x0));
                std::uint8_t* dst = row_ + 3 * std::size_t(x0);
                std::uint8_t* a = alpha_row_ + x0;
                for (int i = 0; i < visible; ++i) {
                    const unsigned index = p[i];
                    if (int(index) == transparent_) continue;
                    dst[3 * i] = colours_[3 * index + 2];
                    dst[3 * i + 1] = colours_[3 * index + 1];
                    dst[3 * i + 2] = colours_[3 * index];
                    a[i] = 255;
                }
            }
            p += take;
            n -= take;
            done_ += take;
            x_ += take;
            if (x_ == rect_.width) {
                x_ = 0;
                ++stored_row_;
                start_row();
            }
        }
    }

private:
    void start_row() {
        const int y = rect_.top + order_(stored_row_);
        row_ok_ = stored_row_ < rect_.height && y < canvas_.height;
        if (row_ok_) {
            row_ = canvas_.row(y);
            alpha_row_ = canvas_.alpha.data() + std::size_t(y) * std::size_t(canvas_.width);
        }
    }

    Image& canvas_;
    Rect rect_;
    RowOrder order_;
    const Colours& colours_;
    int transparent_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    int x_ = 0, stored_row_ = 0;
    bool row_ok_ = false;
    std::uint8_t* row_ = nullptr;
    std::uint8_t* alpha_row_ = nullptr;
};

// Variable-width LZW as GIF stores it: codes packed from the low bit up, the
// width growing to 12 bits; a full table stays as it is until the next clear.
void decode_lzw(const std::vector<std::uint8_t>& in, int min_size, Painter& out) {
    const int clear = 1 << min_size, end = clear + 1;
    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> suffix{}, first{};
    std::array<std::uint16_t, kMaxCodes> length{};
    std::array<std::uint8_t, kMaxCodes + 1> stack{};
    for (int c = 0; c < clear; ++c) {
        suffix[c] = first[c] = std::uint8_t(c);
        length[c] = 1;
    }
    int size = min_size + 1, next = clear + 2, prev = -1;
    std::uint32_t bits = 0;
    int nbits = 0;
    std::size_t pos = 0;
    while (!out.full()) {
        while (nbits < size && pos < in.size()) {
            bits |= std::uint32_t(in[pos++]) << nbits;
            nbits += 8;
        }
        if (nbits < size) return;  // data ran out
        const int code = int(bits & ((1u << size) - 1));
        bits >>= size;
        nbits -= size;

        if (code == clear) {
            size = min_size + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == end) return;
        if (prev < 0) {
            if (code >= clear) return;  // only a literal may follow a clear
            stack[0] = std::uint8_t(code);
            out.put_run(stack.data(), 1);
            prev = code;
            continue;
        }
        int emit = code;
        std::uint8_t head;
        if (code < next) {
            head = first[code];
        } else if (code == next && next < kMaxCodes) {
            head = first[prev];
            emit = prev;  // the string of prev, then its own first byte
        } else {
            return;  // a code the table does not hold yet
        }
        // Strings are linked back to front; lay this one out in order.
        const int len = length[emit];
        int k = len;
        for (int c = emit; k > 0; c = prefix[c]) stack[--k] = suffix[c];
        int total = len;
        if (code == next) stack[total++] = head;
        out.put_run(stack.data(), total);
        if (next < kMaxCodes) {
            prefix[next] = std::uint16_t(prev);
            suffix[next] = head;
            first[next] = first[prev];
            length[next] = std::uint16_t(length[prev] + 1);
            ++next;
            if (next == (1 << size) && size < 12) ++size;
        }
        prev = code;
    }
}

void clear_rect(Image& canvas, const Rect& r) {
    const int x0 = std::min(r.left, canvas.width), x1 = std::min(r.left + r.width, canvas.width);
    const int y0 = std::min(r.top, canvas.height), y1 = std::min(r.top + r.height, canvas.height);
    for (int y = y0; y < y1; ++y) {
        std::fill(canvas.row(y) + 3 * std::size_t(x0), canvas.row(y) + 3 * std::size_t(x1), 0);
        std::uint8_t* a = canvas.alpha.data() + std::size_t(y) * std::size_t(canvas.width);
        std::fill(a + x0, a + x1, 0);
    }
}

// A frame as shown: the canvas, without an alpha plane if nothing is see-through.
Image snapshot(const Image& canvas) {
    Image out = canvas;
    if (!std::memchr(out.alpha.data(), 0, out.alpha.size())) out.alpha.clear();
    return out;
}

std::optional<Animation> decode(Bytes d, bool first_only) {
    if (d.size() < 13) return std::nullopt;
    if (std::memcmp(d.data(), "GIF87a", 6) != 0 && std::memcmp(d.data(), "GIF89a", 6) != 0)
        return std::nullopt;
    Animation anim;
    int screen_w = int(detail::le16(d, 6)), screen_h = int(detail::le16(d, 8));
    const std::uint8_t flags = d[10];
    std::size_t pos = 13;
    Colours global{};
    if ((flags & 0x80) && !read_colours(d, pos, flags & 7, global)) return std::nullopt;

    // What the next image's Graphic Control Extension says.
    int delay = 0, disposal = 0, transparent = -1;
    // What the previous image leaves for the next one to undo.
    int prev_disposal = 0;
    Rect prev_rect;
    Image canvas, saved;
    std::int64_t budget = kMaxAnimationPixels;

    while (pos < d.size()) {
        const std::uint8_t kind = d[pos++];
        if (kind == 0x3B) break;
        if (kind == 0x21) {
            if (pos >= d.size()) break;
            const std::uint8_t label = d[pos++];
            const std::size_t block = pos;
            const std::size_t n = block < d.size() ? d[block] : 0;
            if (label == 0xF9 && n >= 4 && block + 5 <= d.size()) {
                const std::uint8_t packed = d[block + 1];
                disposal = (packed >> 2) & 7;
                delay = int(detail::le16(d, block + 2));
                transparent = (packed & 1) ? d[block + 4] : -1;
            } else if (label == 0xFF && n == 11 && block + 12 <= d.size() &&
                       (std::memcmp(&d[block + 1], "NETSCAPE2.0", 11) == 0 ||
                        std::memcmp(&d[block + 1], "ANIMEXTS1.0", 11) == 0)) {
                const std::size_t sub = block + 12;
                if (sub + 4 <= d.size() && d[sub] >= 3 && d[sub + 1] == 1)
                    anim.loop_count = int(detail::le16(d, sub + 2));
            }
            pos = skip_blocks(d, pos);
            continue;
        }
        if (kind != 0x2C || d.size() - pos < 10) break;  // unknown block or cut short

        Rect rect{int(detail::le16(d, pos)), int(detail::le16(d, pos + 2)),
                  int(detail::le16(d, pos + 4)), int(detail::le16(d, pos + 6))};
        const std::uint8_t iflags = d[pos + 8];
        pos += 9;
        Colours local{};
        const bool has_local = iflags & 0x80;
        if (has_local && !read_colours(d, pos, iflags & 7, local)) break;
        if (pos >= d.size()) break;
        const int min_size = d[pos++];
        std::vector<std::uint8_t> codes;
        while (pos < d.size()) {
            const std::size_t n = d[pos++];
            if (n == 0) break;
            const std::size_t take = std::min(n, d.size() - pos);
            codes.insert(codes.end(), d.begin() + std::ptrdiff_t(pos), d.begin() + std::ptrdiff_t(pos + take));
            pos += take;
        }
        if (min_size < 1 || min_size > 11) break;
        if (std::int64_t(rect.width) * rect.height > kMaxPixels) break;

        if (canvas.empty()) {
            // Some writers leave the screen size zero; the first image sets it then.
            if (screen_w == 0 || screen_h == 0) {
                screen_w = rect.left + rect.width;
                screen_h = rect.top + rect.height;
            }
            if (!canvas.allocate(screen_w, screen_h, true)) return std::nullopt;
            anim.width = screen_w;
            anim.height = screen_h;
        }
        const std::int64_t screen_pixels = std::int64_t(canvas.width) * canvas.height;
        if (budget < screen_pixels) break;
        budget -= screen_pixels;

        if (prev_disposal == 2) clear_rect(canvas, prev_rect);
        if (prev_disposal == 3 && !saved.empty()) canvas = saved;
        if (disposal == 3) saved = canvas;

        if (rect.width > 0 && rect.height > 0) {
            Painter painter(canvas, rect, iflags & 0x40, has_local ? local : global, transparent);
            decode_lzw(codes, min_size, painter);
        }
        anim.frames.push_back(Frame{snapshot(canvas), delay});
        if (first_only) break;

        prev_disposal = disposal;
        prev_rect = rect;
        delay = 0;
        disposal = 0;
        transparent = -1;
    }
    if (anim.frames.empty()) return std::nullopt;
    return anim;
}

}  // namespace

std::optional<Animation> decode_gif(Bytes data) {
    return decode(data, false);
}

std::optional<Image> decode_gif_first(Bytes data) {
    std::optional<Animation> a = decode(data, true);
    if (!a) return std::nullopt;
    return std::move(a->frames.front().image);
}

}  // namespace pic
