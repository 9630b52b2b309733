# Pictures of the windows themselves: launcher backdrop, mascot tile, the six
# caption templates (no text: the designer draws the captions) and the icon.
import math
import os
import subprocess

import draw as D
from scenes import face, Y, SKIN, PALE

BMP_OPTS = ["-strip", "-alpha", "off", "-type", "TrueColor"]


def put(mvg, cx, cy, s, rot=0):
    return D.gc(mvg, cx, cy, rot, s)


def convert(w, h, base, mvg, out_args):
    subprocess.run(["convert", "-size", f"{w}x{h}", base, "-draw", mvg] + out_args, check=True)


def calm_band(x0, y0, x1, y1, color="#ffffff", op=0.85, r=10):
    # A light, slightly rounded panel where captions will sit.
    return D.st(color, "none", 0, op=op) + D.rrect(x0, y0, x1, y1, r)


def backdrop(out, jpeg):
    w, h = 430, 417
    # The windows squash this picture to about half its height, so the
    # decorations are drawn tall (V) to look round there.
    V = 1.6
    m = ""
    for x in range(-400, 430, 70):
        m += D.st("#ffffff", op=0.35) + D.poly([(x, 0), (x + 30, 0), (x + 30 + 417, 417), (x + 417, 417)])
    for x, y, r, c in ((-10, -20, 80, "#ffd6e5"), (440, -10, 70, "#d6ecff"), (440, 425, 85, "#fff1c2"),
                       (-20, 430, 80, "#dff5d8")):
        m += D.gc(D.st(c, op=0.8) + D.circle(0, 0, r), x, y, 0, 1.0, V)
    bits = [(30, 150, "star", "#ffc94d"), (400, 150, "heart", "#ff8fb0"), (70, 270, "heart", "#ff9ec0"),
            (360, 270, "star", "#8fc9ff"), (150, 30, "dot", "#9fe0b0"), (280, 30, "dot", "#ffb38a"),
            (15, 215, "sparkle", "#ffffff"), (415, 215, "sparkle", "#ffffff"), (140, 395, "dot", "#b9a6ff"),
            (300, 395, "star", "#ffb38a"), (215, 400, "sparkle", "#ffffff"), (215, 20, "heart", "#ffb3c7"),
            (110, 110, "dot", "#ffd6a0"), (330, 320, "dot", "#c7e9ff")]
    for x, y, kind, c in bits:
        if kind == "star":
            b = D.star5(0, 0, 12, c, "#ffffff")
        elif kind == "heart":
            b = D.heart(0, 0, 10, c, "#ffffff", 2)
        elif kind == "dot":
            b = D.st(c, "#ffffff", 2, op=0.9) + D.circle(0, 0, 7)
        else:
            b = D.sparkle(0, 0, 11, c, "#ffc680")
        m += D.gc(b, x, y, 0, 1.0, V)
    bubble = D.st("#ffffff", "#f0b9cf", 3, op=0.95) + D.path(
        "M -34,-22 Q -34,-34 -22,-34 L 22,-34 Q 34,-34 34,-22 L 34,6 Q 34,18 22,18 L -6,18 L -20,32 L -16,18 "
        "L -22,18 Q -34,18 -34,6 Z")
    smile = D.gc(D.head("round", Y) + D.eyes("happy") + D.mouth("grin"), 0, -8, 0, 0.5)
    m += D.gc(bubble + smile, 62, 76, -6, 1.0, V)
    wink = D.gc(D.head("round", "#ffc9a3") + D.eyes("wink") + D.mouth("tongue") + D.blush("#ff8fa3"), 0, -8, 0, 0.5)
    m += D.gc(D.gc(bubble, 0, 0, 0, -1.0, 1.0) + wink, 368, 330, 6, 1.0, V)
    # Faces peeking in from the lower left and the right edge.
    m += D.gc(face("round", Y, "big", "raised", "smile"), 38, 400, 18, 0.9, 0.9 * V)
    m += D.gc(face("panda", PALE, "pdot", "", "cat"), 428, 52, -20, 0.7, 0.7 * V)
    convert(w, h, "gradient:#fff6ea-#f1f3ff", m, jpeg + [out])


def mascot():
    return face("round", Y, "wink", "raised", "grin", front=[D.blush("#ff8fa3")])


def tile(out, jpeg):
    w, h = 358, 334
    m = ""
    for k in range(12):
        a0 = 2 * math.pi * k / 12
        a1 = a0 + math.pi / 12
        R = 400
        m += D.st("#ffffff", op=0.45) + D.poly([(179, 167), (179 + R * math.cos(a0), 167 + R * math.sin(a0)),
                                                  (179 + R * math.cos(a1), 167 + R * math.sin(a1))])
    m += put(D.sparkle(-46, -34, 7, "#ffffff", "#e0b000") + D.sparkle(45, 34, 6, "#ffffff", "#e0b000") + mascot(),
             179, 170, 3.5)
    convert(w, h, "radial-gradient:#fff7d6-#ffd27a", m, jpeg + [out])


