# Drawing vocabulary for the built-in pictures: every function returns
# ImageMagick MVG text. Characters are drawn in "face units": the head is a
# circle of radius 40 around the origin, and the caller places and scales the
# whole group, so one description works at every picture size.

FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
INK = "#2b2118"


def gc(body, tx=0.0, ty=0.0, rot=0.0, sx=1.0, sy=None):
    out = ["push graphic-context"]
    if tx or ty:
        out.append(f"translate {tx:.2f},{ty:.2f}")
    if rot:
        out.append(f"rotate {rot:.2f}")
    if sx != 1.0 or (sy is not None and sy != sx):
        out.append(f"scale {sx:.4f},{sx if sy is None else sy:.4f}")
    out.append(body.rstrip("\n"))
    out.append("pop graphic-context")
    return "\n".join(out) + "\n"


def st(fill="none", stroke="none", sw=0.0, op=None, cap="round"):
    # ImageMagick stamps the current opacity onto every colour set after it,
    # so the opacity goes first (else "fill none" turns into a dark fill).
    a = 1.0 if op is None else op
    s = f"fill-opacity {a if fill != 'none' else 1.0:.2f}\nstroke-opacity {a if stroke != 'none' else 1.0:.2f}\n"
    s += f"fill '{fill}' stroke '{stroke}' stroke-width {sw:.2f} stroke-linecap {cap} stroke-linejoin round\n"
    return s


def circle(x, y, r):
    return f"circle {x:.2f},{y:.2f} {x + r:.2f},{y:.2f}\n"


def ellipse(x, y, rx, ry, a0=0, a1=360):
    return f"ellipse {x:.2f},{y:.2f} {rx:.2f},{ry:.2f} {a0},{a1}\n"


def path(d):
    return f"path '{d}'\n"


def poly(pts):
    return "polygon " + " ".join(f"{x:.2f},{y:.2f}" for x, y in pts) + "\n"


def rrect(x0, y0, x1, y1, r):
    return f"roundrectangle {x0:.2f},{y0:.2f} {x1:.2f},{y1:.2f} {r:.2f},{r:.2f}\n"


def line(x0, y0, x1, y1):
    return f"line {x0:.2f},{y0:.2f} {x1:.2f},{y1:.2f}\n"


def text(x, y, s, size, fill, stroke="none", sw=0.0, anchor="middle"):
    return (f"font '{FONT}'\nfont-size {size:.2f}\ntext-anchor {anchor}\n"
            + st(fill, stroke, sw) + f"text {x:.2f},{y:.2f} '{s}'\n")


# ---------------------------------------------------------------- heads

def head(kind, skin, outline=INK):
    if kind == "round":
        return st(skin, outline, 3) + circle(0, 0, 40)
    if kind == "panda":
        # White face, black ears and eye patches: the classic panda-man.
        s = st("#1d1d1d", "#1d1d1d", 2) + circle(-31, -30, 13) + circle(31, -30, 13)
        s += st("#fbfbf6", outline, 3) + ellipse(0, 2, 42, 38)
        for side in (-1, 1):
            s += gc(st("#1d1d1d") + ellipse(0, 0, 10, 13), side * 16, -3, side * -35)
        return s
    if kind == "rage":
        # Pale, slightly long comic face.
        return st(skin, outline, 3) + path(
            "M 0,-44 C 30,-44 40,-24 40,0 C 40,28 24,44 0,44 C -24,44 -40,28 -40,0 C -40,-24 -30,-44 0,-44 Z")
    if kind == "blob":
        return st(skin, outline, 3) + path(
            "M -38,-10 C -38,-38 38,-38 38,-10 L 40,20 C 40,42 -40,42 -40,20 Z")
    if kind == "cat":
        s = st(skin, outline, 3) + poly([(-36, -14), (-30, -48), (-10, -34)])
        s += poly([(36, -14), (30, -48), (10, -34)])
        s += st(skin, outline, 3) + ellipse(0, 2, 40, 36)
        s += st("#ffb3c1") + poly([(-30, -22), (-28, -40), (-16, -32)]) + poly([(30, -22), (28, -40), (16, -32)])
        return s
    if kind == "monster":
        s = st("#ffe9a8", outline, 2.5) + poly([(-26, -30), (-34, -56), (-12, -38)])
        s += poly([(26, -30), (34, -56), (12, -38)])
        s += st(skin, outline, 3) + path(
            "M -40,0 C -40,-30 -22,-40 0,-40 C 22,-40 40,-30 40,0 L 40,36 L 30,30 L 20,38 L 10,30 L 0,38 "
            "L -10,30 L -20,38 L -30,30 L -40,36 Z")
        return s
    raise ValueError(kind)


