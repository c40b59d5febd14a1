#!/usr/bin/env python3
"""Draws the thirty toolbar images (24x24) into resources/ship/icons/.

Plain Python: .ico files hold one 32-bit bitmap, .gif files use a 7-bit palette written with
a clear code before every code-width change so the LZW stream stays 8 bits wide.
Run from the repository root: python3 src/app/icons/make_icons.py
"""
import math
import os
import struct
import sys

N = 24


def canvas():
    return [[(0, 0, 0, 0) for _ in range(N)] for _ in range(N)]


def put(c, x, y, col):
    if 0 <= x < N and 0 <= y < N:
        c[y][x] = col + (255,) if len(col) == 3 else col


def rect(c, x0, y0, x1, y1, col, fill=True):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1):
                put(c, x, y, col)


def disc(c, cx, cy, r, col, ring=None):
    for y in range(N):
        for x in range(N):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= r:
                put(c, x, y, ring if ring and d > r - 1.3 else col)


def line(c, x0, y0, x1, y1, col, w=2):
    steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
    for i in range(steps + 1):
        t = i / steps
        x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
        for dx in range(w):
            for dy in range(w):
                put(c, int(x) + dx, int(y) + dy, col)


def poly(c, pts, col):
    for y in range(N):
        for x in range(N):
            px, py, inside = x + 0.5, y + 0.5, False
            for i in range(len(pts)):
                (ax, ay), (bx, by) = pts[i], pts[i - 1]
                if (ay > py) != (by > py) and px < (bx - ax) * (py - ay) / (by - ay) + ax:
                    inside = not inside
            if inside:
                put(c, x, y, col)


BLACK, WHITE = (30, 30, 30), (255, 255, 255)
RED, GREEN, YELLOW = (205, 40, 40), (40, 160, 60), (235, 190, 20)
BLUE, DARK, GREY = (40, 90, 200), (12, 45, 131), (140, 140, 140)


def page(c, col=WHITE):
    rect(c, 5, 2, 18, 21, col)
    rect(c, 5, 2, 18, 21, GREY, fill=False)


def database(c, body=BLUE):
    rect(c, 5, 6, 18, 19, body)
    disc(c, 12, 19, 7, body)
    disc(c, 12, 6, 7, (120, 160, 235))
    for y in (10, 14):
        line(c, 5, y, 18, y, WHITE, 1)
    for y in range(N):
        for x in range(N):
            if not (5 <= x <= 18) or (y < 2 or y > 22):
                c[y][x] = (0, 0, 0, 0)


def traffic(c, lit):
    rect(c, 7, 1, 16, 22, BLACK)
    for i, col in enumerate((RED, YELLOW, GREEN)):
        disc(c, 12, 5 + i * 7, 3, col if col == lit else (70, 70, 70))


def check(c, col=GREEN):
    line(c, 4, 12, 9, 18, col, 3)
    line(c, 9, 18, 19, 5, col, 3)


def pencil(c, col):
    line(c, 5, 18, 17, 6, col, 4)
    poly(c, [(3, 21), (5, 16), (8, 19)], BLACK)


