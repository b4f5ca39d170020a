#!/usr/bin/python3
"""Checks pages that other readers rendered of plotdxf drawings (tools/readers-check).

    reader_pages.py SWATCH.txt SWATCH.png... [--log LOG.png...]
    reader_pages.py --crop PAGE.png OUT.png

The first form finds the drawing of examples/swatch.txt on each swatch page
(whatever scale and place the reader gave it) and checks that every hatched
box has ink inside and is neither empty nor solid; each LOG.png must show a
drawing that is neither blank nor one black area. The second form crops a
page to its ink with a small white margin, for the README.
"""

import sys

import numpy
from PIL import Image

UNITS_PER_INCH = 600  # the swatch keeps the start state's scales and origin
INK = 200             # grey levels below this are ink (thin lines come out grey)
INSIDE = 0.12         # the part of a box's width and height left out at each side


def swatch_boxes(path):
    """[(pattern, x1, y1, x2, y2)] in inches of each RF box of a command file."""
    boxes, pattern, pen = [], None, (0.0, 0.0)
    for line in open(path, encoding="cp1252", newline=""):
        fields = line.rstrip("\r\n").split("\t")
        if fields[0] == "FPF":
            pattern = fields[1].strip().upper()
        elif fields[0] == "S":
            pen = (float(fields[1]) / UNITS_PER_INCH, float(fields[2]) / UNITS_PER_INCH)
        elif fields[0] == "RF":
            w, h = float(fields[1]) / UNITS_PER_INCH, float(fields[2]) / UNITS_PER_INCH
            boxes.append((pattern, min(pen[0], pen[0] + w), min(pen[1], pen[1] + h),
                          max(pen[0], pen[0] + w), max(pen[1], pen[1] + h)))
    return boxes


def ink_of(png):
    return numpy.asarray(Image.open(png).convert("L")) < INK


def place(ink, boxes):
    """(scale, x0, y0): pixel = (x0 + scale * x, y0 - scale * y) for the
    drawing on the page, whatever scale and place the reader chose. The box
    outlines are the longest lines: the columns of their vertical edges run
    through every row of boxes, further than any pattern or text does, and
    the top edge of the first row, a full one, is the first pixel row as long
    as any. The last row's bottom edge (a row of at least half as many boxes)
    must then lie where the drawing's proportions put it."""
    columns, rows = ink.sum(axis=0), ink.sum(axis=1)
    edge_columns = numpy.flatnonzero(columns > 0.6 * columns.max())
    first_edge = numpy.flatnonzero(rows > 0.9 * rows.max())[0]
    left, right = min(b[1] for b in boxes), max(b[3] for b in boxes)
    top, bottom = max(b[4] for b in boxes), min(b[2] for b in boxes)
    scale = (edge_columns[-1] - edge_columns[0]) / (right - left)
    last_edge = round(first_edge + scale * (top - bottom))
    near = rows[max(last_edge - 2, 0):last_edge + 3]
    if near.size == 0 or near.max() < 0.4 * rows.max():
        return None  # no rows of boxes of the drawing's proportions on the page
    return scale, edge_columns[0] - scale * left, first_edge + scale * top


def check_swatch(png, boxes):
    ink = ink_of(png)
    placed = place(ink, boxes)
    if placed is None:
        return [f"{png}: the swatch's boxes are not on the page"]
    scale, x0, y0 = placed
    problems = []
    for pattern, x1, y1, x2, y2 in boxes:
        if pattern == "FB":
            continue  # the rectangle fill draws FB as a black area
        dx, dy = INSIDE * (x2 - x1), INSIDE * (y2 - y1)
        left, right = round(x0 + scale * (x1 + dx)), round(x0 + scale * (x2 - dx))
        top, bottom = round(y0 - scale * (y2 - dy)), round(y0 - scale * (y1 + dy))
        inside = ink[top:bottom, left:right]
        share = inside.mean() if inside.size else 0.0
        if not 0.005 < share < 0.95:
            problems.append(f"{png}: box {pattern} is {'empty' if share <= 0.005 else 'solid'}"
                            f" ({share:.1%} ink)")
    return problems


def check_log(png):
    share = ink_of(png).mean()
    if not 0.0005 < share < 0.5:
        return [f"{png}: the page is {'blank' if share <= 0.0005 else 'mostly black'}"
                f" ({share:.2%} ink)"]
    return []


def crop(page, out):
    image = Image.open(page).convert("L")
    ink = numpy.asarray(image) < 250
    rows, columns = numpy.flatnonzero(ink.any(axis=1)), numpy.flatnonzero(ink.any(axis=0))
    margin = 10
    box = (max(columns[0] - margin, 0), max(rows[0] - margin, 0),
           min(columns[-1] + margin, image.width), min(rows[-1] + margin, image.height))
    image.crop(box).save(out, optimize=True)


def main(argv):
    if len(argv) == 4 and argv[1] == "--crop":
        crop(argv[2], argv[3])
        return 0
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    logs = argv[argv.index("--log") + 1:] if "--log" in argv else []
    swatches = argv[2:argv.index("--log")] if "--log" in argv else argv[2:]
    boxes = swatch_boxes(argv[1])
    problems = []
    for png in swatches:
        problems += check_swatch(png, boxes)
    for png in logs:
        problems += check_log(png)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