# ---------------------------------------------------------------- eyes

def eyes(style, ink=INK):
    s = ""
    L, R, Y = -15, 15, -6
    if style == "dot":
        s += st(ink) + ellipse(L, Y, 4, 6) + ellipse(R, Y, 4, 6)
        s += st("white") + circle(L + 1.3, Y - 2.3, 1.4) + circle(R + 1.3, Y - 2.3, 1.4)
    elif style in ("big", "sparkle"):
        for x in (L, R):
            s += st("white", ink, 2.2) + ellipse(x, Y - 1, 10, 12)
            s += st(ink) + ellipse(x + 1, Y + 1, 6.5, 8)
            s += st("white") + circle(x + 3.5, Y - 3, 2.6) + circle(x - 1.5, Y + 4, 1.3)
        if style == "sparkle":
            s += sparkle(L - 4, Y - 8, 3.5, "white") + sparkle(R - 4, Y - 8, 3.5, "white")
    elif style == "happy":
        s += st("none", ink, 3.2) + path(f"M {L-7},{Y+3} Q {L},{Y-9} {L+7},{Y+3}")
        s += path(f"M {R-7},{Y+3} Q {R},{Y-9} {R+7},{Y+3}")
    elif style == "closed":
        s += st("none", ink, 3.2) + path(f"M {L-7},{Y-2} Q {L},{Y+6} {L+7},{Y-2}")
        s += path(f"M {R-7},{Y-2} Q {R},{Y+6} {R+7},{Y-2}")
    elif style == "shock":
        for x in (L, R):
            s += st("white", ink, 2.2) + circle(x, Y - 2, 10)
            s += st(ink) + circle(x, Y - 2, 2.2)
    elif style == "sunglasses":
        s += st("#111111", "#111111", 2) + path(
            f"M -32,{Y-8} L -3,{Y-8} L -5,{Y+4} C -7,{Y+10} -26,{Y+10} -29,{Y+3} Z")
        s += path(f"M 32,{Y-8} L 3,{Y-8} L 5,{Y+4} C 7,{Y+10} 26,{Y+10} 29,{Y+3} Z")
        s += st("none", "#111111", 3) + line(-3, Y - 6, 3, Y - 6) + line(-32, Y - 7, -39, Y - 10) + line(32, Y - 7, 39, Y - 10)
        s += st("none", "#9fd8ff", 2.2) + line(-24, Y - 5, -18, Y - 5) + line(10, Y - 5, 16, Y - 5)
    elif style == "heart":
        s += heart(L, Y, 9, "#ff2d55", ink) + heart(R, Y, 9, "#ff2d55", ink)
    elif style == "sleepy":
        for x in (L, R):
            s += st(ink) + path(f"M {x-8},{Y} Q {x},{Y+8} {x+8},{Y} Z")
            s += st("none", ink, 3) + line(x - 9, Y, x + 9, Y)
    elif style == "side":
        for x in (L, R):
            s += st("white", ink, 2.2) + ellipse(x, Y, 10, 6.5)
            s += st(ink) + circle(x + 5, Y + 1, 4)
            s += st("none", ink, 3.2) + line(x - 11, Y - 4, x + 11, Y - 5)
    elif style == "money":
        for x in (L, R):
            s += st("#ffd60a", "#b07800", 1.6) + circle(x, Y, 10)
            s += st("none", "#8a5a00", 2.6) + path(f"M {x-5},{Y-6} L {x},{Y} L {x+5},{Y-6} M {x},{Y} L {x},{Y+7} "
                                                   f"M {x-4},{Y+1} L {x+4},{Y+1} M {x-4},{Y+4} L {x+4},{Y+4}")
    elif style == "x":
        s += st("none", ink, 3.4) + line(L - 6, Y - 6, L + 6, Y + 6) + line(L - 6, Y + 6, L + 6, Y - 6)
        s += line(R - 6, Y - 6, R + 6, Y + 6) + line(R - 6, Y + 6, R + 6, Y - 6)
    elif style == "wink":
        s += st(ink) + ellipse(L, Y, 4, 6) + st("white") + circle(L + 1.3, Y - 2.3, 1.4)
        s += st("none", ink, 3.2) + path(f"M {R-7},{Y+2} Q {R},{Y-8} {R+7},{Y+2}")
    elif style == "glasses":
        s += st(ink) + circle(L, Y, 3.2) + circle(R, Y, 3.2)
        s += st("white", ink, 2.4, op=0.35) + circle(L, Y, 10) + circle(R, Y, 10)
        s += st("none", ink, 2.4) + line(-5, Y - 1, 5, Y - 1)
    elif style == "spiral":
        for x in (L, R):
            s += st("none", ink, 2.2) + path(
                f"M {x},{Y} m 0,-1 a 1,1 0 1,1 -1,2 a 3,3 0 1,1 4,-4 a 5,5 0 1,1 -7,7 a 7,7 0 1,1 10,-10")
    elif style == "angry":
        for side in (-1, 1):
            x = side * 15
            s += st("white", ink, 2) + path(f"M {x-9},{Y-3} L {x+9},{Y-3} Q {x+8},{Y+7} {x},{Y+7} Q {x-8},{Y+7} {x-9},{Y-3} Z")
            s += st(ink) + circle(x, Y + 1, 3.4)
    elif style == "pdot":
        # For dark eye patches: white eyes with black pupils.
        s += st("white") + circle(L + 1, Y, 5.5) + circle(R - 1, Y, 5.5)
        s += st(ink) + circle(L + 2, Y + 0.5, 3) + circle(R, Y + 0.5, 3)
    elif style == "pflat":
        # Half-shut, unimpressed eyes on dark patches.
        for x in (L + 1, R - 1):
            s += st("white") + path(f"M {x-6},{Y-1} L {x+6},{Y-1} Q {x+5},{Y+6} {x},{Y+6} Q {x-5},{Y+6} {x-6},{Y-1} Z")
            s += st(ink) + circle(x, Y + 2.5, 2.6)
    elif style == "tiny":
        s += st(ink) + circle(L, Y, 2.4) + circle(R, Y, 2.4)
    elif style == "teary":
        for x in (L, R):
            s += st("white", ink, 2.2) + ellipse(x, Y - 1, 10, 11)
            s += st(ink) + ellipse(x, Y + 1, 7, 8)
            s += st("white") + circle(x + 3, Y - 3, 2.8) + circle(x - 2, Y + 4, 1.6)
            s += st("#8fd3ff", "none", 0, op=0.8) + path(f"M {x-9},{Y+6} Q {x},{Y+12} {x+9},{Y+6} Q {x},{Y+9} {x-9},{Y+6} Z")
    else:
        raise ValueError(style)
    return s


