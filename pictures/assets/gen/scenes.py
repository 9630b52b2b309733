# The thirty gallery pictures: size, caption, and what is drawn.
import draw as D

Y = "#ffd43b"      # classic yellow
SKIN = "#ffd8a8"
PALE = "#fbfbf6"


def face(kind, skin, eyes, brows="", mouth="smile", back=(), front=(), over=()):
    s = "".join(back)
    s += D.head(kind, skin)
    s += "".join(over)
    s += D.eyes(eyes) + D.brows(brows) + D.mouth(mouth)
    s += "".join(front)
    return s


def g0(frame=0):
    return face("round", Y, "shock", "worried", "bigo",
                back=[D.speed_lines()],
                front=[D.siren(0, -40, 1.1), D.drop(34, -20, 8), D.drop(-36, -12, 6),
                       D.phone(-46, 26, 1.0, -18)])


def g1(frame=0):
    return face("rage", PALE, "tiny", "", "flat",
                back=[D.sparkle(-48, -30, 9, "#bfe8ff", "#4aa3df"), D.sparkle(50, -20, 7, "#bfe8ff", "#4aa3df"),
                      D.sparkle(44, 30, 5, "#ffffff", "#4aa3df"), D.sparkle(-46, 26, 6, "#ffffff", "#4aa3df")],
                front=[D.dots_ellipsis(30, -46), D.drop(30, -20, 7)])


def g2(frame=0):
    hair = (D.st("#2b2118") + D.path("M -40,-6 C -46,-50 40,-60 42,-8 C 30,-30 10,-36 -4,-34 C -18,-30 -30,-24 -40,-6 Z")
            + D.st("none", "#ffffff", 3, op=0.8) + D.path("M -20,-36 Q 0,-44 22,-36"))
    return face("round", SKIN, "sparkle", "raised", "smile",
                back=[D.star5(-52, -34, 8, "#fff3a0", "#e0b000"), D.star5(52, -38, 6, "#fff3a0", "#e0b000"),
                      D.star5(54, 24, 7, "#fff3a0", "#e0b000")],
                over=[hair],
                front=[D.blush(), D.sparkle(-50, 10, 6, "white", "#e0b000"), D.sparkle(48, -2, 9, "white", "#e0b000")])


def g3(frame=0):
    return face("round", "#ffb25b", "angry", "angry", "teeth",
                back=[D.st("none", "#ffffff", 3.4, op=0.9) + D.path("M -40,-40 Q -30,-66 0,-66")
                      + D.path("M -48,-28 Q -44,-52 -22,-60") + D.path("M -52,-12 Q -52,-34 -38,-46")],
                front=[D.anger(-30, -34, 0.9), D.hammer(14, -28, 1.3, -30), D.fist(44, 24, 10)])


def g4(frame=0):
    return face("round", SKIN, "teary", "raised", "o",
                back=[D.sparkle(-50, -28, 8, "#ffffff", "#ff8fb0"), D.sparkle(50, -30, 10, "#ffffff", "#ff8fb0"),
                      D.sparkle(52, 20, 6, "#ffffff", "#ff8fb0")],
                front=[D.blush("#ffa6c1")])


def g5(frame=0):
    return face("round", "#b6e3a0", "closed", "worried", "bigo",
                front=[D.drumstick(4, 26, 1.0, -15), D.drop(-36, -24, 7), D.drop(40, -10, 6),
                       D.st("#9fd8ff", "none", 0, op=0.9) + D.path("M -21,-4 L -13,-4 L -11,12 L -23,12 Z")
                       + D.path("M 13,-4 L 21,-4 L 23,12 L 11,12 Z")])


def g6(frame=0):
    # Two frames: the face shakes with rage and the mouth snaps open.
    shift = -3 if frame == 0 else 3
    body = face("round", "#ff6b4a" if frame == 0 else "#ff4a3a", "angry", "angry",
                "teeth" if frame == 0 else "shout",
                front=[D.anger(-30, -36, 1.0), D.anger(32, -34, 0.8)])
    return D.gc(body, shift, 0)


def g7(frame=0):
    return face("rage", PALE, "closed", "worried", "bigo",
                back=[D.st("#c9e9ff", "none", 0, op=0.8) + D.ellipse(0, 48, 46, 8)],
                front=[D.tears()])


