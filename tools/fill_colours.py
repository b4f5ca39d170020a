#!/usr/bin/python3
"""Checks that a web viewer drew every solid fill of a drawing in the fill's
own colour, for tools/readers-check.

Usage: fill_colours.py DPI NAME.dxf WHITE.png BLACK.png [--table FILE]

The pictures show the 8.5 x 11 in sheet edge to edge at DPI pixels per inch,
one on a white background and one on black. For each solid fill (a HATCH
with solid fill, or a SOLID) the colour it asks for is compared with the
colour on screen inside it:

- where it can, at a point at least 2 px inside the fill (no edge pixels)
  and as far as it can be from every other entity of the drawing, or else
  from every entity drawn after the fill (what comes before a fill is under
  it); the colour there is the most common one of the 3 x 3 pixels around;
- a fill that later entities cover whole (a small one under a dense pattern,
  say) is taken as the most common colour of all its inside;
- a true colour is wanted as it is, ACI 7 (and BYBLOCK) as the foreground
  (black on white, white on black), another ACI colour as its palette RGB;
- a fill is wrong when the screen is more than 40 levels off in a channel,
  unless it shows the colour of an earlier fill there: then the viewer
  stacked it under that fill (it draws a layer's fills by colour, not in file
  order), which is counted apart as "under".

Prints one line per background; exits 1 when any fill is wrong. With --table
FILE it also appends "NAME BACKGROUND FILLS WRONG UNDER" lines to FILE.
"""

import argparse
import logging
import sys

import ezdxf
import numpy as np
from ezdxf import colors, disassemble
from ezdxf.render import hatching
from PIL import Image, ImageDraw, ImageFilter

SHEET_WIDTH, SHEET_HEIGHT = 8.5, 11.0
INSET = 2      # pixels kept clear of a fill's edge
MARGIN = 2     # pixels kept clear of another entity's lines or box
TOLERANCE = 40


class Window:
    """A box of the sheet's pixels; drawing coordinates to its pixels."""

    def __init__(self, dpi, left, top, right, bottom):
        self.dpi, self.left, self.top = dpi, left, top
        self.size = (right - left, bottom - top)

    def pixel(self, point):
        return (point[0] * self.dpi - self.left, (SHEET_HEIGHT - point[1]) * self.dpi - self.top)

    def blank(self):
        return Image.new("1", self.size, 0)

    def area(self, paths):
        """The inside of closed paths, holes by the even-odd rule."""
        mask = np.zeros(self.size[::-1], bool)
        for path in paths:
            loop = self.blank()
            points = [self.pixel(v) for v in path.flattening(0.001)]
            if len(points) >= 3:
                ImageDraw.Draw(loop).polygon(points, fill=1)
            mask ^= np.asarray(loop, bool)
        return mask

    def strokes(self, lines):
        """Polylines (lists of points) one pixel wide."""
        image = self.blank()
        draw = ImageDraw.Draw(image)
        for line in lines:
            draw.line([self.pixel(v) for v in line], fill=1, width=1)
        return np.asarray(image, bool)


def grow(mask, pixels):
    size = 2 * pixels + 1
    return np.asarray(Image.fromarray(mask).filter(ImageFilter.MaxFilter(size)), bool)


def shrink(mask, pixels):
    if pixels == 0:
        return mask
    size = 2 * pixels + 1
    return np.asarray(Image.fromarray(mask).filter(ImageFilter.MinFilter(size)), bool)


def deepest(mask):
    """The pixel of mask farthest from its edge, by shrinking until gone."""
    while True:
        smaller = shrink(mask, 1)
        if not smaller.any():
            rows, columns = np.nonzero(mask)
            middle = len(rows) // 2
            return columns[middle], rows[middle]
        mask = smaller


def is_solid_fill(entity):
    return (entity.dxftype() == "SOLID" or
            (entity.dxftype() == "HATCH" and entity.dxf.solid_fill))


def wanted_colour(doc, entity, background):
    """The colour a fill asks for, on the given background."""
    if entity.dxf.hasattr("true_color"):
        return colors.int2rgb(entity.dxf.true_color)
    index = entity.dxf.color
    if index == 256 and doc.layers.has_entry(entity.dxf.layer):
        index = abs(doc.layers.get(entity.dxf.layer).dxf.color)
    if index in (0, 7):
        return (0, 0, 0) if background == "white" else (255, 255, 255)
    return colors.aci2rgb(index)


def near(a, b):
    return max(abs(int(x) - int(y)) for x, y in zip(a, b)) <= TOLERANCE