def brows(style, ink=INK):
    if style == "angry":
        return st("none", ink, 4) + line(-25, -22, -7, -15) + line(25, -22, 7, -15)
    if style == "worried":
        return st("none", ink, 3.2) + line(-24, -16, -8, -23) + line(24, -16, 8, -23)
    if style == "raised":
        return st("none", ink, 3) + path("M -24,-20 Q -16,-28 -7,-22") + path("M 24,-20 Q 16,-28 7,-22")
    if style == "one":
        return st("none", ink, 3.4) + line(-24, -18, -7, -18) + path("M 24,-26 Q 16,-30 7,-22")
    if style == "thick":
        return st(ink) + path("M -27,-20 L -6,-17 L -7,-13 L -26,-15 Z") + path("M 27,-20 L 6,-17 L 7,-13 L 26,-15 Z")
    return ""


# ---------------------------------------------------------------- mouths

def mouth(style, ink=INK):
    Y = 17
    if style == "smile":
        return st("none", ink, 3.4) + path(f"M -14,{Y-3} Q 0,{Y+11} 14,{Y-3}")
    if style == "grin":
        return (st("#7a1c22", ink, 2.6) + path(f"M -18,{Y-4} Q 0,{Y+22} 18,{Y-4} Z")
                + st("white") + path(f"M -16,{Y-3} L 16,{Y-3} L 14,{Y+2} L -14,{Y+2} Z")
                + st("#ff7b8a") + path(f"M -7,{Y+10} Q 0,{Y+5} 7,{Y+10} Q 0,{Y+13} -7,{Y+10} Z"))
    if style == "o":
        return st("#5a1a1a", ink, 2.4) + ellipse(0, Y + 2, 5, 7)
    if style == "bigo":
        return (st("#6b1420", ink, 2.6) + ellipse(0, Y + 5, 10, 14)
                + st("#ff7b8a") + ellipse(0, Y + 13, 6, 4))
    if style == "frown":
        return st("none", ink, 3.4) + path(f"M -13,{Y+6} Q 0,{Y-5} 13,{Y+6}")
    if style == "smirk":
        return st("none", ink, 3.4) + path(f"M -12,{Y+3} Q 4,{Y+6} 15,{Y-5}")
    if style == "flat":
        return st("none", ink, 3.4) + line(-10, Y + 1, 10, Y + 1)
    if style == "wavy":
        return st("none", ink, 3) + path(f"M -15,{Y+2} Q -10,{Y-3} -5,{Y+2} Q 0,{Y+7} 5,{Y+2} Q 10,{Y-3} 15,{Y+2}")
    if style == "teeth":
        s = st("white", ink, 2.6) + rrect(-16, Y - 5, 16, Y + 8, 4)
        s += st("none", ink, 1.6) + line(-16, Y + 1.5, 16, Y + 1.5)
        for x in (-8, 0, 8):
            s += line(x, Y - 5, x, Y + 8)
        return s
    if style == "tongue":
        return (st("none", ink, 3.4) + path(f"M -14,{Y-3} Q 0,{Y+9} 14,{Y-3}")
                + st("#ff6b81", ink, 2.2) + path(f"M 0,{Y+2} L 10,{Y+1} Q 12,{Y+14} 5,{Y+14} Q -1,{Y+13} 0,{Y+2} Z"))
    if style == "cat":
        return st("none", ink, 3) + path(f"M -12,{Y} Q -6,{Y+7} 0,{Y} Q 6,{Y+7} 12,{Y}")
    if style == "shout":
        return (st("#6b1420", ink, 2.6) + path(f"M -16,{Y-5} L 16,{Y-5} L 10,{Y+16} L -10,{Y+16} Z")
                + st("white") + path(f"M -15,{Y-4} L 15,{Y-4} L 14,{Y} L -14,{Y} Z")
                + st("#ff7b8a") + path(f"M -8,{Y+15} Q 0,{Y+8} 8,{Y+15} Z"))
    if style == "drool":
        return (st("none", ink, 3.4) + path(f"M -14,{Y-2} Q 0,{Y+9} 14,{Y-2}")
                + st("#bfe9ff", "#5aa9d6", 1.2) + path(f"M 9,{Y+2} Q 12,{Y+10} 10,{Y+14} Q 7,{Y+14} 8,{Y+3} Z"))
    if style == "none":
        return ""
    raise ValueError(style)


