#!/usr/bin/env python3
"""Draws the client's pictures: toolbar strips, the Save picture, the
program icon and the cursors. Run from this folder; writes the .bmp, .ico
and .cur files beside itself (they are committed, so the build does not need
Python). `--png DIR` also writes PNG previews through ImageMagick.

Shapes are rasterised with 4x4 supersampling. Strips and the Save picture
are 24-bit with magenta (255, 0, 255) as the transparent colour: a pixel is
either covered (blended against white for its edge) or magenta, because the
button code keys on the exact mask colour."""
import math
import os
import struct
import subprocess
import sys

MAGENTA = (255, 0, 255)
SS = 4  # supersampling per axis


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        # premultiplied-free RGBA floats, alpha 0..1
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(w)] for _ in range(h)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        r, g, b, a = self.px[y][x]
        cr, cg, cb = colour
        na = coverage + a * (1 - coverage)
        if na <= 0:
            return
        mix = lambda c, o: (c * coverage + o * a * (1 - coverage)) / na
        self.px[y][x] = (mix(cr, r), mix(cg, g), mix(cb, b), na)

    def fill(self, inside, colour, box=None):
        """Fills every sub-sample for which inside(x, y) is true."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self.blend(x, y, colour(x, y) if callable(colour) else colour, hits / (SS * SS))

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                r, g, b, a = other.px[y][x]
                if a > 0:
                    self.blend(ox + x, oy + y, (r, g, b), a)


# ---- shape predicates -------------------------------------------------------
def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        c = False
        n = len(points)
        for i in range(n):
            xa, ya = points[i]
            xb, yb = points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                c = not c
        return c
    return inside


def segment(xa, ya, xb, yb, width):
    def inside(x, y):
        dx, dy = xb - xa, yb - ya
        t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / (dx * dx + dy * dy)))
        px, py = xa + t * dx, ya + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def vgrad(top, bottom, y0, y1):
    def colour(x, y):
        t = min(1.0, max(0.0, (y - y0) / max(1e-6, (y1 - y0))))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return colour


# ---- palette -----------------------------------------------------------------
BLUE_TOP, BLUE_BOTTOM = (88, 160, 240), (22, 92, 190)
BLUE_EDGE = (16, 64, 140)
INK = (40, 48, 60)
PAPER = (252, 252, 252)
PAPER_EDGE = (120, 130, 145)
RED_TOP, RED_BOTTOM = (236, 84, 70), (176, 30, 30)
GREEN_TOP, GREEN_BOTTOM = (96, 196, 96), (34, 130, 52)
GLASS = (214, 234, 252)


def glossy(c, shape, box, top=BLUE_TOP, bottom=BLUE_BOTTOM, edge=BLUE_EDGE, grow=0.9):
    """A shape with a one-pixel darker rim and a vertical gradient."""
    x0, y0, x1, y1 = box
    c.fill(shape(grow), edge, box)
    c.fill(shape(0), vgrad(top, bottom, y0, y1), box)


# ---- toolbar cells -----------------------------------------------------------
def tri_left(ox, tip, w=9, h=16, cy=15):
    return lambda g: polygon([(ox - g, cy), (ox + w + g * 0.6, cy - h / 2 - g), (ox + w + g * 0.6, cy + h / 2 + g)])


def tri_right(ox, w=9, h=16, cy=15):
    return lambda g: polygon([(ox + w + g, cy), (ox - g * 0.6, cy - h / 2 - g), (ox - g * 0.6, cy + h / 2 + g)])


def bar(x0, x1, y0=7, y1=23):
    return lambda g: rrect(x0 - g, y0 - g, x1 + g, y1 + g, 1.2)


def nav_cell(kind):
    c = Canvas(30, 30)
    box = (0, 0, 30, 30)
    if kind == "first":
        glossy(c, bar(6, 9), box)
        glossy(c, tri_left(11, 0), box)
    elif kind == "prev":
        glossy(c, tri_left(9, 0, w=11, h=18), box)
    elif kind == "next":
        glossy(c, tri_right(10, w=11, h=18), box)
    elif kind == "last":
        glossy(c, tri_right(10), box)
        glossy(c, bar(21, 24), box)
    return c


def magnifier(c, sign):
    # lens rim, glass, handle
    c.fill(segment(18.5, 18.5, 25.5, 25.5, 5.0), (60, 60, 70))
    c.fill(segment(19, 19, 25, 25, 3.2), vgrad((150, 110, 60), (90, 60, 30), 18, 26))
    c.fill(circle(12.5, 12.5, 9.0), (50, 80, 130))
    c.fill(circle(12.5, 12.5, 7.6), vgrad((236, 246, 255), (180, 212, 244), 5, 20))
    c.fill(polygon([(7, 9), (10, 6), (12, 7), (8, 11)]), (255, 255, 255))
    col = GREEN_BOTTOM if sign == "+" else RED_BOTTOM
    c.fill(rect(8.5, 11.5, 16.5, 13.5), col)
    if sign == "+":
        c.fill(rect(11.5, 8.5, 13.5, 16.5), col)


def page(c, x0, y0, x1, y1, fold=5):
    outline = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    inner = polygon([(x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
                     (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)])
    c.fill(outline, PAPER_EDGE)
    c.fill(inner, PAPER)
    c.fill(polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]), (205, 212, 222))


def view_cell(kind):
    c = Canvas(30, 30)
    if kind == "zoomin":
        magnifier(c, "+")
    elif kind == "zoomout":
        magnifier(c, "-")
    elif kind == "fit":
        page(c, 9, 7, 21, 23, 4)
        for (xa, ya, xb, yb) in [(3, 3, 8, 8), (27, 3, 22, 8), (3, 27, 8, 22), (27, 27, 22, 22)]:
            c.fill(segment(xa, ya, xb, yb, 2.0), BLUE_BOTTOM)
        for pts in [[(2, 2), (8, 2), (2, 8)], [(28, 2), (22, 2), (28, 8)],
                    [(2, 28), (8, 28), (2, 22)], [(28, 28), (22, 28), (28, 22)]]:
            c.fill(polygon(pts), BLUE_BOTTOM)
        for y in (12, 15, 18):
            c.fill(rect(11.5, y, 18.5, y + 1), (150, 165, 185))
    elif kind == "real":
        page(c, 5, 3, 25, 27, 6)
        # "1:1" drawn with bars and dots
        col = BLUE_BOTTOM
        c.fill(rect(8.5, 10, 10.5, 21), col)
        c.fill(polygon([(8.5, 10), (10.5, 10), (7, 13), (6.5, 12)]), col)
        c.fill(circle(14.5, 13, 1.3), col)
        c.fill(circle(14.5, 18.5, 1.3), col)
        c.fill(rect(18.5, 10, 20.5, 21), col)
        c.fill(polygon([(18.5, 10), (20.5, 10), (17, 13), (16.5, 12)]), col)
    elif kind == "save":
        page(c, 6, 2, 22, 22, 5)
        c.fill(rrect(8, 12, 20, 18, 1.0), vgrad(RED_TOP, RED_BOTTOM, 12, 18))
        for x in (10, 13.5, 17):
            c.fill(rect(x, 14, x + 1.6, 16), (255, 255, 255))
        arrow = lambda g: polygon([(21 - g, 16 - g), (25 + g, 16 - g), (25 + g, 22), (28.5 + g * 1.5, 22),
                                   (23, 28.5 + g * 1.5), (17.5 - g * 1.5, 22), (21 - g, 22)])
        glossy(c, arrow, (0, 0, 30, 30), GREEN_TOP, GREEN_BOTTOM, (20, 90, 36))
    return c


def strip(cells, w=30, h=30):
    s = Canvas(w * len(cells), h)
    for i, cell in enumerate(cells):
        s.paste(cell, i * w, 0)
    return s


# ---- the program icon ---------------------------------------------------------
def program_icon(size):
    k = size / 32.0
    c = Canvas(size, size)
    S = lambda *v: [p * k for p in v]
    # page with folded corner and a soft shadow
    c.fill(rrect(*S(7, 3, 27, 31), 1.5 * k), (0, 0, 0))  # shadow base, toned down below
    c.px = [[(r, g, b, a * 0.25) for (r, g, b, a) in row] for row in c.px]
    fold = 7 * k
    x0, y0, x1, y1 = S(5, 1, 25, 29)
    c.fill(polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]), (110, 120, 138))
    c.fill(polygon([(x0 + k, y0 + k), (x1 - fold - 0.4 * k, y0 + k), (x1 - k, y0 + fold + 0.4 * k),
                    (x1 - k, y1 - k), (x0 + k, y1 - k)]), vgrad((255, 255, 255), (232, 238, 246), y0, y1))
    c.fill(polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]), (196, 206, 220))
    if size >= 24:
        for y in (8, 11, 14):
            c.fill(rect(*S(8, y, 19 if y == 8 else 21, y + 1)), (170, 182, 200))
    # red band with "PDF"-like white marks
    bx0, by0, bx1, by1 = S(1, 17, 23, 27)
    c.fill(rrect(bx0, by0, bx1, by1, 2 * k), vgrad(RED_TOP, RED_BOTTOM, by0, by1))
    if size >= 24:
        w = 1.6 * k
        # P
        c.fill(union(rect(*S(4, 19, 5.6, 25)), minus(rrect(*S(4, 19, 8.5, 22.5), 1.5 * k), rect(*S(5.6, 20.3, 7, 21.2)))), (255, 255, 255))
        # D
        c.fill(minus(rrect(*S(10, 19, 14.5, 25), 2 * k), rrect(*S(11.6, 20.4, 13, 23.6), 0.8 * k)), (255, 255, 255))
        # F
        c.fill(union(rect(*S(16.5, 19, 18.1, 25)), rect(*S(16.5, 19, 21, 20.4)), rect(*S(16.5, 21.4, 20, 22.8))), (255, 255, 255))
    else:
        c.fill(rect(*S(4, 21, 20, 23)), (255, 255, 255))
    # a blue quill stroke
    c.fill(segment(*S(29, 3, 19, 15), 3.2 * k), vgrad(BLUE_TOP, BLUE_BOTTOM, 3 * k, 15 * k))
    c.fill(polygon([(p[0] * k, p[1] * k) for p in [(19.5, 13.2), (21, 15.5), (17.5, 17)]]), INK)
    return c


# ---- writers ------------------------------------------------------------------
def rgb_over(px, background):
    r, g, b, a = px
    return tuple(int(round(px[i] * a + background[i] * (1 - a))) for i in range(3))


def masked_rgb(c):
    """24-bit rows for a magenta-keyed picture: edges blended against the
    button face, fully transparent pixels exactly magenta."""
    face = (240, 240, 240)
    out = []
    for row in c.px:
        line = []
        for px in row:
            line.append(MAGENTA if px[3] < 0.2 else rgb_over(px, face))
        out.append(line)
    return out


def write_bmp24(path, rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def icon_image(c):
    w, h = c.w, c.h
    xor = bytearray()
    for row in reversed(c.px):
        for px in row:
            r, g, b, a = px
            xor += bytes((int(round(b)), int(round(g)), int(round(r)), int(round(a * 255))))
    mask_stride = ((w + 31) // 32) * 4
    andm = bytearray()
    for row in reversed(c.px):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        andm += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
    return info + xor + andm


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for c, img in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(head + entries + b"".join(images))


def write_cur(path, art, hotspot):
    """A 32 by 32 monochrome cursor from text art: '#' black, '.' white,
    anything else transparent."""
    w = h = 32
    rows = [line.ljust(32)[:32] for line in art] + [" " * 32] * (32 - len(art))
    xor = bytearray()
    andm = bytearray()
    for line in reversed(rows):
        xb = bytearray(4)
        ab = bytearray(4)
        for x, ch in enumerate(line):
            bit = 0x80 >> (x % 8)
            if ch == ".":
                xb[x // 8] |= bit  # white
            elif ch != "#":
                ab[x // 8] |= bit  # transparent
        xor += xb
        andm += ab
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    img = info + palette + xor + andm
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w, h, 2, 0, hotspot[0], hotspot[1], len(img), 22)
    with open(path, "wb") as f:
        f.write(head + entry + img)


def cursor_from_shapes(draw, size=32):
    """Renders shapes into '#'/'.'/' ' art: outline black, fill white."""
    c = Canvas(size, size)
    draw(c)
    art = []
    for row in c.px:
        line = ""
        for (r, g, b, a) in row:
            if a < 0.5:
                line += " "
            else:
                line += "#" if (r + g + b) / 3 < 128 else "."
        art.append(line)
    return art


BLACK, WHITE = (0, 0, 0), (255, 255, 255)


def magnifier_cursor(sign):
    def draw(c):
        c.fill(segment(15, 15, 25, 25, 6.0), BLACK)
        c.fill(segment(16, 16, 24.5, 24.5, 3.4), WHITE)
        c.fill(circle(10, 10, 9), BLACK)
        c.fill(circle(10, 10, 7.2), WHITE)
        c.fill(rect(5.5, 9, 14.5, 11), BLACK)
        if sign == "+":
            c.fill(rect(9, 5.5, 11, 14.5), BLACK)
    return cursor_from_shapes(draw)


HAND = [
    "       ##                ",
    "      #..#               ",
    "      #..#               ",
    "      #..#               ",
    "      #..#               ",
    "      #..###             ",
    "      #..#..###          ",
    "      #..#..#..##        ",
    "      #..#..#..#.#       ",
    "   ## #..#..#..#..#      ",
    "  #..##........#..#      ",
    "  #...#...........#      ",
    "   #..............#      ",
    "    #.............#      ",
    "    #.............#      ",
    "     #...........#       ",
    "     #...........#       ",
    "      #.........#        ",
    "      #.........#        ",
    "      ###########        ",
]

GRAB = [
    "                         ",
    "                         ",
    "                         ",
    "                         ",
    "       ## ## ##          ",
    "      #..#..#..##        ",
    "      #........#.#       ",
    "     ##..........#       ",
    "    #.#..........#       ",
    "    #............#       ",
    "     #...........#       ",
    "     #...........#       ",
    "      #.........#        ",
    "      #.........#        ",
    "       #.......#         ",
    "       #.......#         ",
    "       #########         ",
]


def to_png(src, dst, scale):
    subprocess.run(["convert", src, "-filter", "point", "-resize", f"{scale * 100}%", dst], check=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    png_dir = None
    if "--png" in sys.argv:
        png_dir = sys.argv[sys.argv.index("--png") + 1]
        os.makedirs(png_dir, exist_ok=True)
    out = lambda name: os.path.join(here, name)

    write_bmp24(out("navigation_strip.bmp"),
                masked_rgb(strip([nav_cell(k) for k in ("first", "prev", "next", "last")])))
    write_bmp24(out("view_strip.bmp"),
                masked_rgb(strip([view_cell(k) for k in ("zoomin", "zoomout", "fit", "real", "save")])))
    save = Canvas(16, 16)
    small = view_cell("save")
    # The Save button's picture: the save cell drawn at 16 by 16.
    for y in range(16):
        for x in range(16):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(2):
                for sx in range(2):
                    px = small.px[min(29, int(y * 30 / 16) + sy)][min(29, int(x * 30 / 16) + sx)]
                    for i in range(3):
                        acc[i] += px[i] * px[3]
                    acc[3] += px[3]
            a = acc[3] / 4
            save.px[y][x] = ((acc[0] / acc[3]) if acc[3] else 0, (acc[1] / acc[3]) if acc[3] else 0,
                             (acc[2] / acc[3]) if acc[3] else 0, a)
    write_bmp24(out("save_button.bmp"), masked_rgb(save))
    write_ico(out("inkclient.ico"), [program_icon(48), program_icon(32), program_icon(16)])
    write_cur(out("zoom_in.cur"), magnifier_cursor("+"), (10, 10))
    write_cur(out("zoom_out.cur"), magnifier_cursor("-"), (10, 10))
    write_cur(out("pan_hand.cur"), GRAB, (11, 10))
    write_cur(out("link_hand.cur"), HAND, (7, 0))

    if png_dir:
        for name, scale in [("navigation_strip.bmp", 4), ("view_strip.bmp", 4), ("save_button.bmp", 6)]:
            to_png(out(name), os.path.join(png_dir, name.replace(".bmp", ".png")), scale)
        subprocess.run(["convert", out("inkclient.ico"), "-filter", "point", "-resize", "400%",
                        os.path.join(png_dir, "inkclient.png")], check=True)
        for name in ("zoom_in", "zoom_out", "pan_hand", "link_hand"):
            subprocess.run(["convert", out(name + ".cur"), "-background", "#8fbc8f", "-flatten",
                            "-filter", "point", "-resize", "400%",
                            os.path.join(png_dir, name + ".png")], check=True)


if __name__ == "__main__":
    main()