class Drawing:
    """The model space's entities, blocks expanded, each with its outlines
    (sub-paths) and its box in pixels."""

    def __init__(self, path, dpi):
        self.doc, self.dpi = ezdxf.readfile(path), dpi
        self.entities, self.paths, self.boxes = [], [], []
        self.pattern_lines = {}  # worked out when a fill's neighbourhood needs them
        # ezdxf measures texts with matplotlib, which warns of every font it lacks.
        logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)
        for entity in disassemble.recursive_decompose(self.doc.modelspace()):
            paths = [sub for path in disassemble.to_paths([disassemble.make_primitive(entity)])
                     for sub in (path.sub_paths() if path.has_sub_paths else [path])]
            points = [v for path in paths for v in path.flattening(0.001)]
            if not points:
                continue
            xs, ys = [p.x * dpi for p in points], [(SHEET_HEIGHT - p.y) * dpi for p in points]
            self.entities.append(entity)
            self.paths.append(paths)
            self.boxes.append((min(xs), min(ys), max(xs), max(ys)))

    def fills(self):
        return [i for i, entity in enumerate(self.entities) if is_solid_fill(entity)]

    def cover(self, index, window, margin=MARGIN):
        """What entity `index` may cover: a fill its inside, a pattern hatch
        its pattern's lines, a text its box, anything else its lines."""
        entity, paths = self.entities[index], self.paths[index]
        kind = entity.dxftype()
        if is_solid_fill(entity):
            return window.area(paths)
        if kind == "HATCH":
            if index not in self.pattern_lines:
                self.pattern_lines[index] = [(a, b) for a, b in hatching.hatch_entity(entity)]
            return grow(window.strokes(self.pattern_lines[index]), margin)
        if kind in ("TEXT", "MTEXT"):
            return grow(window.area(paths), margin)
        return grow(window.strokes([list(path.flattening(0.001)) for path in paths]), margin)

    def sample(self, index):
        """The pixels (rows, columns) of fill `index` to look at."""
        left, top, right, bottom = self.boxes[index]
        window = Window(self.dpi, int(left) - 4, int(top) - 4, int(right) + 5, int(bottom) + 5)
        own = self.cover(index, window)
        neighbours = [i for i, box in enumerate(self.boxes) if i != index and not (
            box[2] < left or box[0] > right or box[3] < top or box[1] > bottom)]
        # Small fills: kept clear of their edge and of other lines by as
        # much as they allow.
        for inset, margin in ((INSET, MARGIN), (1, 1), (0, 1)):
            inside = shrink(own, inset)
            later, earlier = np.zeros_like(inside), np.zeros_like(inside)
            for i in neighbours:
                if i > index:
                    later |= self.cover(i, window, margin)
                elif not is_solid_fill(self.entities[i]):  # an earlier fill is under it anyway
                    earlier |= self.cover(i, window, margin)
            for mask in (inside & ~later & ~earlier, inside & ~later):
                if mask.any():
                    x, y = deepest(mask)
                    rows, columns = np.mgrid[y - 1:y + 2, x - 1:x + 2]
                    return rows.ravel() + window.top, columns.ravel() + window.left
        inside = shrink(own, 1) if shrink(own, 1).any() else own
        rows, columns = np.nonzero(inside)
        return rows + window.top, columns + window.left

    def earlier_fills_at(self, index, row, column):
        window = Window(self.dpi, column, row, column + 1, row + 1)
        return [i for i in self.fills() if i < index and self.cover(i, window)[0, 0]]


def most_common(pixels):
    colours, counts = np.unique(pixels, axis=0, return_counts=True)
    return tuple(int(v) for v in colours[counts.argmax()])


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("dpi", type=float)
    parser.add_argument("dxf")
    parser.add_argument("white")
    parser.add_argument("black")
    parser.add_argument("--table")
    args = parser.parse_args(argv)
    drawing = Drawing(args.dxf, args.dpi)
    size = (round(SHEET_WIDTH * args.dpi), round(SHEET_HEIGHT * args.dpi))
    samples = {i: drawing.sample(i) for i in drawing.fills()}
    name = args.dxf.rsplit("/", 1)[-1].removesuffix(".dxf")
    failed = False
    for background, picture in (("white", args.white), ("black", args.black)):
        screen = np.asarray(Image.open(picture).convert("RGB"))
        if screen.shape[:2] != size[::-1]:
            sys.exit(f"fill_colours.py: {picture} is not {size[0]} x {size[1]} px")
        wrong, under = [], []
        for index, (rows, columns) in samples.items():
            want = wanted_colour(drawing.doc, drawing.entities[index], background)
            rows, columns = rows.clip(0, size[1] - 1), columns.clip(0, size[0] - 1)
            got = most_common(screen[rows, columns])
            if near(got, want):
                continue
            row, column = int(np.median(rows)), int(np.median(columns))
            told = (f"fill at ({column / args.dpi:.2f}, {SHEET_HEIGHT - row / args.dpi:.2f}) in "
                    f"wants #{bytes(want).hex()}, shows #{bytes(got).hex()}")
            if any(near(got, wanted_colour(drawing.doc, drawing.entities[i], background))
                   for i in drawing.earlier_fills_at(index, row, column)):
                under.append(told)
            else:
                wrong.append(told)
        print(f"{name}: {background}: {len(samples)} fills, {len(wrong)} wrong, "
              f"{len(under)} under an earlier fill" +
              "".join(f"\n  {background}: wrong: {w}" for w in wrong[:5]) +
              "".join(f"\n  {background}: under: {u}" for u in under[:5]))
        if args.table:
            with open(args.table, "a", encoding="utf-8") as table:
                table.write(f"{name} {background} {len(samples)} {len(wrong)} {len(under)}\n")
        failed = failed or bool(wrong)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