# ---------------------------------------------------------------- extras

def sparkle(x, y, r, color, outline="none"):
    return st(color, outline, 1.2 if outline != "none" else 0) + path(
        f"M {x},{y-r} Q {x+r*0.18},{y-r*0.18} {x+r},{y} Q {x+r*0.18},{y+r*0.18} {x},{y+r} "
        f"Q {x-r*0.18},{y+r*0.18} {x-r},{y} Q {x-r*0.18},{y-r*0.18} {x},{y-r} Z")


def heart(x, y, s, color, outline=INK, sw=1.8):
    return st(color, outline, sw) + path(
        f"M {x},{y+s*0.95} C {x-s*1.7},{y-s*0.15} {x-s*0.75},{y-s*1.35} {x},{y-s*0.45} "
        f"C {x+s*0.75},{y-s*1.35} {x+s*1.7},{y-s*0.15} {x},{y+s*0.95} Z")


def drop(x, y, s, fill="#8fdcff", outline="#2f7fb8"):
    return st(fill, outline, 1.6) + path(
        f"M {x},{y-s} C {x+s*0.5},{y-s*0.3} {x+s*0.75},{y+s*0.15} {x+s*0.75},{y+s*0.45} "
        f"C {x+s*0.75},{y+s*0.95} {x-s*0.75},{y+s*0.95} {x-s*0.75},{y+s*0.45} "
        f"C {x-s*0.75},{y+s*0.15} {x-s*0.5},{y-s*0.3} {x},{y-s} Z") + st("white", op=0.8) + ellipse(x - s * 0.3, y + s * 0.35, s * 0.14, s * 0.22)