def g8(frame=0):
    return face("round", "#ffe1c8", "closed", "worried", "cat",
                back=[D.heart(-50, -30, 8, "#ff8fb0", "#d94a7a"), D.heart(50, -24, 6, "#ff8fb0", "#d94a7a")],
                front=[D.st("#ff7f98", op=0.7) + D.ellipse(-25, 9, 11, 6) + D.ellipse(25, 9, 11, 6), D.blush("#ff5d84"),
                       D.fist(-14, 34, 8, "#ffe1c8"), D.fist(14, 34, 8, "#ffe1c8")])


def g9(frame=0):
    return face("panda", PALE, "angry", "thick", "shout",
                front=[D.anger(36, -40, 1.0), D.fist(-44, 14, 11, PALE, -10), D.fist(44, 14, 11, PALE, 10)])


def g10(frame=0):
    return face("round", "#c7d2ff", "sleepy", "", "o",
                back=[D.st("#ffffff", "#7d8fd6", 2) + D.path("M -46,46 Q -50,30 -30,32 L 30,32 Q 50,30 46,46 Z")],
                front=[D.gc(D.zzz(0, 0), 40, -8, 0, 1.3), D.st("#3b4a8c", D.INK, 2.2) + D.path("M -40,-24 C -40,-58 40,-58 40,-24 Q 0,-36 -40,-24 Z")
                       + D.st("white", D.INK, 1.8) + D.circle(-44, -36, 5)])


def g11(frame=0):
    return face("rage", PALE, "glasses", "raised", "smirk",
                front=[D.pointer(46, 22, 1.1, 0), D.st("#2b2118") + D.path("M -38,-22 C -34,-52 34,-52 38,-22 Q 20,-38 0,-32 Q -20,-38 -38,-22 Z")])


def g12(frame=0):
    hair = D.st("#1d1d1d") + D.path("M -40,-8 C -44,-50 44,-50 40,-8 Q 30,-30 0,-30 Q -30,-30 -40,-8 Z")
    return face("round", SKIN, "angry", "angry", "shout",
                back=[D.sword(36, 10, 1.05, 35)],
                over=[hair, D.headband("#e8213a")],
                front=[D.fist(40, 20, 10)])


def g13(frame=0):
    return face("round", Y, "sunglasses", "", "smirk",
                back=[D.star5(-52, -30, 7, "#ffffff", "#6b6b6b"), D.star5(52, 28, 6, "#ffffff", "#6b6b6b")],
                front=[D.chain()])


def g14(frame=0):
    return face("round", "#ffc078", "wink", "one", "smirk",
                front=[D.thumbs_up(46, 12, 1.1), D.sparkle(-48, -26, 7, "white", "#c98a2b")])


def g15(frame=0):
    return face("round", Y, "tiny", "worried", "wavy",
                front=[D.drop(32, -26, 10), D.st("none", "#2b2118", 2, op=0.6) + D.line(-30, -40, -30, -28)
                       + D.line(-24, -43, -24, -31) + D.line(-18, -45, -18, -33)])


def g16(frame=0):
    return face("blob", "#a7e8c8", "side", "one", "flat",
                front=[D.question(52, -20, 28, "#ff4d6d"), D.exclaim(-52, -22, 0.9), D.drop(-30, -30, 6)])


def g17(frame=0):
    return face("round", "#ffb3c7", "heart", "raised", "tongue",
                back=[D.heart(-54, -30, 7, "#ff2d55"), D.heart(52, -36, 9, "#ff2d55"), D.heart(54, 20, 6, "#ff5d84")],
                front=[D.rose(-44, 14, 1.1, -20), D.blush("#ff4d79")])


def g18(frame=0):
    return face("cat", "#fff1d6", "big", "raised", "cat",
                back=[D.sparkle(-50, -34, 7, "#ffffff", "#7fb6e8"), D.sparkle(52, -30, 9, "#ffffff", "#7fb6e8"),
                      D.star5(50, 22, 6, "#fff3a0", "#d9b400")],
                front=[D.blush("#ffa6c1")])


def g19(frame=0):
    return face("round", "#ffd8a8", "teary", "worried", "o",
                front=[D.rose(0, 40, 1.0, 0), D.fist(-12, 36, 9), D.fist(12, 36, 9), D.drop(36, -24, 7)])