def draw(name):
    c = canvas()
    n = name.lower()
    if n == "arrowleft2.ico":
        poly(c, [(3, 12), (12, 4), (12, 9), (21, 9), (21, 15), (12, 15), (12, 20)], BLUE)
    elif n == "icon_edit.ico":
        page(c); pencil(c, YELLOW)
    elif n == "excel.ico":
        rect(c, 3, 3, 20, 20, GREEN)
        line(c, 7, 7, 15, 16, WHITE, 2); line(c, 15, 7, 7, 16, WHITE, 2)
    elif n == "greencheckmark.ico":
        check(c)
    elif n == "networkdrive.ico":
        rect(c, 3, 6, 20, 14, GREY); rect(c, 15, 9, 17, 11, GREEN)
        line(c, 11, 15, 11, 19, BLACK, 2); line(c, 4, 20, 19, 20, BLACK, 2)
    elif n == "refresh.ico":
        for a in range(30, 330, 6):
            r = math.radians(a)
            put(c, int(12 + 8 * math.cos(r)), int(12 + 8 * math.sin(r)), GREEN)
            put(c, int(12 + 7 * math.cos(r)), int(12 + 7 * math.sin(r)), GREEN)
        poly(c, [(17, 2), (22, 8), (15, 9)], GREEN)
    elif n == "searchwizard.ico":
        disc(c, 10, 10, 7, (200, 230, 255), ring=BLACK); line(c, 14, 14, 20, 20, BLACK, 3)
    elif n == "icon_view.ico":
        disc(c, 12, 12, 9, WHITE, ring=BLACK); disc(c, 12, 12, 4, BLUE)
    elif n == "redcircleminus.ico":
        disc(c, 12, 12, 10, RED); rect(c, 6, 11, 17, 13, WHITE)
    elif n == "database.ico":
        database(c)
    elif n == "greentrafficlight.ico":
        traffic(c, GREEN)
    elif n == "yellowtrafficlight.ico":
        traffic(c, YELLOW)
    elif n == "redtrafficlight.ico":
        traffic(c, RED)
    elif n == "blankpage.ico":
        page(c)
    elif n == "webpages.ico":
        disc(c, 12, 12, 10, (90, 170, 230), ring=DARK)
        line(c, 2, 12, 21, 12, DARK, 1); line(c, 12, 2, 12, 21, DARK, 1)
    elif n == "undo.ico":
        poly(c, [(3, 9), (10, 3), (10, 15)], BLUE); rect(c, 9, 7, 18, 10, BLUE)
        rect(c, 16, 7, 19, 19, BLUE)
    elif n == "redpencil.ico":
        pencil(c, RED)
    elif n == "printer.ico":
        rect(c, 7, 2, 16, 8, WHITE); rect(c, 7, 2, 16, 8, GREY, False)
        rect(c, 3, 9, 20, 17, GREY); rect(c, 7, 15, 16, 21, WHITE); rect(c, 7, 15, 16, 21, BLACK, False)
    elif n == "blueberry.ico":
        disc(c, 12, 13, 9, (60, 60, 170)); disc(c, 12, 8, 2, (20, 20, 90))
    elif n == "brenmoor32-2.ico":
        rect(c, 3, 3, 20, 20, DARK); line(c, 7, 6, 7, 17, WHITE, 2)
        line(c, 7, 6, 14, 9, WHITE, 2); line(c, 7, 12, 15, 15, WHITE, 2)
    elif n == "mgmtconsole.ico":
        rect(c, 2, 3, 21, 17, GREY); rect(c, 4, 5, 19, 15, (20, 60, 20))
        line(c, 6, 8, 9, 10, GREEN, 1); line(c, 9, 10, 6, 12, GREEN, 1); rect(c, 8, 18, 15, 20, GREY)
    elif n == "mainmenu.ico":
        for y in (5, 11, 17):
            rect(c, 4, y, 19, y + 2, DARK)
    elif n == "services.ico":
        disc(c, 12, 12, 9, GREY); disc(c, 12, 12, 4, WHITE)
        for a in range(0, 360, 45):
            r = math.radians(a)
            rect(c, int(11 + 9 * math.cos(r)), int(11 + 9 * math.sin(r)),
                 int(12 + 9 * math.cos(r)), int(12 + 9 * math.sin(r)), GREY)
    elif n == "sorter.ico":
        for i, w in enumerate((14, 10, 6)):
            rect(c, 4, 4 + i * 6, 4 + w, 6 + i * 6, BLUE)
        poly(c, [(16, 14), (22, 14), (19, 20)], BLACK); rect(c, 18, 4, 19, 14, BLACK)
    elif n == "tool.ico":
        line(c, 5, 19, 15, 9, GREY, 3); disc(c, 16, 7, 5, GREY); disc(c, 18, 5, 2, (0, 0, 0, 0))
    elif n == "yellowquestion.ico":
        disc(c, 12, 12, 10, YELLOW)
        for a in range(180, 450, 8):
            r = math.radians(a)
            put(c, int(12 + 4 * math.cos(r)), int(9 + 4 * math.sin(r)), BLACK)
            put(c, int(12 + 4 * math.cos(r)) + 1, int(9 + 4 * math.sin(r)), BLACK)
        rect(c, 11, 13, 12, 15, BLACK); rect(c, 11, 17, 12, 18, BLACK)
    elif n == "database.gif":
        database(c)
    elif n == "databaseadd.gif":
        database(c); rect(c, 14, 16, 22, 18, GREEN); rect(c, 17, 13, 19, 21, GREEN)
    elif n == "databasewarning.gif":
        database(c); poly(c, [(18, 11), (23, 22), (13, 22)], YELLOW); rect(c, 18, 15, 18, 19, BLACK)
    elif n == "databasecheck.gif":
        database(c); line(c, 13, 17, 16, 20, GREEN, 2); line(c, 16, 20, 22, 12, GREEN, 2)
    else:
        raise SystemExit("no drawing for " + name)
    return c