def blush(color="#ff7f98"):
    s = st(color, op=0.55) + ellipse(-25, 9, 8, 4.5) + ellipse(25, 9, 8, 4.5)
    s += st("none", "#e0405f", 1.4)
    for x in (-29, -25, -21):
        s += line(x, 11, x + 3, 6)
    for x in (21, 25, 29):
        s += line(x, 11, x + 3, 6)
    return s


def tears():
    return (st("#8fd3ff", "#3b8fd0", 1.6, op=0.9)
            + path("M -21,-1 L -11,-1 L -9,42 Q -16,47 -23,42 Z")
            + path("M 9,-1 L 19,-1 L 21,42 Q 14,47 7,42 Z"))


def anger(x, y, s=1.0, color="#e8213a"):
    body = st("none", color, 3.2)
    for rot in (0, 90, 180, 270):
        body += gc(path("M 3,-10 Q 3,-3 10,-3"), rot=rot)
    return gc(body, x, y, 0, s)


def zzz(x, y, color="#3d5a99"):
    return (text(x, y, "Z", 14, color, "white", 1) + text(x + 10, y - 10, "Z", 11, color, "white", 1)
            + text(x + 18, y - 18, "z", 9, color, "white", 1))


def fist(x, y, r=11, skin="#ffd8a8", rot=0):
    body = st(skin, INK, 2.4) + rrect(-r, -r * 0.85, r, r * 0.9, r * 0.5)
    body += st("none", INK, 1.8)
    for k in (-0.35, 0.25):
        body += path(f"M {-r*0.95},{k*r} Q {-r*0.5},{k*r+2} 0,{k*r}")
    body += path(f"M {-r*0.2},{-r*0.85} Q {-r*0.1},{-r*0.2} {r*0.4},{-r*0.1}")
    return gc(body, x, y, rot)


def thumbs_up(x, y, s=1.0, skin="#ffd8a8"):
    body = st(skin, INK, 2.4) + path("M -4,-2 L -2,-20 Q 0,-26 5,-24 Q 8,-22 7,-15 L 5,-4 Z")
    body += rrect(-12, -5, 14, 20, 6)
    body += st("none", INK, 1.6) + line(-12, 3, 4, 3) + line(-12, 11, 4, 11)
    body += st("#4a88d6", INK, 2.2) + rrect(-16, 12, -6, 30, 2)
    return gc(body, x, y, 0, s)


def pointer(x, y, s=1.0, rot=0, skin="#ffd8a8"):
    # Hand pointing to +x.
    body = st("#5473c8", INK, 2.2) + rrect(-30, -7, -14, 9, 3)
    body += st(skin, INK, 2.4) + rrect(-16, -8, 2, 12, 6)
    body += rrect(-2, -8, 20, -1, 3.5)
    body += st("none", INK, 1.6) + line(-14, 3, 0, 3) + line(-14, 8, 0, 8)
    return gc(body, x, y, rot, s)


def hammer(x, y, s=1.0, rot=0):
    body = st("#b5793f", INK, 2.4) + rrect(-3.5, -4, 3.5, 46, 2)
    body += st("#8d96a3", INK, 2.6) + rrect(-18, -16, 18, 2, 3)
    body += st("#c6ced8") + rrect(-15, -14, 15, -9, 2)
    body += st("#5d6470") + rrect(-18, -16, -13, 2, 1) + rrect(13, -16, 18, 2, 1)
    return gc(body, x, y, rot, s)