def g20(frame=0):
    return face("round", Y, "tiny", "", "smile",
                back=[D.st("none", "#5a4630", 2.2, op=0.5) + D.path("M -64,46 L 64,46")],
                over=[D.cap_hat("#2f9e44")],
                front=[D.soy_bottle(46, 14, 1.05, 10), D.st("none", "#2b2118", 2, op=0.5) + D.line(-60, -4, -48, -4)
                       + D.line(-62, 6, -48, 6) + D.line(-60, 16, -48, 16)])


def g21(frame=0):
    return face("rage", PALE, "shock", "raised", "bigo",
                back=[D.speed_lines("#ffffff", 0.9)],
                front=[D.exclaim(48, -28, 1.0), D.exclaim(-48, -28, 0.8), D.drop(34, -12, 6)])


def g22(frame=0):
    return face("round", "#ffd8a8", "closed", "worried", "frown",
                front=[D.facepalm("#ffd8a8"), D.drop(34, -26, 8), D.dots_ellipsis(-30, -50)])


def g23(frame=0):
    return face("round", Y, "money", "raised", "grin",
                back=[D.coin(-52, 34, 8), D.coin(-44, 42, 8), D.coin(50, 38, 8), D.coin(-56, 20, 7)],
                over=[D.crown(0, -46, 1.2)],
                front=[D.chain()])


def g24(frame=0):
    return face("round", "#ffc9a3", "happy", "raised", "grin",
                front=[D.open_hand(50, 22, 1.05, -6, "#ffc9a3"), D.blush("#ff8fa3"),
                       D.heart(-48, -30, 6, "#ff5d84")])


def g25(frame=0):
    return face("panda", PALE, "pdot", "thick", "frown",
                front=[D.anger(34, -42, 1.0),
                       D.st(PALE, D.INK, 2.6) + D.path("M -36,40 Q 0,28 36,40 L 34,50 Q 0,40 -34,50 Z")])


def g26(frame=0):
    # The boss, and a boot pressing a squashed little face into the floor.
    victim = D.gc(D.head("round", Y) + D.eyes("x") + D.mouth("wavy"), 0, 0, 0, 0.42, 0.26)
    boss = face("round", "#d0a27a", "side", "angry", "smirk",
                over=[D.st("#1d1d1d") + D.path("M -40,-10 C -44,-50 44,-50 40,-10 Q 20,-24 0,-22 Q -20,-24 -40,-10 Z")],
                front=[D.st("none", "#8a3b1f", 2.4) + D.line(18, 8, 28, 18) + D.line(22, 6, 30, 14)])
    floor = D.st("none", "#7a5a3a", 2.4, op=0.6) + D.line(-66, 56, 66, 56)
    return (floor + D.gc(boss, -18, -6, 0, 0.92) + D.gc(victim, 40, 50)
            + D.boot(32, 26, 0.68) + D.st("none", "#ffffff", 2.6, op=0.9) + D.line(58, 36, 66, 30) + D.line(60, 46, 68, 44))


def g27(frame=0):
    return face("rage", "#ffe6cc", "glasses", "worried", "flat",
                back=[D.st("#e9e9e9", D.INK, 2.2) + D.path("M -38,-22 C -36,-54 36,-54 38,-22 L 30,-30 L 20,-20 L 0,-32 L -20,-20 L -30,-30 Z")],
                front=[D.beard(), D.pointer(-48, -18, 0.9, -70, "#ffe6cc")])


def g28(frame=0):
    return face("monster", "#8fd14f", "big", "angry", "grin",
                back=[D.st("#7a5a3a", D.INK, 2.4) + D.rrect(-70, 40, 70, 60, 4),
                      D.st("none", "#4d3824", 1.8) + D.line(-70, 48, 70, 48)],
                front=[D.fist(-40, 36, 10, "#8fd14f"), D.fist(40, 36, 10, "#8fd14f")])


def g29(frame=0):
    return face("panda", PALE, "pflat", "", "flat",
                front=[D.popcorn(40, 30, 1.05)])


