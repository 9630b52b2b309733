#!/usr/bin/env python3
# Builds every built-in picture from drawing descriptions with ImageMagick.
# Usage: make.py OUTDIR   (generate.sh passes pictures/assets)
import math
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from draw import *  # noqa: E402,F401,F403
import draw as D  # noqa: E402
from scenes import GALLERY  # noqa: E402
import layouts  # noqa: E402

# Same output every run: no dates, no comments, one thread so nothing depends on scheduling.
os.environ["MAGICK_THREAD_LIMIT"] = "1"
JPEG_OPTS = ["-strip", "-interlace", "none", "-sampling-factor", "2x2,1x1,1x1", "-colorspace", "sRGB",
             "-type", "TrueColor", "-quality", "90"]


def char_width(c):
    if c == " ":
        return 0.26
    if c.isascii():
        if c.isdigit():
            return 0.55
        if c.isupper():
            return 0.62
        return 0.58
    return 1.0


def text_width(s):
    return sum(char_width(c) for c in s)


# Word pairs a line break would tear apart.
KEEP_TOGETHER = {"装逼", "傻逼", "二逼", "妹子", "麻痹", "特效", "有钱", "朋友", "眼神", "妖精", "机会", "酱油",
                 "出现", "思想", "危险", "老实", "脚下", "撸管", "冷场", "控制", "场面", "一下", "天真", "淫荡",
                 "漂亮", "意思", "傻屌", "呵呵", "路过", "时候", "自杀", "吞肉", "欺负", "眼神", "纯洁", "楼下"}


def split_lines(caption, n):
    """Best split of caption into n lines: narrowest widest line, breaking
    after punctuation or at spaces when that costs little."""
    best = None
    L = len(caption)

    def rec(start, left, acc):
        nonlocal best
        if left == 1:
            parts = acc + [caption[start:]]
            lines = [p.strip() for p in parts]
            if any(not p for p in lines) or any(p[0] in "，" for p in lines):
                return
            widest = max(text_width(p) for p in lines)
            bonus = sum(1.0 if p.endswith("，") else 3.0 if p.endswith(" ") else 0 for p in parts[:-1])
            bonus -= sum(2.0 for k in range(len(parts) - 1) if parts[k][-1:] + parts[k + 1][:1] in KEEP_TOGETHER)
            # Never split inside an ASCII word such as "duang".
            bad = sum(5 for k in range(len(parts) - 1)
                      if parts[k][-1:].isascii() and parts[k][-1:].isalnum() and parts[k + 1][:1].isascii() and parts[k + 1][:1].isalnum())
            score = widest - bonus + bad
            if best is None or score < best[0]:
                best = (score, lines)
            return
        for cut in range(start + 1, L - left + 2):
            rec(cut, left - 1, acc + [caption[start:cut]])

    rec(0, n, [])
    return best[1] if best else None


def layout_caption(caption, w, h):
    fmax = max(15, min(36, round(min(w, h) * 0.15)))
    if len(caption) <= 4:
        fmax = round(fmax * 1.35)  # a word or two: make it shout
    options = []
    for n in (1, 2, 3):
        if len(caption) < n:
            break
        lines = split_lines(caption, n)
        if not lines:
            continue
        f = min(fmax, (w - 12) / max(text_width(x) for x in lines))
        if n * f * 1.22 > 0.5 * h:
            f = 0.5 * h / (n * 1.22)
        options.append((n, int(f), lines))
    for n, f, lines in options:
        if f >= min(fmax * 0.85, 19):
            return f, lines
    n, f, lines = max(options, key=lambda o: o[1])
    return max(f, 12), lines


def caption_args(caption, w, h, where):
    f, lines = layout_caption(caption, w, h)
    lh = round(f * 1.2)
    band = lh * len(lines) + 6
    outline = max(3.0, f / 5.5)
    args = ["-font", D.FONT, "-pointsize", str(f), "-gravity", "North" if where == "top" else "South"]
    order = lines if where == "top" else list(reversed(lines))
    for k, ln in enumerate(order):
        off = 3 + k * lh
        args += ["-fill", "white", "-stroke", "white", "-strokewidth", f"{outline:.1f}", "-annotate", f"+0+{off}", ln,
                 "-fill", "#111111", "-stroke", "#111111", "-strokewidth", f"{max(0.6, f / 26):.2f}",
                 "-annotate", f"+0+{off}", ln]
    return args + ["-gravity", "NorthWest"], band


