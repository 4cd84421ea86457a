#!/usr/bin/env python3
"""Draws tarnwick's icon, a folder with an arrow that jumps into it, at one
size, and writes it to standard output as a PAM image (8-bit RGBA, not
premultiplied). scripts/pictures/make-icon.sh turns the sizes into PNGs and the .ico
with ImageMagick and icotool: this script only draws.

16x16 is drawn by hand, pixel by pixel (BY_HAND below). The larger sizes are
drawn from shapes laid out on the same 16-unit grid, scaled by whole pixels,
so straight edges fall on pixel boundaries; only curves and slants are
anti-aliased (8x8 samples a pixel). Outline widths are whole pixels per size.

Standard library only; nothing time- or host-dependent goes into the output,
so the same source gives the same pixels.

Usage: draw-icon.py SIZE >ICON.pam
"""
import math
import sys

# Colours, RGB.
FOLDER_EDGE = (0x8a, 0x55, 0x0c)
FOLDER_BACK = (0xe0, 0x9f, 0x2c)
FOLDER_FRONT = (0xfb, 0xcf, 0x52)
FOLDER_SHINE = (0xff, 0xeb, 0x9e)
ARROW_EDGE = (0x0c, 0x37, 0x82)
ARROW_FILL = (0x2e, 0x7d, 0xe6)
ARROW_SHINE = (0x8c, 0xc2, 0xff)

SAMPLES = 8  # per pixel side


# ---- shapes: each is a predicate over a point in pixel units ----

def rect(x0, y0, x1, y1, r=0.0):
    def inside(x, y):
        if x < x0 or x >= x1 or y < y0 or y >= y1:
            return False
        if r <= 0:
            return True
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    """A convex polygon, points in either winding order."""
    n = len(points)
    area = sum(points[i][0] * points[(i + 1) % n][1] - points[(i + 1) % n][0] * points[i][1] for i in range(n))
    sign = 1 if area > 0 else -1

    def inside(x, y):
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if sign * ((bx - ax) * (y - ay) - (by - ay) * (x - ax)) < 0:
                return False
        return True
    return inside


def offset_polygon(points, d):
    """Moves every edge of a convex polygon outwards by d (inwards if d < 0)."""
    n = len(points)
    area = sum(points[i][0] * points[(i + 1) % n][1] - points[(i + 1) % n][0] * points[i][1] for i in range(n))
    sign = 1 if area > 0 else -1
    lines = []
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        length = math.hypot(ex, ey)
        # Outward normal: to the right of the edge for a positive (y-down) winding.
        nx, ny = sign * ey / length, -sign * ex / length
        lines.append(((ax + nx * d, ay + ny * d), (ex, ey)))
    out = []
    for i in range(n):
        (p, e), (q, f) = lines[i - 1], lines[i]
        det = e[0] * f[1] - e[1] * f[0]
        t = ((q[0] - p[0]) * f[1] - (q[1] - p[1]) * f[0]) / det
        out.append((p[0] + e[0] * t, p[1] + e[1] * t))
    return out


