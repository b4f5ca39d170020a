#!/usr/bin/python3
"""Compares what other readers took in from a drawing with what the drawing
holds (read with ezdxf), for tools/readers-check.

Usage: reader_counts.py DXF [--freecad JSON] [--blender JSON] [--dime WRL] [--ogr]

- FreeCAD (tools/read_freecad.py) and Blender (tools/read_blender.py) place a
  text on its first point: each must take in every text, within 0.02 in
  along the baseline and 0.005 in across it of where ezdxf puts the
  baseline's start in the face the viewer uses, and every line, polyline
  edge, circle and arc (FreeCAD counts edges, Blender objects).
- OGR (read here through python3-gdal, DXF_ENCODING=CP1252 before DXF 2007
  and UTF-8 from it on) honours the alignment (its label sits on the first
  point with the offset dx, dy to the second): every text within 0.01 in of
  ezdxf's alignment point, every line-like entity and every hatch or fill
  (a polygon, or in the line form its lines). An R12 file has no subclass
  markers and holds a fill as SOLID pieces, a hatch as an INSERT of lines and
  a polyline as a POLYLINE: there a text is a point with a text, a fill a
  polygon each piece, and ezdxf's count of hatches takes in the SOLIDs.
- dime's dxf2vrml keeps lines only: every line and polyline edge must be
  among the segments it wrote.
Block contents count once per INSERT, as the readers expand them. Prints one
line per reader; the exit status is 1 when any count or position is off.
"""

import argparse
import collections
import json
import math
import re
import sys

import ezdxf
from ezdxf.tools import fonts
from ezdxf.tools.text import TextLine, unified_alignment

# The face files the viewer shows a style's font in (cadlib/geometry/text_faces.cpp).
FACES = {"arial": "LiberationSans-Regular.ttf", "times new roman": "LiberationSerif-Regular.ttf",
         "courier new": "LiberationMono-Regular.ttf"}
ALONG, ACROSS, ANCHOR = 0.02, 0.005, 0.01


def face_file(doc, style_name):
    style = doc.styles.get(style_name) if doc.styles.has_entry(style_name) else None
    family = style.get_extended_font_data()[0] if style is not None else ""
    return FACES.get(family.lower(), "DejaVuSans.ttf")


class Drawing:
    def __init__(self, path):
        doc = ezdxf.readfile(path)
        self.utf8 = doc.dxfversion >= "AC1021"  # DXF 2007 on
        self.texts, self.counts, self.segments = [], collections.Counter(), []
        for entity in doc.modelspace():
            if entity.dxftype() == "INSERT":
                self.counts["INSERT"] += 1
                for inner in doc.blocks.get(entity.dxf.name):
                    self.add(doc, inner)
            else:
                self.add(doc, entity)

    def add(self, doc, entity):
        kind = entity.dxftype()
        self.counts[kind] += 1
        if kind == "LINE":
            self.segments.append((entity.dxf.start, entity.dxf.end))
        elif kind in ("LWPOLYLINE", "POLYLINE"):
            if kind == "LWPOLYLINE":
                points, closed = [p[:2] for p in entity.get_points()], entity.closed
            else:
                points = [(v.dxf.location.x, v.dxf.location.y) for v in entity.vertices]
                closed = entity.is_closed
            ends = points + points[:1] if closed else points
            self.segments += list(zip(ends, ends[1:]))
        elif kind == "TEXT":
            self.texts.append(self.text(doc, entity))

    @staticmethod
    def text(doc, entity):
        dxf = entity.dxf
        font = fonts.make_font(face_file(doc, dxf.style), dxf.height, dxf.get("width", 1.0))
        halign, valign = unified_alignment(entity)
        angle = math.radians(dxf.get("rotation", 0.0))
        anchor = dxf.align_point if (dxf.halign, dxf.valign) != (0, 0) else dxf.insert
        if dxf.halign in (3, 5):  # aligned and fitted texts start on their first point
            start = dxf.insert
        else:
            start = TextLine(entity.plain_text(), font).baseline_vertices(
                anchor, halign, valign, angle)[0]
        return {"content": entity.plain_text(), "anchor": (anchor.x, anchor.y),
                "start": (start.x, start.y), "angle": angle}

    def edges(self):
        """Lines, polyline edges, circles and arcs."""
        return (len(self.segments) + self.counts["CIRCLE"] + self.counts["ARC"])

    def shapes(self):
        return sum(self.counts[k] for k in ("LINE", "LWPOLYLINE", "POLYLINE", "CIRCLE", "ARC"))

    def fills(self):
        """Hatches, and the SOLID pieces R12 holds fills as."""
        return self.counts["HATCH"] + self.counts["SOLID"]


def text_problems(drawing, taken, key, check):
    """Matches each text taken to the nearest of the drawing's with its content."""
    problems = []
    if len(taken) != len(drawing.texts):
        problems.append(f"{len(taken)} of {len(drawing.texts)} texts")
    for content, x, y in taken:
        same = [t for t in drawing.texts if t["content"] == content]
        if not same:
            problems.append(f"text {content!r} is not the drawing's")
            continue
        best = min(same, key=lambda t: math.dist(t[key], (x, y)))
        message = check(best, x - best[key][0], y - best[key][1])
        if message:
            problems.append(f"{content!r}: {message}")
    return problems