def background(bg, w, h, cx, cy):
    kind = bg[0]
    mvg = ""
    if kind == "grad":
        base = f"gradient:{bg[1]}-{bg[2]}"
    elif kind == "radial":
        base = f"radial-gradient:{bg[1]}-{bg[2]}"
    elif kind == "rays":
        base = f"radial-gradient:{bg[1]}-{bg[2]}"
        n = bg[4] if len(bg) > 4 else 14
        R = 2 * (w + h)
        mvg += D.st(bg[3], op=0.55)
        for k in range(n):
            a0 = 2 * math.pi * k / n
            a1 = a0 + math.pi / n
            mvg += D.poly([(cx, cy), (cx + R * math.cos(a0), cy + R * math.sin(a0)),
                           (cx + R * math.cos(a1), cy + R * math.sin(a1))])
    elif kind == "dots":
        base = f"gradient:{bg[1]}-{bg[2]}"
        step = max(14, min(w, h) // 7)
        mvg += D.st(bg[3], op=0.45)
        for j, y in enumerate(range(0, h + step, step)):
            for x in range(0 if j % 2 == 0 else step // 2, w + step, step):
                mvg += D.circle(x, y, step * 0.18)
    elif kind == "stripes":
        base = f"gradient:{bg[1]}-{bg[2]}"
        step = max(16, min(w, h) // 6)
        mvg += D.st(bg[3], op=0.35)
        for x in range(-h, w + h, step * 2):
            mvg += D.poly([(x, 0), (x + step, 0), (x + step + h, h), (x + h, h)])
    elif kind == "checks":
        base = f"xc:{bg[1]}"
        step = max(16, min(w, h) // 6)
        mvg += D.st(bg[2], op=1)
        for j, y in enumerate(range(0, h, step)):
            for x in range(0, w, step):
                if (x // step + j) % 2 == 0:
                    mvg += f"rectangle {x},{y} {x + step},{y + step}\n"
    elif kind == "night":
        base = f"gradient:{bg[1]}-{bg[2]}"
        mvg += D.moon(w * 0.14, h * 0.14, min(w, h) * 0.08)
        for k, (fx, fy) in enumerate(((0.1, 0.1), (0.3, 0.22), (0.62, 0.08), (0.9, 0.42), (0.15, 0.48), (0.5, 0.3))):
            mvg += D.star5(w * fx, h * fy, min(w, h) * (0.025 + 0.01 * (k % 2)), "#fff6b0")
    else:
        raise ValueError(kind)
    return base, mvg


def render(path_out, w, h, scene, caption, frame=0, extra_opts=()):
    cap_where = scene.get("cap", "bottom")
    cap, band = caption_args(caption, w, h, cap_where)
    art_y0 = band if cap_where == "top" else 0
    art_h = h - band
    fx, fy, fs = scene.get("place", (0, 0, 1.0))
    span_w, span_h = scene.get("span", (124, 112))
    s = min(w / span_w, art_h / span_h) * fs
    cx = w / 2 + fx * s
    cy = art_y0 + art_h / 2 + fy * s
    base, bgmvg = background(scene["bg"], w, h, cx, cy)
    art = scene["draw"](frame) if callable(scene["draw"]) else scene["draw"]
    mvg = bgmvg + D.gc(art, cx, cy, 0, s)
    cmd = ["convert", "-size", f"{w}x{h}", base, "-draw", mvg] + cap + list(extra_opts) + [path_out]
    subprocess.run(cmd, check=True)


def make_gallery(outdir, tmp):
    captions = []
    for k, (w, h, caption, scene) in enumerate(GALLERY):
        captions.append(caption)
        if k == 6:
            frames = []
            for fr in (0, 1):
                p = os.path.join(tmp, f"g6_{fr}.png")
                render(p, w, h, scene, caption, fr, ["-alpha", "off", "-strip"])
                frames.append(p)
            out = os.path.join(outdir, "gallery_06.gif")
            subprocess.run(["convert", "-delay", "10", "-loop", "0", "-dispose", "None"] + frames
                           + ["-alpha", "off", "-strip", out], check=True)
        else:
            out = os.path.join(outdir, f"gallery_{k:02d}.jpg")
            render(out, w, h, scene, caption, 0, JPEG_OPTS)
    with open(os.path.join(outdir, "captions.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(captions) + "\n")


def write_icon(rgba, out):
    # One 32x32 32-bpp DIB inside the ICO: XOR pixels bottom-up (BGRA), then the AND mask.
    assert len(rgba) == 32 * 32 * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(31, -1, -1):
        bits = 0
        for x in range(32):
            r, g, b, a = rgba[(y * 32 + x) * 4:(y * 32 + x) * 4 + 4]
            xor += bytes((b, g, r, a))
            bits = (bits << 1) | (1 if a < 128 else 0)
        mask += struct.pack(">I", bits)
    dib = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0) + xor + mask
    assert len(dib) == 4264
    head = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 32, len(dib), 22)
    with open(out, "wb") as f:
        f.write(head + dib)


def main():
    outdir = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        make_gallery(outdir, tmp)
        layouts.make_all(outdir, tmp, JPEG_OPTS, write_icon)


if __name__ == "__main__":
    main()