def sword(x, y, s=1.0, rot=0):
    body = st("#dfe7ef", INK, 2.2) + poly([(-4, 0), (-4, -60), (0, -68), (4, -60), (4, 0)])
    body += st("none", "#ffffff", 1.6) + line(-1, -8, -1, -58)
    body += st("#f2b632", INK, 2.2) + rrect(-14, -1, 14, 5, 2)
    body += st("#7b3f1e", INK, 2.2) + rrect(-3.5, 5, 3.5, 20, 1.5)
    body += st("#f2b632", INK, 2) + circle(0, 23, 3.5)
    return gc(body, x, y, rot, s)


def siren(x, y, s=1.0, phase=0):
    body = st("#444b55", INK, 2) + rrect(-14, 0, 14, 6, 2)
    body += st("#ff3b3b" if phase == 0 else "#3b7bff", INK, 2.2) + path("M -11,0 L -11,-10 Q 0,-24 11,-10 L 11,0 Z")
    body += st("white", op=0.7) + ellipse(-4, -10, 2.5, 4)
    body += st("none", "#ff3b3b" if phase == 0 else "#3b7bff", 2.6)
    for a in ((-20, -14, -28, -20), (20, -14, 28, -20), (-17, -4, -26, -4), (17, -4, 26, -4), (0, -22, 0, -31)):
        body += line(*a)
    return gc(body, x, y, 0, s)


def rose(x, y, s=1.0, rot=0):
    body = st("none", "#2e8b3d", 2.6) + path("M 0,0 Q -3,20 2,38")
    body += st("#43b05c", "#2e8b3d", 1.4) + path("M 1,18 Q 12,12 16,18 Q 10,24 1,18 Z")
    body += st("#e8213a", "#8f0f23", 1.8) + circle(0, -4, 8)
    body += st("none", "#8f0f23", 1.4) + path("M -4,-5 Q 0,-10 4,-5 Q 0,0 -3,-3")
    return gc(body, x, y, rot, s)


def soy_bottle(x, y, s=1.0, rot=0):
    body = st("#3a1f0f", INK, 2.4) + path("M -9,40 L -9,6 Q -9,-2 -4,-6 L -4,-18 L 4,-18 L 4,-6 Q 9,-2 9,6 L 9,40 Z")
    body += st("#e8213a", INK, 1.6) + rrect(-5, -24, 5, -17, 1.5)
    body += st("#fff3d6", INK, 1.4) + rrect(-8, 10, 8, 30, 2)
    body += text(0, 24, "酱油", 7, "#b3201a")
    return gc(body, x, y, rot, s)


def glasses_round(ink=INK):
    return (st("white", ink, 2.4, op=0.3) + circle(-15, -6, 10) + circle(15, -6, 10)
            + st("none", ink, 2.4) + line(-5, -7, 5, -7) + line(-25, -8, -39, -11) + line(25, -8, 39, -11))


def beard():
    s = st("#f4f4f4", "#9a9a9a", 1.8)
    for x, y, r in ((-22, 26, 10), (22, 26, 10), (-12, 36, 11), (12, 36, 11), (0, 42, 12)):
        s += circle(x, y, r)
    s += st("#f4f4f4", "#9a9a9a", 1.8) + path("M -20,14 Q -10,8 0,13 Q 10,8 20,14 Q 10,20 0,16 Q -10,20 -20,14 Z")
    return s


def popcorn(x, y, s=1.0):
    body = ""
    for px, py in ((-9, -12), (-2, -16), (6, -13), (11, -9), (-12, -6), (2, -9)):
        body += st("#fff6cf", "#d9a93b", 1.4) + circle(px, py, 5.5)
    body += st("white", INK, 2.2) + poly([(-14, -6), (14, -6), (10, 22), (-10, 22)])
    body += st("#e8213a") + poly([(-9, -6), (-4, -6), (-3.5, 22), (-7, 22)]) + poly([(4, -6), (9, -6), (7, 22), (3.5, 22)])
    body += st("none", INK, 2.2) + poly([(-14, -6), (14, -6), (10, 22), (-10, 22)])
    return gc(body, x, y, 0, s)