def arc(cx, cy, r0, r1, a0, a1):
    """A band between radii r0 and r1, from angle a0 to a1 in degrees,
    counted anticlockwise on screen from the +x axis."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if d2 < r0 * r0 or d2 > r1 * r1:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return (a - a0) % 360 <= (a1 - a0) % 360
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


# ---- the picture ----

def layers(size):
    """The icon at one size, as (shape, colour) back to front. Follows the
    16x16 drawing, which is the master: grid unit = one pixel there."""
    k = size / 16.0                      # pixels per grid unit
    o = 1 if size < 40 else 2            # outline width, px
    r = k * 0.5                          # corner radius of the folder

    def box(x0, y0, x1, y1, inset=0, rad=0.0):
        return rect(x0 * k + inset, y0 * k + inset, x1 * k - inset, y1 * k - inset, max(0.0, rad - inset))

    out = []

    # Folder: the back panel with its tab, the front panel over it.
    tab = [(0, 5 * k), (5.5 * k, 5 * k), (6.5 * k, 6 * k + o), (0, 6 * k + o)]
    out.append((union(polygon(tab), box(0, 6, 16, 15, 0, r)), FOLDER_EDGE))
    out.append((union(polygon(offset_polygon(tab, -o)), box(0, 6, 16, 15, o, r)), FOLDER_BACK))
    out.append((box(0, 8, 16, 15, 0, r), FOLDER_EDGE))
    out.append((box(0, 8, 16, 15, o, r), FOLDER_FRONT))
    out.append((rect(o, 8 * k + o, 16 * k - o, 8 * k + o + max(1, k // 2)), FOLDER_SHINE))

    # Jump arrow: runs right along the top, turns down and lands head first
    # in the folder.
    cx, cy, rm = 9 * k, 6 * k, 3 * k     # the turn: centre and radius of the shaft's middle line
    w = 1 * k                            # half-width of the shaft
    head = [(9 * k, 7 * k), (15 * k, 7 * k), (12 * k, 10.5 * k)]
    stem_top = cy - 0.01 * k

    def arrow(grow):
        return union(
            rect(1.5 * k - grow, 2 * k - grow, 1.5 * k + 2 * w, 4 * k + grow, w * 0.5 + grow),  # rounded tail
            rect(1.5 * k + w, 2 * k - grow, cx + 0.01, 4 * k + grow),                          # shaft
            arc(cx, cy, rm - w - grow, rm + w + grow, 0, 90),                              # the turn
            rect(11 * k - grow, stem_top, 13 * k + grow, 7.5 * k),                          # stem
            polygon(offset_polygon(head, grow) if grow else head))

    out.append((arrow(o), ARROW_EDGE))
    out.append((arrow(0), ARROW_FILL))
    out.append((rect(1.5 * k + w * 0.5, 2 * k + o, cx, 2 * k + o + max(1, k // 2)), ARROW_SHINE))
    return out


# 16x16 by hand: at this size every pixel is a decision. Same layout as
# layers(), one character a pixel.
INK = {".": None, "E": FOLDER_EDGE, "B": FOLDER_BACK, "F": FOLDER_FRONT, "S": FOLDER_SHINE,
       "n": ARROW_EDGE, "a": ARROW_FILL, "h": ARROW_SHINE}
BY_HAND = {16: """
................
..nnnnnnnn......
.nahhhhhhann....
.naaaaaaaaaan...
..nnnnnnnnaaan..
EEEEEE....naan..
EBBBBBEEEEnaanEE
EBBBBBBBnaaaaaan
EEEEEEEEEnaaaanE
ESSSSSSSSSnaanSE
EFFFFFFFFFFnnFFE
EFFFFFFFFFFFFFFE
EFFFFFFFFFFFFFFE
EFFFFFFFFFFFFFFE
EEEEEEEEEEEEEEEE
................
"""}


def render(size):
    """RGBA rows, 8 bits a channel, not premultiplied."""
    if size in BY_HAND:
        grid = BY_HAND[size].split()
        assert len(grid) == size and all(len(r) == size for r in grid), "the hand-drawn grid must be %dx%d" % (size, size)
        return [[(0, 0, 0, 0) if INK[ch] is None else INK[ch] + (255,) for ch in row] for row in grid]
    lay = layers(size)
    n = SAMPLES
    offs = [(i + 0.5) / n for i in range(n)]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            # Each sample takes the colour of the topmost shape over it;
            # the pixel is their average, its alpha the share covered.
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in offs:
                for sx in offs:
                    x, y = px + sx, py + sy
                    col = None
                    for shape, c in lay:
                        if shape(x, y):
                            col = c
                    if col is not None:
                        acc[0] += col[0]; acc[1] += col[1]; acc[2] += col[2]; acc[3] += 1
            a = acc[3] / (n * n)
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(a * 255)))
        rows.append(row)
    return rows


def main(argv):
    if len(argv) != 2 or not argv[1].isdigit():
        sys.exit(__doc__)
    size = int(argv[1])
    header = f"P7\nWIDTH {size}\nHEIGHT {size}\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
    sys.stdout.buffer.write(header.encode() + bytes(v for row in render(size) for p in row for v in p))


if __name__ == "__main__":
    main(sys.argv)