def baseline_check(text, dx, dy):
    along = dx * math.cos(text["angle"]) + dy * math.sin(text["angle"])
    across = -dx * math.sin(text["angle"]) + dy * math.cos(text["angle"])
    if abs(along) > ALONG or abs(across) > ACROSS:
        return f"{along:+.4f} in along, {across:+.4f} in across its baseline's start"
    return None


def anchor_check(text, dx, dy):
    distance = math.hypot(dx, dy)
    return f"{distance:.4f} in from its alignment point" if distance > ANCHOR else None


def count_problem(what, taken, expected):
    return [] if taken == expected else [f"{taken} of {expected} {what}"]


def freecad(drawing, path):
    taken = json.load(open(path, encoding="utf-8"))
    return (text_problems(drawing, taken["texts"], "start", baseline_check) +
            count_problem("edges", taken["edges"], drawing.edges()),
            f"{len(taken['texts'])} texts, {taken['edges']} edges")


def blender(drawing, path):
    taken = json.load(open(path, encoding="utf-8"))
    return (text_problems(drawing, taken["texts"], "start", baseline_check) +
            count_problem("curves", taken["curves"], drawing.shapes()),
            f"{len(taken['texts'])} texts, {taken['curves']} curves")


def read_ogr(path, utf8):
    """What OGR takes in: ([[content, x, y]] of the texts, lines, hatches),
    None when it cannot open the file."""
    from osgeo import gdal, ogr as osgeo_ogr
    gdal.SetConfigOption("DXF_ENCODING", "UTF-8" if utf8 else "CP1252")
    source = osgeo_ogr.Open(path)
    if source is None:
        return None
    texts, lines, hatches = [], 0, 0
    for feature in source.GetLayer(0):
        subclasses = feature.GetField("SubClasses") or ""
        geometry = feature.GetGeometryRef()
        kind = geometry.GetGeometryName() if geometry is not None else ""
        if "AcDbText" in subclasses or (not subclasses and kind == "POINT" and
                                        feature.GetField("Text") is not None):
            # The label hangs on the first point, moved by dx, dy to the alignment point.
            style = feature.GetStyleString() or ""
            dx, dy = (float(m.group(1)) if m else 0.0
                      for m in (re.search(rf"{axis}:(-?[0-9.eE+-]+)g", style)
                                for axis in ("dx", "dy")))
            texts.append([feature.GetField("Text"), geometry.GetX() + dx, geometry.GetY() + dy])
        elif "AcDbHatch" in subclasses or kind == "POLYGON":
            hatches += 1
        elif kind == "LINESTRING":
            lines += 1
        elif kind == "MULTILINESTRING":  # an INSERT, its block's lines inline
            lines += geometry.GetGeometryCount()
    return texts, lines, hatches


def ogr(drawing, path):
    taken = read_ogr(path, drawing.utf8)
    if taken is None:
        return ["OGR cannot open it"], "nothing"
    texts, lines, hatches = taken
    return (text_problems(drawing, texts, "anchor", anchor_check) +
            count_problem("lines", lines, drawing.shapes()) +
            count_problem("hatches", hatches, drawing.fills()),
            f"{len(texts)} texts, {lines} lines, {hatches} hatches")


def dime(drawing, path):
    text = open(path, encoding="latin-1").read()
    points = [tuple(float(v) for v in p.split()[:2])
              for block in re.findall(r"point\s*\[([^\]]*)\]", text) for p in block.split(",")
              if p.strip()]
    written = SegmentIndex()
    for block in re.findall(r"coordIndex\s*\[([^\]]*)\]", text):
        for run in block.split("-1"):
            indices = [int(i) for i in run.replace(",", " ").split()]
            for a, b in zip(indices, indices[1:]):
                written.add(points[a], points[b])
    found = sum(1 for a, b in drawing.segments if written.has(a, b))
    return (count_problem("lines and polyline edges", found, len(drawing.segments)),
            f"{found} lines and polyline edges")


class SegmentIndex:
    """Segments found again by their ends, within the single precision dime writes."""
    CELL, CLOSE = 0.01, 1e-4

    def __init__(self):
        self.cells = collections.defaultdict(list)

    def add(self, a, b):
        for start, end in ((a, b), (b, a)):
            self.cells[self.cell(start)].append((start, end))

    def has(self, a, b):
        cx, cy = self.cell(a)
        a, b = (a[0], a[1]), (b[0], b[1])
        return any(math.dist(start, a) < self.CLOSE and math.dist(end, b) < self.CLOSE
                   for dx in (-1, 0, 1) for dy in (-1, 0, 1)
                   for start, end in self.cells.get((cx + dx, cy + dy), ()))

    def cell(self, point):
        return (math.floor(point[0] / self.CELL), math.floor(point[1] / self.CELL))


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("dxf")
    parser.add_argument("--freecad")
    parser.add_argument("--blender")
    parser.add_argument("--dime")
    parser.add_argument("--ogr", action="store_true")
    args = parser.parse_args(argv)
    drawing = Drawing(args.dxf)
    readers = [("FreeCAD", freecad, args.freecad), ("Blender", blender, args.blender),
               ("OGR", ogr, args.dxf if args.ogr else None), ("dime", dime, args.dime)]
    failed = False
    for name, read, path in readers:
        if not path:
            continue
        problems, summary = read(drawing, path)
        print(f"{args.dxf}: {name}: {summary}" +
              ("" if not problems else " -- " + "; ".join(problems[:5])))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