def exclaim(x, y, s=1.0, color="#e8213a"):
    body = st(color, INK, 2) + poly([(-5, -22), (5, -22), (3, 6), (-3, 6)]) + circle(0, 14, 4.5)
    return gc(body, x, y, 12, s)


def question(x, y, size=26, color="#3b7bff"):
    return text(x, y, "?", size, color, "white", 1.5)


def coin(x, y, r=7):
    return (st("#ffd60a", "#a86f00", 1.8) + circle(x, y, r)
            + st("none", "#a86f00", 1.6) + circle(x, y, r * 0.62))


def chain():
    s = ""
    for k in range(9):
        t = -1 + k * 0.25
        s += st("none", "#e0a800", 2.4) + ellipse(t * 24, 44 + 8 * (1 - t * t), 3.4, 2.4)
    s += st("#ffd60a", "#a86f00", 2) + circle(0, 55, 7)
    s += st("none", "#8a5a00", 1.8) + path("M -3,51 L 0,55 L 3,51 M 0,55 L 0,60 M -3,56 L 3,56")
    return s


def palm_over(skin="#ffd8a8"):
    # A hand across the eyes (facepalm).
    return gc(st(skin, INK, 2.4) + path(
        "M -30,4 L -2,4 Q 6,4 6,-4 L 6,-8 Q 6,-14 0,-14 L -6,-14 L 22,-14 Q 28,-14 28,-9 Q 28,-4 22,-4 L 16,-4 "
        "L 26,-3 Q 31,-2 30,3 Q 29,8 24,7 L 16,6 L 24,8 Q 29,9 28,14 Q 27,18 22,17 L 14,16 L 20,18 "
        "Q 24,20 22,24 Q 20,27 16,26 L -4,22 Q -24,20 -30,16 Z"), -2, -4, -8)


def boot(x, y, s=1.0):
    body = st("#5b3a24", INK, 2.6) + path("M -14,-40 L 14,-40 L 14,0 L 40,6 Q 48,10 46,18 L -16,18 Q -20,10 -14,0 Z")
    body += st("#2f1d11", INK, 2.4) + rrect(-17, 14, 47, 22, 3)
    body += st("none", "#8a6244", 2) + line(-10, -30, 10, -30) + line(-10, -22, 10, -22)
    return gc(body, x, y, 0, s)


def drumstick(x, y, s=1.0, rot=0):
    body = st("#f7f0e1", INK, 2) + rrect(10, -3, 30, 3, 2) + circle(31, -4, 3.5) + circle(31, 4, 3.5)
    body += st("#b5652b", INK, 2.4) + path("M 12,-6 C 0,-18 -22,-14 -22,0 C -22,14 0,18 12,6 Z")
    body += st("#dc8f4f", op=0.9) + ellipse(-8, -5, 8, 4)
    return gc(body, x, y, rot, s)


def open_hand(x, y, s=1.0, rot=0, skin="#ffd8a8"):
    # Hand held out for a handshake, palm facing the viewer.
    body = st("#4a88d6", INK, 2.2) + rrect(-34, -6, -16, 12, 3)
    body += st(skin, INK, 2.4) + path(
        "M -18,-6 L 10,-8 Q 16,-8 16,-4 Q 16,-1 10,-1 L 18,0 Q 22,1 21,5 Q 20,8 16,7 L 16,8 Q 20,9 19,12 "
        "Q 18,15 14,14 L 10,14 Q 12,17 10,19 L -18,14 Z")
    body += st(skin, INK, 2.2) + path("M -6,-7 L 0,-18 Q 4,-21 6,-17 L 3,-7 Z")
    return gc(body, x, y, rot, s)


def flame(x, y, s=1.0):
    body = st("#ff7a1a", "#c43d00", 1.8) + path("M 0,-24 C 10,-12 16,-6 14,6 C 12,14 -12,14 -14,6 C -16,-4 -6,-8 -4,-16 C 0,-10 2,-12 0,-24 Z")
    body += st("#ffd23f") + path("M 0,-8 C 6,-2 8,2 7,7 C 5,11 -5,11 -7,7 C -8,2 -3,0 0,-8 Z")
    return gc(body, x, y, 0, s)