GALLERY = [
    (180, 158, "110吗这里有人装逼场面控制不住了", dict(bg=("rays", "#ffe3e3", "#ff9b9b", "#ffffff", 16), draw=g0)),
    (199, 176, "duang的一下就冷场了就像加了特效一样", dict(bg=("grad", "#e3f4ff", "#9fd3f5"), draw=g1)),
    (400, 400, "duang的一下，很亮，很柔", dict(bg=("rays", "#fffbe0", "#ffd966", "#ffffff", 20), draw=g2)),
    (188, 153, "一句话不说上去就是一锤子", dict(bg=("radial", "#fff0d0", "#ff9a3c"), draw=g3)),
    (200, 200, "哥眼神纯洁不", dict(bg=("dots", "#ffeef5", "#ffc2da", "#ffffff"), draw=g4)),
    (358, 362, "吞肉自杀", dict(bg=("stripes", "#fff7e6", "#ffe0b3", "#ffffff"), draw=g5, cap="top")),
    (61, 66, "你妈逼", dict(bg=("rays", "#ffe066", "#ffae00", "#fff3b0", 10), draw=g6, span=(100, 104))),
    (119, 122, "你妈个b欺负我", dict(bg=("grad", "#dfe9f5", "#a9bfd9"), draw=g7)),
    (120, 118, "害羞", dict(bg=("radial", "#fff5f8", "#ffc4d6"), draw=g8)),
    (200, 200, "反了你了", dict(bg=("rays", "#ffd6d6", "#ff6b6b", "#ffb3b3", 18), draw=g9, cap="top")),
    (260, 250, "嗨你麻痹，滚去睡", dict(bg=("night", "#20285a", "#5b6bb5"), draw=g10)),
    (188, 188, "看见没有 千万别学这个傻逼", dict(bg=("checks", "#f3f8ea", "#e2efcf"), draw=g11)),
    (228, 220, "妖孽 看剑", dict(bg=("rays", "#e8e4ff", "#9c8cf0", "#ffffff", 12), draw=g12, cap="top")),
    (196, 220, "你为何这么叼", dict(bg=("grad", "#fffbe8", "#ffd0a0"), draw=g13)),
    (169, 164, "这个B装的还可以", dict(bg=("dots", "#fff4e0", "#ffd9a0", "#ffffff"), draw=g14)),
    (212, 220, "这个时候只能呵呵", dict(bg=("grad", "#f0f0f0", "#c8ccd4"), draw=g15)),
    (304, 220, "看你麻痹没见过撸管吗", dict(bg=("stripes", "#e6fff2", "#b8f0d4", "#ffffff"), draw=g16)),
    (212, 220, "你这磨人的小妖精", dict(bg=("radial", "#fff0f5", "#ff9ec0"), draw=g17)),
    (181, 220, "如果有一天我变淫荡了，请记住我曾经天真的眼神",
     dict(bg=("dots", "#eef7ff", "#cfe6ff", "#ffffff"), draw=g18)),
    (219, 220, "妹子给个机会吧", dict(bg=("radial", "#fffde8", "#ffd6a5"), draw=g19, cap="top")),
    (204, 220, "我只是路过打酱油的", dict(bg=("grad", "#eaf7ff", "#cdebc0"), draw=g20)),
    (229, 220, "卧槽这傻逼又出现了", dict(bg=("rays", "#fff0c2", "#ff8c42", "#ffd08a", 16), draw=g21)),
    (144, 169, "你们够了", dict(bg=("grad", "#eeeeee", "#b9c3cf"), draw=g22, cap="top")),
    (323, 220, "把你这里最漂亮的妹子拉粗来，我有钱", dict(bg=("rays", "#fff9db", "#f5c542", "#ffffff", 24), draw=g23)),
    (284, 220, "你这个傻屌蛮有意思的我想我和你做个朋友", dict(bg=("grad", "#fff3e8", "#ffc9a0"), draw=g24)),
    (176, 144, "哥最恨装b的人了", dict(bg=("stripes", "#ffe9e9", "#ffc9c9", "#ffffff"), draw=g25)),
    (210, 220, "你爹在我脚下你最好老实点", dict(bg=("radial", "#f4e8dc", "#c9a27e"), draw=g26)),
    (211, 220, "年青人你的思想很危险啊", dict(bg=("grad", "#f2f7ee", "#c5dcb3"), draw=g27, cap="top")),
    (305, 220, "出来吧楼下的二逼兽", dict(bg=("checks", "#f0ffe4", "#dcf5c6"), draw=g28)),
    (220, 220, "我就静静的看着你装逼", dict(bg=("dots", "#f4f4f4", "#dcdcdc", "#ffffff"), draw=g29)),
]
