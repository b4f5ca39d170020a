"""DXF R12 (--dxf-version R12), read back by the independent reader beside
the same drawing in DXF 2004: every text and piece of geometry is there in the
records R12 has (POLYLINE for LWPOLYLINE, SOLID pieces for a solid HATCH, a
block of lines for a pattern hatch), and nothing of what R12 lacks is
written: no handles, subclass markers, lineweights or true colours, no
CLASSES, OBJECTS or BLOCK_RECORD."""

import math

import pytest

from conftest import SOURCE_DIR, read_dxf
from test_command_line import Explicit

# Lines of every type and pen, texts of every alignment and angle, outlines,
# solid areas (concave, self-crossing, a star, white and black, without an
# outline), circles filled and not, an arc, a triangle, and pattern fills.
RICH = """LW\t1\t
S\t300\t300\t
RE\t4500\t6000\t
LT\t2\t
S\t600\t6000\t
LR\t3000\t
LT\t3\t
S\t600\t5900\t
LR\t3000\t
LT\t4\t
S\t600\t5800\t
LR\t3000\t
LT\t5\t
S\t600\t5700\t
LR\t3000\t
LT\t1\t
LW\t3\t
S\t600\t5500\t
LA\t30\t600\t
LTO\t1800\t5300\t
LRTO\t300\t-100\t
LW\t0\t
AP\t10\t
AL\t
S\t600\t5000\t
A\tLeft: Temp. 12 \xb0C, \xb10.5 caf\xe9\t
AC\t
S\t2100\t5000\t
A\tCentred\t
AR\t
S\t3600\t5000\t
A\tRight\t
AD\t90\t
S\t4200\t4400\t
A\tDEPTH (ft)\t
AD\t0\t
AC\t
S\t2100\t4800\t
AN\t12.5\t
S\t900\t4200\t
C\t0.3\t
S\t1800\t4200\t
EF\t0.25\t
S\t2400\t4200\t
ARCR\t600\t10\t
S\t3600\t4200\t
TRI\t0.15\t
S\t600\t3300\t
RFC\t600\t300\t0\t
S\t1500\t3300\t
RFC\t600\t300\t16777215\t
S\t2400\t3300\t
RFS\t600\t300\t1\t
S\t600\t2400\t
PR\t900\t
PU\t300\t
PL\t600\t
PU\t600\t
PL\t300\t
PFC\t0\t
S\t1800\t2400\t
PTO\t2400\t3000\t
PTO\t2400\t2500\t
PTO\t1800\t3000\t
PFC\t0\t
S\t3000\t2700\t
PTO\t3600\t2700\t
PTO\t3100\t2350\t
PTO\t3300\t2950\t
PTO\t3500\t2350\t
PFS\t1\t
FPF\tGW\t
S\t600\t1200\t
RF\t900\t600\t
FPF\tSP\t
S\t1800\t1200\t
PR\t900\t
PRTO\t-450\t600\t
PF\t
FPF\tCL\t
S\t3000\t1200\t
RFW\t900\t600\t
STOP\t
"""

EXAMPLES = ["boring_log", "dense_log", "swatch", "well_diagram"]


def converted(tmp_path, commands, *options):
    """{version: (document, path, stderr)} of `commands` in R12 and in DXF 2004
    with pattern hatches as lines, the form R12 writes them in."""
    cli = Explicit(tmp_path)
    cli.write("in.txt", commands)
    drawings = {}
    for version, extra in (("R12", []), ("2004", ["--hatch-lines"])):
        name = f"{version}.dxf"
        done = cli.run("--dxf-version", version, *extra, *options, "-i", "in.txt", "-o", name)
        assert done.returncode == 0, done.stderr
        path = cli.work / name
        drawings[version] = (read_dxf(path), path, done.stderr)
    return drawings


@pytest.fixture(scope="module")
def rich(tmp_path_factory):
    return converted(tmp_path_factory.mktemp("rich"), RICH)


def pairs(path):
    lines = path.read_bytes().decode("cp1252").splitlines()
    return [(int(code), value) for code, value in zip(lines[0::2], lines[1::2])]


