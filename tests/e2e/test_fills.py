"""Paths, solid and hatched fills and the hatch patterns, read back by the
independent reader: white stays white, black stays black, and every hatch
carries the lines of its pattern in kqhatch.pat."""

import math

import pytest

from conftest import SOURCE_DIR


def read_patterns(path):
    """{number: [(angle, x, y, along, across, dash, gap), ...]} of a pattern file."""
    lines = path.read_bytes().decode("cp1252").replace("\r\n", "\r").split("\r")
    patterns, number, i = {}, 0, 0
    while i < len(lines):
        if lines[i].startswith("*"):
            number += 1
            count = round(float(lines[i + 1].split()[0]))
            patterns[number] = [tuple(float(v) for v in lines[i + 2 + g].split(",")[:7])
                                for g in range(count)]
            i += 2 + count
        else:
            i += 1
    return patterns


PATTERNS = read_patterns(SOURCE_DIR / "data" / "kqhatch.pat")
SOIL_CODES = ["GW", "GP", "GM", "GC", "SW", "SP", "SM", "SC", "ML", "MH", "CL", "CH", "PT", "AR",
              "LS", "LC", "DO", "SH", "CO", "SS", "MS", "SL", "CG", "BR", "MA", "MB", "GT", "VL",
              "GR", "ME", "QU"]


def fill_colour(entity):
    """'white', 'black' or the ACI number of an entity. White and black are
    written one level off (0xFEFEFE, 0x010101) so that viewers which invert
    exact white and black for their background keep them."""
    if entity.dxf.hasattr("true_color"):
        rgb = entity.rgb
        return {(254, 254, 254): "white", (1, 1, 1): "black"}.get(tuple(rgb), rgb)
    return entity.dxf.color


def test_the_pattern_file_has_every_named_pattern():
    assert len(PATTERNS) >= 51
    assert all(PATTERNS[n] for n in range(1, 52)), "every named pattern has lines"


def test_solid_white_and_black_areas_and_outlines(convert):
    run = convert(
        "S\t600\t600\t\nRFS\t600\t600\t0\t\n"           # white area, no outline
        "S\t1800\t600\t\nRFS\t600\t600\t1\t\n"          # ink area
        "S\t600\t1800\t\nRFC\t600\t600\t16777215\t\n"   # white area + outline
        "S\t1800\t1800\t\nRFC\t600\t600\t0 0 0\t\n"     # black area + outline
        "S\t0\t0\t\nRE\t1200\t600\t\n"                  # open outline back to the start
        "RE\t0.01\t600\t\n"                             # not above the size threshold: nothing
    )
    assert run.returncode == 0, run.stderr
    items = list(run.read().modelspace())
    assert [e.dxftype() for e in items] == [
        "HATCH", "HATCH", "HATCH", "LWPOLYLINE", "HATCH", "LWPOLYLINE", "LWPOLYLINE"]
    assert [fill_colour(e) for e in items[:6]] == ["white", 7, "white", 7, "black", 7]
    assert all(e.dxf.solid_fill == 1 for e in (items[0], items[1], items[2], items[4]))
    boundary = items[0].paths[0]
    assert sorted((round(v[0], 9), round(v[1], 9)) for v in boundary.vertices) == [
        (1, 1), (1, 2), (2, 1), (2, 2)]
    assert items[3].closed
    rectangle = items[6]
    assert not rectangle.closed
    assert [tuple(p[:2]) for p in rectangle.get_points()] == [(0, 0), (2, 0), (2, 1), (0, 1), (0, 0)]


def test_hatched_rectangle_carries_its_pattern_lines(convert):
    run = convert("FPF\tgw\t\nS\t600\t600\t\nRF\t1200\t600\t\n")
    assert run.returncode == 0, run.stderr
    items = list(run.read().modelspace())
    assert [e.dxftype() for e in items] == ["LWPOLYLINE", "HATCH"]
    outline, hatch = items
    assert outline.closed and outline.dxf.color == 7
    assert hatch.dxf.solid_fill == 0
    lines = hatch.pattern.lines
    expected = PATTERNS[21]
    assert len(lines) == len(expected)
    for line, (angle, x, y, along, across, dash, gap) in zip(lines, expected):
        assert line.angle == pytest.approx(angle)
        assert tuple(line.base_point)[:2] == pytest.approx((x, y))
        r = math.radians(angle)
        offset = (along * math.cos(r) - across * math.sin(r), along * math.sin(r) + across * math.cos(r))
        assert tuple(line.offset)[:2] == pytest.approx(offset, abs=1e-12)
        if gap != 0 and dash >= 0:
            assert list(line.dash_length_items) == pytest.approx([dash, -abs(gap)])


def test_fb_rectangle_is_black_and_fb_path_is_hatched(convert):
    run = convert("FPF\tFB\t\nS\t600\t600\t\nRF\t600\t600\t\n"
                  "S\t600\t1800\t\nPR\t600\t\nPU\t600\t\nPL\t600\t\nPF\t\n")
    assert run.returncode == 0, run.stderr
    items = list(run.read().modelspace())
    assert [e.dxftype() for e in items] == ["HATCH", "LWPOLYLINE", "LWPOLYLINE", "HATCH"]
    assert fill_colour(items[0]) == "black" and items[0].dxf.solid_fill == 1
    assert len(items[3].pattern.lines) == len(PATTERNS[20])


def test_white_fill_hides_what_was_drawn_before_it_in_order(convert):
    run = convert("FPF\tWELL_SCREEN\t\nS\t0\t900\t\nLR\t2400\t\n"
                  "S\t600\t600\t\nRFW\t600\t600\t\n")
    assert run.returncode == 0, run.stderr
    items = list(run.read().modelspace())
    assert [e.dxftype() for e in items] == ["LINE", "HATCH", "HATCH", "LWPOLYLINE"]
    assert fill_colour(items[1]) == "white" and items[1].dxf.solid_fill == 1
    assert items[2].dxf.solid_fill == 0 and len(items[2].pattern.lines) == len(PATTERNS[6])


def test_path_limit_and_pen_after_fills(convert):
    steps = "PU\t600\t\n" + "".join("PR\t1\t\n" for _ in range(248))
    run = convert("S\t600\t600\t\n" + steps + "PFS\t1\t\nLR\t600\t\n" + steps + "PR\t1\t\n")
    assert "Error 9 in DXF startdrawing" in run.stderr
    assert run.returncode == 1
    items = list(run.read().modelspace())
    assert [e.dxftype() for e in items] == ["HATCH", "LINE"]  # the open path is never drawn
    assert len(items[0].paths[0].vertices) == 250
    assert tuple(items[1].dxf.start)[:2] == pytest.approx((1, 1))  # pen back at the first point


@pytest.mark.parametrize("name, number", [(n, 21 + i) for i, n in enumerate(SOIL_CODES)] +
                         [("WELL_FILL", 1), ("QUICKSOIL", 13), ("F80", 100)])
def test_every_name_selects_its_pattern(convert, name, number):
    run = convert(f"FPF\t {name.lower()} \t\nS\t600\t600\t\nPR\t600\t\nPU\t600\t\nPF\t\n")
    assert run.returncode == 0, run.stderr
    hatches = run.read().modelspace().query("HATCH")
    expected = len(PATTERNS.get(number, []))
    assert len(hatches) == (1 if expected else 0)
    if expected:
        assert len(hatches[0].pattern.lines) == expected
