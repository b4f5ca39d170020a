#!/usr/bin/env python3
"""Render the patterns of a hatch pattern file (kqhatch.pat) as a contact sheet.

Developer tool, not part of the build. Run it with the system interpreter, which
has matplotlib and numpy:

    /usr/bin/python3 tools/pattern_preview.py [data/kqhatch.pat] [-o sheet.png]
        [--dpi 150] [--cols 6] [--only 21,22,23] [--zoom 2]

The file is read the way the program reads it:
  * a line whose first character is "*" starts a pattern (the rest of the line is
    shown here as the pattern's label, the program never reads it);
  * the next line holds the line count (leading number, halves rounded to even);
  * then exactly that many value lines of seven comma-separated numbers:
    angle (degrees), base x, base y, offset along, offset across, dash, gap;
  * any other line is skipped.

Each value line is one family of parallel lines at `angle` through the base point;
line k is shifted by k*(along, across) measured in the line's own frame. Along a
line the pattern starts at the line's own (shifted) origin: a dash of `dash`, then
a gap of `gap`, repeating. dash 0 with gap > 0 is a dot; dash 0 and gap 0, or
dash > 0 and gap 0, is a continuous line.

Every pattern is drawn into a labelled 1.2 x 0.8 inch box at true scale (one inch
of the pattern is one inch of the sheet at the chosen dpi), clipped to the box.
The script also checks the file: CR LF line ends, counts, seven values per line,
perpendicular spacing, and it prints a summary line per pattern.
"""

import argparse
import math
import os
import re
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.collections import LineCollection  # noqa: E402
from matplotlib.patches import Rectangle  # noqa: E402

BOX_W = 1.2
BOX_H = 0.8

_NUM = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?")


def leading_number(text):
    """Leading number of a text: blanks, TABs and LFs are skipped anywhere."""
    t = re.sub(r"[ \t\n]", "", text)
    m = _NUM.match(t)
    return float(m.group(0)) if m else 0.0


def round_half_even(x):
    return int(round(x))  # Python rounds halves to even


def split_values(line):
    """Seven values: k = 1..6 before the k-th comma, 7 = leading number of the rest."""
    vals = []
    rest = line
    for _ in range(6):
        i = rest.find(",")
        if i < 0:
            raise ValueError("fewer than six commas")
        vals.append(leading_number(rest[:i]))
        rest = rest[i + 1:]
    vals.append(leading_number(rest))
    return vals


def read_pattern_file(path):
    """Return (patterns, problems); patterns is a list of (label, [7-value lists])."""
    raw = open(path, "rb").read()
    problems = []
    if b"\n" in raw.replace(b"\r\n", b""):
        problems.append("line ends: a LF without CR")
    if raw and not raw.endswith(b"\r\n"):
        problems.append("file does not end with CR LF")
    text = raw.decode("cp1252")
    lines = re.split(r"\r\n|\r|\n", text)
    if lines and lines[-1] == "":
        lines.pop()
    patterns = []
    i = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        if not line.startswith("*"):
            continue
        if i >= len(lines):
            raise ValueError("file ends before the count line of pattern %d" % (len(patterns) + 1))
        count = round_half_even(leading_number(lines[i]))
        i += 1
        if count > 50:
            raise ValueError("pattern %d has more than 50 lines" % (len(patterns) + 1))
        fam = []
        for _ in range(max(count, 0)):
            if i >= len(lines):
                raise ValueError("file ends inside pattern %d" % (len(patterns) + 1))
            v = lines[i]
            i += 1
            if v.count(",") != 6:
                problems.append("pattern %d: value line without exactly six commas: %r"
                                % (len(patterns) + 1, v))
            fam.append(split_values(v))
        patterns.append((line[1:].strip(), fam))
    if len(patterns) > 100:
        raise ValueError("more than 100 patterns")
    return patterns, problems


def family_geometry(values, x0, y0, x1, y1):
    """Segments and dots of one pattern line inside the rectangle (x0,y0)-(x1,y1)."""
    ang, bx, by, along, across, dash, gap = values
    a = math.radians(ang)
    u = (math.cos(a), math.sin(a))
    v = (-math.sin(a), math.cos(a))
    corners = [(x0, y0), (x1, y0), (x0, y1), (x1, y1)]
    # perpendicular positions of the corners relative to the base point
    pv = [(cx - bx) * v[0] + (cy - by) * v[1] for cx, cy in corners]
    segs, dots = [], []
    if abs(across) < 1e-9:
        ks = [0]
    else:
        k0 = math.floor(min(pv) / across) - 1
        k1 = math.ceil(max(pv) / across) + 1
        lo, hi = min(k0, k1), max(k0, k1)
        if hi - lo > 20000:
            raise ValueError("too many lines (across %g)" % across)
        ks = range(lo, hi + 1)
    period = dash + gap
    continuous = (dash <= 0 and gap <= 0) or (dash > 0 and gap <= 0)
    for k in ks:
        ox = bx + k * (along * u[0] + across * v[0])
        oy = by + k * (along * u[1] + across * v[1])
        pu = [(cx - ox) * u[0] + (cy - oy) * u[1] for cx, cy in corners]
        t0, t1 = min(pu), max(pu)
        if continuous:
            segs.append(((ox + t0 * u[0], oy + t0 * u[1]), (ox + t1 * u[0], oy + t1 * u[1])))
            continue
        j0 = math.floor(t0 / period) - 1
        j1 = math.ceil(t1 / period) + 1
        if j1 - j0 > 20000:
            raise ValueError("too many dashes (period %g)" % period)
        for j in range(j0, j1 + 1):
            s = j * period
            if dash > 0:
                e = s + dash
                if e < t0 or s > t1:
                    continue
                segs.append(((ox + s * u[0], oy + s * u[1]), (ox + e * u[0], oy + e * u[1])))
            else:
                px, py = ox + s * u[0], oy + s * u[1]
                if x0 - 1e-9 <= px <= x1 + 1e-9 and y0 - 1e-9 <= py <= y1 + 1e-9:
                    dots.append((px, py))
    return segs, dots