def entities(doc, kind):
    return [e for e in doc.modelspace() if e.dxftype() == kind]


def rounded(point, places=9):
    return tuple(round(v, places) for v in point)


# --- What R12 holds and what it does not -------------------------------------

def test_r12_has_only_the_sections_tables_and_groups_it_knows(rich):
    doc, path, _ = rich["R12"]
    assert doc.dxfversion == "AC1009"
    tags = pairs(path)
    sections = [tags[i + 1][1] for i, tag in enumerate(tags) if tag == (0, "SECTION")]
    assert sections == ["HEADER", "TABLES", "BLOCKS", "ENTITIES"]
    tables = [tags[i + 1][1] for i, tag in enumerate(tags) if tag == (0, "TABLE")]
    assert tables == ["VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE"]
    codes = {code for code, _ in tags}
    for lacking, what in [(5, "handles"), (105, "handles"), (330, "owners"),
                          (100, "subclass markers"), (370, "lineweights"),
                          (420, "true colours"), (48, "line-type scales")]:
        assert lacking not in codes, what
    assert "$HANDLING" in {v for c, v in tags if c == 9}
    kinds = {value for code, value in tags if code == 0}
    assert not kinds & {"HATCH", "LWPOLYLINE", "BLOCK_RECORD", "CLASS", "DICTIONARY", "LAYOUT"}
    blocks = [next(v for c, v in tags[i:] if c == 2) for i, tag in enumerate(tags)
              if tag == (0, "BLOCK")]
    assert blocks[:2] == ["$MODEL_SPACE", "$PAPER_SPACE"]


def test_pen_widths_are_told_once_and_only_in_r12(rich):
    r12 = rich["R12"][2]
    assert r12.count("[lineweight-dropped]") == 1
    assert "DXF R12 holds no lineweights, and the drawing has pens up to 0.03 inch wide" in r12
    assert rich["2004"][2] == ""


def test_dashed_line_types_keep_their_scale_in_the_table(rich):
    r12, modern = rich["R12"][0], rich["2004"][0]
    scales = {(e.dxf.linetype, e.dxf.ltscale) for e in entities(modern, "LINE")}
    for name in ("HIDDEN", "DASHDOT", "CENTER", "DOT"):
        [scale] = {s for n, s in scales if n == name}
        plain = [t.value for t in modern.linetypes.get(name).pattern_tags.tags if t.code == 49]
        scaled = [t.value for t in r12.linetypes.get(name).pattern_tags.tags if t.code == 49]
        assert scaled == pytest.approx([v * scale for v in plain]), name


# --- Entity by entity, against DXF 2004 -----------------------------------------

def runs(doc):
    """The kinds of the entities of `doc`, each run of solid fills (SOLID
    pieces in R12, solid HATCHes in 2004) as one "fill", and the runs' entities."""
    kinds, fills = [], []
    for e in doc.modelspace():
        if not (e.dxftype() == "SOLID" or (e.dxftype() == "HATCH" and e.dxf.solid_fill)):
            kinds.append({"LWPOLYLINE": "POLYLINE"}.get(e.dxftype(), e.dxftype()))
        elif kinds and kinds[-1] == "fill":
            fills[-1].append(e)
        else:
            kinds.append("fill")
            fills.append([e])
    return kinds, fills


def test_every_entity_has_its_r12_record_in_the_same_order(rich):
    r12, modern = runs(rich["R12"][0])[0], runs(rich["2004"][0])[0]
    assert r12 == modern
    assert {"TEXT", "LINE", "CIRCLE", "ARC", "POLYLINE", "fill", "INSERT"} <= set(r12)