def template_a(out, jpeg):
    # Captions go over the lower third: keep it pale and empty.
    w, h = 154, 175
    m = put(face("round", Y, "side", "one", "smirk", front=[D.drop(32, -26, 6)]), 77, 58, 1.25)
    m += calm_band(4, 116, 150, 171, "#ffffff", 0.9, 8)
    convert(w, h, "gradient:#e8f4ff-#fffaf0", m, jpeg + [out])


def template_b(out):
    w, h = 322, 441
    m = D.st("#c9e7ff", op=0.8) + D.circle(161, 170, 150)
    m += put(face("panda", PALE, "pdot", "raised", "grin", front=[D.fist(-44, 30, 11, PALE), D.thumbs_up(48, 24, 1.1, PALE)]),
             161, 165, 2.6)
    m += calm_band(10, 326, 312, 431, "#ffffff", 0.92, 14)
    convert(w, h, "gradient:#f2f9ff-#fffdf5", m, BMP_OPTS + [f"BMP3:{out}"])


def template_C(out):
    w, h = 308, 182
    m = put(face("rage", PALE, "shock", "raised", "bigo", front=[D.drop(34, -24, 7)]), 52, 118, 1.08)
    m += put(D.exclaim(0, 0, 0.8) + D.exclaim(14, 4, 0.6), 20, 40, 1.0)
    m += calm_band(100, 34, 304, 94, "#ffffff", 0.9, 12)
    m += D.st("#ffc48a", op=0.5) + "".join(D.circle(x, y, 4) for x in range(128, 300, 24) for y in (126, 150, 174))
    convert(w, h, "gradient:#fff3e0-#ffe0b8", m, BMP_OPTS + [f"BMP3:{out}"])


def template_d(out):
    w, h = 200, 233
    m = D.st("#ffe0ec", op=0.9) + D.ellipse(100, 240, 120, 60)
    m += put(face("round", "#ffe1c8", "big", "worried", "o", front=[D.blush("#ff8fa3")]), 100, 148, 1.75)
    m += calm_band(4, 6, 196, 64, "#ffffff", 0.92, 12)
    convert(w, h, "gradient:#fff7fa-#ffd6e6", m, BMP_OPTS + [f"BMP3:{out}"])


def template_e(out):
    w, h = 505, 226
    left = face("round", Y, "sunglasses", "", "smirk")
    right = face("round", "#ffc9a3", "shock", "worried", "bigo", front=[D.drop(-34, -20, 7)])
    m = put(left, 76, 126, 1.65) + put(right, 432, 126, 1.65)
    m += calm_band(144, 26, 376, 86, "#ffffff", 0.92, 14)
    # A spark between the two: cool guy versus shocked guy.
    m += D.st("#ffd23f", "#e08a00", 2.4) + D.poly([(262, 100), (232, 150), (252, 150), (238, 200), (276, 138), (256, 138), (272, 100)])
    m += D.sparkle(206, 126, 9, "#ffffff", "#9fb3c8") + D.sparkle(302, 178, 7, "#ffffff", "#9fb3c8")
    convert(w, h, "gradient:#eef8ff-#dcefff", m, BMP_OPTS + [f"BMP3:{out}"])


def template_F(out):
    w, h = 284, 169
    m = put(face("panda", PALE, "pflat", "", "cat", front=[D.popcorn(40, 30, 1.0)]), 62, 104, 1.22)
    m += calm_band(88, 2, 282, 58, "#ffffff", 0.92, 12)
    convert(w, h, "gradient:#f5fff0-#dff3d4", m, BMP_OPTS + [f"BMP3:{out}"])


def icon(tmp, write_icon, out):
    big = 128
    s = big / 2 / 44
    m = D.gc(D.st(Y, "#2b2118", 6) + D.circle(0, 0, 40)
             + D.st("#2b2118") + D.ellipse(-15, -10, 6, 9) + D.ellipse(15, -10, 6, 9)
             + D.st("#7a1c22", "#2b2118", 5) + D.path("M -24,8 Q 0,40 24,8 Z"),
             big / 2, big / 2, 0, s)
    png = os.path.join(tmp, "icon128.png")
    subprocess.run(["convert", "-size", f"{big}x{big}", "xc:none", "-draw", m, png], check=True)
    rgba = subprocess.run(["convert", png, "-resize", "32x32", "-depth", "8", "RGBA:-"],
                          check=True, capture_output=True).stdout
    write_icon(rgba, out)


def make_all(outdir, tmp, jpeg, write_icon):
    o = lambda n: os.path.join(outdir, n)  # noqa: E731
    backdrop(o("backdrop.jpg"), jpeg)
    tile(o("tile.jpg"), jpeg)
    template_a(o("template_a.jpg"), jpeg)
    template_b(o("template_b.bmp"))
    template_C(o("template_C.bmp"))
    template_d(o("template_d.bmp"))
    template_e(o("template_e.bmp"))
    template_F(o("template_F.bmp"))
    icon(tmp, write_icon, o("program.ico"))