def crown(x, y, s=1.0):
    body = st("#ffd60a", "#a86f00", 2.2) + poly([(-16, 6), (-18, -10), (-8, -2), (0, -14), (8, -2), (18, -10), (16, 6)])
    body += st("#e8213a") + circle(0, -2, 2.5) + st("#3b7bff") + circle(-10, 2, 2) + circle(10, 2, 2)
    return gc(body, x, y, 0, s)


def speed_lines(ink="#2b2118", op=0.5):
    s = st("none", ink, 2.2, op=op)
    for y in (-30, -16, 0, 14, 28):
        s += line(-70, y, -50, y + 2)
        s += line(50, y + 2, 70, y)
    return s


def cap_hat(color="#e8213a"):
    return (st(color, INK, 2.6) + path("M -36,-16 C -36,-48 36,-48 36,-16 Z")
            + st(color, INK, 2.6) + path("M 10,-18 L 52,-18 Q 54,-12 48,-10 L 10,-12 Z"))


def headband(color="#e8213a"):
    return (st(color, INK, 2.2) + path("M -40,-22 Q 0,-34 40,-22 L 39,-14 Q 0,-26 -39,-14 Z")
            + path("M 38,-20 L 54,-30 L 52,-18 Z") + path("M 38,-18 L 56,-12 L 46,-6 Z"))


def sweat_big(x=30, y=-22, s=9):
    return drop(x, y, s)


def dots_ellipsis(x, y, color="#2b2118"):
    return st(color) + circle(x - 8, y, 2.6) + circle(x, y, 2.6) + circle(x + 8, y, 2.6)


def mic(x, y, s=1.0, rot=0):
    body = st("#333a44", INK, 2) + rrect(-3, 6, 3, 30, 2)
    body += st("#9aa5b5", INK, 2.2) + circle(0, 0, 8)
    body += st("none", "#5d6470", 1.2) + line(-6, -3, 6, -3) + line(-7, 1, 7, 1)
    return gc(body, x, y, rot, s)


def phone(x, y, s=1.0, rot=0):
    body = st("#2d3340", INK, 2.2) + rrect(-9, -16, 9, 16, 3)
    body += st("#7fe0ff") + rrect(-6.5, -12, 6.5, 10, 1.5)
    body += text(0, 3, "110", 6, "#d61f2c")
    return gc(body, x, y, rot, s)


def moon(x, y, r=12):
    return st("#fff2a8", "#d9b400", 1.6) + path(
        f"M {x},{y-r} A {r},{r} 0 1,0 {x+r*0.9},{y+r*0.5} A {r*0.8},{r*0.8} 0 1,1 {x},{y-r} Z")


def star5(x, y, r, color, outline="none"):
    import math
    pts = []
    for k in range(10):
        a = -math.pi / 2 + k * math.pi / 5
        rr = r if k % 2 == 0 else r * 0.45
        pts.append((x + rr * math.cos(a), y + rr * math.sin(a)))
    return st(color, outline, 1.4 if outline != "none" else 0) + poly(pts)


def facepalm(skin="#ffd8a8", sleeve="#5473c8"):
    # A hand slapped over the eyes, fingers up, wrist leaving to the lower right.
    body = st(sleeve, INK, 2.4) + rrect(-12, 20, 12, 56, 3)
    body += st(skin, INK, 2.4)
    for x in (-11, -3.7, 3.7, 11):
        body += rrect(x - 3.7, -30 + abs(x) * 0.6, x + 3.7, 4, 3.7)
    body += gc(rrect(-4.2, -18, 4.2, 2, 4.2), -15, 12, -55)
    body += st(skin, "none", 0) + rrect(-14.4, -4, 14.4, 22, 7)
    body += st("none", INK, 2.4) + path("M -14.8,-2 L -14.8,16 Q -14,24 -4,24 L 6,24 Q 15,24 15,14 L 15,-2")
    body += st("none", INK, 1.4) + line(-7, 8, -6, 14) + line(0, 9, 0, 15) + line(7, 8, 6, 14)
    return gc(body, 6, -16, -26, 0.9)