def attributes(kind):
    """What must be the same of an entity kind in both versions."""
    common = lambda e: (e.dxf.layer, e.dxf.color, e.dxf.linetype)  # noqa: E731
    return {
        "TEXT": lambda e: (e.dxf.text, rounded(e.dxf.insert), rounded(e.dxf.align_point),
                           e.dxf.height, e.dxf.rotation, e.dxf.style, e.dxf.halign,
                           e.dxf.valign) + common(e),
        "LINE": lambda e: (rounded(e.dxf.start), rounded(e.dxf.end)) + common(e),
        "CIRCLE": lambda e: (rounded(e.dxf.center), e.dxf.radius) + common(e),
        "ARC": lambda e: (rounded(e.dxf.center), e.dxf.radius, e.dxf.start_angle,
                          e.dxf.end_angle) + common(e),
        "INSERT": lambda e: (e.dxf.name, rounded(e.dxf.insert)) + common(e)
                            + (sorted((rounded(l.dxf.start), rounded(l.dxf.end))
                                      for l in e.block()),),
    }[kind]


@pytest.mark.parametrize("kind", ["TEXT", "LINE", "CIRCLE", "ARC", "INSERT"])
def test_entities_r12_holds_are_written_as_in_2004(rich, kind):
    r12, modern = entities(rich["R12"][0], kind), entities(rich["2004"][0], kind)
    assert r12, kind
    same = attributes(kind)
    assert [same(e) for e in r12] == [same(e) for e in modern]


def test_polylines_are_polylines_of_the_same_points(rich):
    r12, modern = entities(rich["R12"][0], "POLYLINE"), entities(rich["2004"][0], "LWPOLYLINE")
    assert len(r12) == len(modern) > 0
    for heavy, light in zip(r12, modern):
        assert heavy.is_2d_polyline and heavy.is_closed == light.closed
        assert [rounded(list(v.dxf.location)[:2]) for v in heavy.vertices] == \
               [rounded(p[:2]) for p in light.get_points()]
        assert (heavy.dxf.layer, heavy.dxf.color, heavy.dxf.linetype) == \
               (light.dxf.layer, light.dxf.color, light.dxf.linetype)


# --- Solid fills as SOLID pieces ------------------------------------------------

def solid_corners(solid):
    """A SOLID's outline: its corners 10, 11, 13, 12 (a triangle's last repeats)."""
    points = [solid.dxf.vtx0, solid.dxf.vtx1, solid.dxf.vtx3, solid.dxf.vtx2]
    outline = []
    for p in points:
        if not outline or rounded((p[0], p[1]), 12) != rounded(outline[-1], 12):
            outline.append((p[0], p[1]))
    if len(outline) > 1 and outline[0] == outline[-1]:
        outline.pop()
    return outline


def inside_convex(corners, point):
    """Strictly inside a counter-clockwise convex outline."""
    for (ax, ay), (bx, by) in zip(corners, corners[1:] + corners[:1]):
        if (bx - ax) * (point[1] - ay) - (by - ay) * (point[0] - ax) <= 0:
            return False
    return True


def hatch_outline(hatch):
    """The boundary of a solid HATCH: its polygon, or its circle as (centre, radius)."""
    [path] = hatch.paths.paths
    vertices = [(v[0], v[1]) for v in path.vertices]
    if path.has_bulge():
        (x1, y1), (x2, _) = vertices[0], vertices[1]
        return None, ((x1 + x2) / 2, y1), abs(x1 - x2) / 2
    return vertices, None, None


def even_odd(polygon, point):
    inside = False
    for (ax, ay), (bx, by) in zip(polygon, polygon[-1:] + polygon[:-1]):
        if (ay > point[1]) != (by > point[1]):
            if ax + (point[1] - ay) * (bx - ax) / (by - ay) > point[0]:
                inside = not inside
    return inside


def distance_to_edges(polygon, point):
    best = math.inf
    for (ax, ay), (bx, by) in zip(polygon, polygon[-1:] + polygon[:-1]):
        dx, dy = bx - ax, by - ay
        length = dx * dx + dy * dy
        t = 0 if length == 0 else max(0, min(1, ((point[0] - ax) * dx + (point[1] - ay) * dy)
                                             / length))
        best = min(best, math.hypot(point[0] - ax - t * dx, point[1] - ay - t * dy))
    return best