def write_ico(path, c):
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(c) for (r, g, b, a) in row)
    mask_row = (N + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(c):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")
    dib = struct.pack("<IiiHHIIiiII", 40, N, N * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    data = dib + xor + bytes(mask)
    head = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", N, N, 0, 0, 1, 32, len(data), 22)
    with open(path, "wb") as f:
        f.write(head + data)


def write_gif(path, c):
    palette, index = [], {}
    pixels = []
    for row in c:
        for (r, g, b, a) in row:
            key = (r, g, b) if a else None
            if key not in index:
                index[key] = len(palette)
                palette.append(key)
            pixels.append(index[key])
    if len(palette) > 127:
        raise SystemExit("too many colours in " + path)
    palette += [(0, 0, 0)] * (128 - len(palette))
    transparent = index.get(None, 0)
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", N, N, 0xF6, 0, 0))
    for col in palette:
        out += bytes(col if col else (0, 0, 0))
    out += bytes((0x21, 0xF9, 4, 1 if None in index else 0, 0, 0, transparent, 0))
    out += b"," + struct.pack("<HHHHB", 0, 0, N, N, 0) + bytes((7,))
    # Code size 7: clear = 128, end = 129; a clear code before every 126 literal codes keeps
    # every code 8 bits wide.
    codes = []
    for i, p in enumerate(pixels):
        if i % 126 == 0:
            codes.append(128)
        codes.append(p)
    codes.append(129)
    stream = bytes(codes)
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        out += bytes((len(chunk),)) + chunk
    out += b"\x00;"
    with open(path, "wb") as f:
        f.write(out)


NAMES = ["arrowleft2.ico", "icon_edit.ico", "excel.ico", "greencheckmark.ico", "networkdrive.ico",
         "refresh.ico", "SearchWizard.ico", "icon_view.ico", "redcircleminus.ico", "database.ico",
         "greentrafficlight.ico", "yellowtrafficlight.ico", "blankpage.ico", "webpages.ico",
         "undo.ico", "redpencil.ico", "PRINTER.ico", "BLUEBERRY.ico", "brenmoor32-2.ico",
         "mgmtconsole.ico", "mainmenu.ico", "services.ico", "sorter.ico", "tool.ico",
         "YELLOWQUESTION.ico", "redtrafficlight.ico", "database.gif", "DatabaseAdd.gif",
         "DatabaseWarning.gif", "Databasecheck.gif"]

if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/ship/icons"
    os.makedirs(out, exist_ok=True)
    for name in NAMES:
        (write_gif if name.endswith(".gif") else write_ico)(os.path.join(out, name), draw(name))
    print(len(NAMES), "images in", out)