def check_pattern(n, label, fam):
    notes = []
    for g, vals in enumerate(fam, 1):
        across = abs(vals[4])
        dash, gap = vals[5], vals[6]
        cont = (dash <= 0 and gap <= 0) or (dash > 0 and gap <= 0)
        if across < 0.02:
            notes.append("line %d: across %.4f < 0.02" % (g, across))
        if not cont and dash + gap < 0.005:
            notes.append("line %d: period %.4f too short" % (g, dash + gap))
        if dash < 0 or gap < 0:
            notes.append("line %d: negative dash or gap" % g)
    return notes


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("patfile", nargs="?", default=os.path.join(here, "..", "data", "kqhatch.pat"))
    ap.add_argument("-o", "--output", default="/tmp/kqhatch_sheet.png")
    ap.add_argument("--dpi", type=float, default=150)
    ap.add_argument("--cols", type=int, default=6)
    ap.add_argument("--only", default="", help="comma-separated pattern numbers")
    ap.add_argument("--zoom", type=float, default=1.0,
                    help="draw the patterns this many times larger (not true scale)")
    args = ap.parse_args()

    patterns, problems = read_pattern_file(args.patfile)
    for p in problems:
        print("problem:", p)
    numbers = list(range(1, len(patterns) + 1))
    if args.only:
        numbers = [int(s) for s in args.only.split(",") if s.strip()]

    z = args.zoom
    bw, bh = BOX_W * z, BOX_H * z
    cols = min(args.cols, len(numbers))
    rows = (len(numbers) + cols - 1) // cols
    mx, my = 0.15, 0.32  # margins around each box (label below)
    cw, ch = bw + 2 * mx, bh + my + 0.08
    fig_w, fig_h = cols * cw, rows * ch + 0.3
    fig = plt.figure(figsize=(fig_w, fig_h), dpi=args.dpi)
    ax = fig.add_axes([0, 0, 1, 1])
    ax.set_xlim(0, fig_w)
    ax.set_ylim(0, fig_h)
    ax.set_axis_off()
    ax.text(0.1, fig_h - 0.15, "%s  (%d patterns, boxes %.1f x %.1f in%s)"
            % (os.path.basename(args.patfile), len(patterns), BOX_W, BOX_H,
               "" if z == 1 else ", zoom %g" % z),
            fontsize=9, va="center")
    lw_pt = 0.55
    dot_pt = 1.0  # about 0.014 inch, a point printed with a fine pen
    for idx, n in enumerate(numbers):
        label, fam = patterns[n - 1]
        r, c = divmod(idx, cols)
        x0 = c * cw + mx
        y0 = fig_h - 0.3 - (r + 1) * ch + my
        # pattern coordinates: the box is (0,0)-(BOX_W,BOX_H) in inches placed at
        # page position (3.1, 5.1) so patterns are seen away from their base point
        px0, py0 = 3.1, 5.1
        segs, dots = [], []
        for vals in fam:
            s, d = family_geometry(vals, px0, py0, px0 + BOX_W, py0 + BOX_H)
            segs += s
            dots += d
        tr = lambda p: (x0 + (p[0] - px0) * z, y0 + (p[1] - py0) * z)  # noqa: E731
        clip = Rectangle((x0, y0), bw, bh, transform=ax.transData)
        lc = LineCollection([(tr(a), tr(b)) for a, b in segs], colors="black",
                            linewidths=lw_pt * max(1, z / 2), capstyle="butt")
        ax.add_collection(lc)
        lc.set_clip_path(clip)  # after add_collection, which sets the axes clip
        if dots:
            xs, ys = zip(*[tr(p) for p in dots])
            (pl,) = ax.plot(xs, ys, "o", color="black", markersize=dot_pt * max(1, z / 2),
                            markeredgewidth=0)
            pl.set_clip_path(clip)
            pl.set_clip_on(True)
        ax.add_patch(Rectangle((x0, y0), bw, bh, fill=False, lw=0.8, color="black"))
        short = label.split(",")[0]
        ax.text(x0, y0 - 0.05, "%d %s" % (n, short), fontsize=7, va="top")
        notes = check_pattern(n, label, fam)
        print("%3d %-14s %2d lines %s" % (n, short, len(fam), "; ".join(notes)))
    fig.savefig(args.output, dpi=args.dpi)
    print("wrote", args.output)


if __name__ == "__main__":
    main()