def fills(doc_r12, doc_2004):
    """[(2004 solid HATCHes, their R12 SOLIDs)], a run of fills in a row each,
    in drawing order."""
    hatches, solids = runs(doc_2004)[1], runs(doc_r12)[1]
    assert len(hatches) == len(solids)
    return list(zip(hatches, solids))


def filled(hatch, point):
    """Whether the 2004 HATCH fills `point` (even-odd), or None when the point
    lies within rounding of its polygon or a circle's chord tolerance."""
    polygon, centre, radius = hatch_outline(hatch)
    if polygon:
        return None if distance_to_edges(polygon, point) < 1e-6 else even_odd(polygon, point)
    off = math.hypot(point[0] - centre[0], point[1] - centre[1]) - radius
    return None if abs(off) < 0.001 else off < 0


def box(hatch):
    polygon, centre, radius = hatch_outline(hatch)
    if polygon:
        xs, ys = [p[0] for p in polygon], [p[1] for p in polygon]
        return min(xs), min(ys), max(xs), max(ys)
    return centre[0] - radius, centre[1] - radius, centre[0] + radius, centre[1] + radius


def test_each_solid_fill_is_covered_once_by_its_pieces_where_the_screen_fills_it(rich):
    """On a grid over each fill, a point that n of the 2004 HATCHes in a row
    fill (even-odd) lies in n of their SOLIDs; points within the circle's chord
    tolerance, or on an edge, are skipped."""
    pairs_ = fills(rich["R12"][0], rich["2004"][0])
    # 2 RFC, RFS, the L, the bow-tie, the star, EF, and RFW's white area.
    assert sum(len(hatches) for hatches, _ in pairs_) == 8
    for hatches, solids in pairs_:
        assert {(s.dxf.layer, s.dxf.color) for s in solids} == \
               {(h.dxf.layer, h.dxf.color) for h in hatches}
        pieces = [solid_corners(s) for s in solids]
        for hatch in hatches:
            x1, y1, x2, y2 = box(hatch)
            for i in range(41):
                for j in range(41):
                    point = (x1 + (x2 - x1) * (i + 0.37) / 41, y1 + (y2 - y1) * (j + 0.61) / 41)
                    fills_ = [filled(h, point) for h in hatches]
                    if None in fills_:
                        continue
                    holding = sum(inside_convex(p, point) for p in pieces)
                    assert holding == sum(fills_), (hatch.dxf.handle, point)


def test_a_filled_circle_is_cut_finely_enough_to_look_round(rich):
    [(hatch, solids)] = [(h[0], s) for h, s in fills(rich["R12"][0], rich["2004"][0])
                         if len(h) == 1 and hatch_outline(h[0])[0] is None]
    _, centre, radius = hatch_outline(hatch)
    corners = [c for s in solids for c in solid_corners(s)]
    # Every corner on the circle, and the chords no further than a tenth of
    # the thinnest pen inside it.
    assert all(abs(math.hypot(x - centre[0], y - centre[1]) - radius) < 1e-9
               for x, y in corners)
    area = sum(0.5 * abs(sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(c, c[1:] + c[:1])))
               for c in map(solid_corners, solids))
    assert math.pi * radius ** 2 - 2 * math.pi * radius * 0.0005 < area < math.pi * radius ** 2


# --- The examples ---------------------------------------------------

@pytest.mark.parametrize("name", EXAMPLES)
def test_each_example_keeps_its_texts_and_geometry_in_r12(tmp_path, name):
    commands = (SOURCE_DIR / "examples" / f"{name}.txt").read_bytes()
    drawings = converted(tmp_path, commands)
    r12, modern = drawings["R12"][0], drawings["2004"][0]
    assert runs(r12)[0] == runs(modern)[0]
    for kind in ("TEXT", "LINE", "CIRCLE", "ARC", "INSERT"):
        same = attributes(kind)
        assert [same(e) for e in entities(r12, kind)] == \
               [same(e) for e in entities(modern, kind)], kind
    assert drawings["R12"][1].stat().st_size < 4 * drawings["2004"][1].stat().st_size
