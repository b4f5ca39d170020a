"""Lines, texts, circles, arcs and triangles: what the commands ask for is
what the DXF holds, read back by the independent reader."""

import math
import struct

import pytest

PI = 3.1415926536  # the command language's ten-decimal pi


def single(value):
    """Rounds to single precision, as the pen position is stored."""
    return struct.unpack("f", struct.pack("f", value))[0]


def xy(vector):
    return (vector.x, vector.y)


def close(a, b, tolerance=1e-9):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def entities(doc):
    return list(doc.modelspace())


def test_line_commands_end_points_styles_and_pen(convert):
    run = convert(
        "LW\t3\t\n"
        "LT\t2\t\nLR\t600\t\n"            # (0,0)-(1,0) HIDDEN at 0.25
        "LT\t3\t\nLU\t300\t\n"            # (1,0)-(1,0.5) DASHDOT at 0.1
        "LT\t4\t\nLL\t300\t\n"            # (1,0.5)-(0.5,0.5) CENTER at 0.1
        "LT\t5\t\nLD\t150\t\n"            # (0.5,0.5)-(0.5,0.25) DOT at 0.1
        "LT\t1\t\nLA\t90\t600\t\n"        # CONTINUOUS, scale stays 0.1
        "LW\t0\t\nLTO\t0\t0\t\n"          # back to the origin
        "LRTO\t100\t-50\t\n"
        "LC\t\n"
    )
    assert run.returncode == 0, run.stderr
    lines = entities(run.read())
    assert [e.dxftype() for e in lines] == ["LINE"] * 7
    up_x = 0.5 + math.cos(90 * PI / 180) * 1.0
    expected = [
        ((0, 0), (1, 0), "HIDDEN", 0.25, 80),
        ((1, 0), (1, 0.5), "DASHDOT", 0.1, 80),
        ((1, 0.5), (0.5, 0.5), "CENTER", 0.1, 80),
        ((0.5, 0.5), (0.5, 0.25), "DOT", 0.1, 80),
        ((0.5, 0.25), (up_x, 1.25), "CONTINUOUS", 0.1, 80),
        ((single(up_x), 1.25), (0, 0), "CONTINUOUS", 0.1, 0),
        ((0, 0), (100 / 600, -50 / 600), "CONTINUOUS", 0.1, 0),
    ]
    for line, (start, end, linetype, scale, weight) in zip(lines, expected):
        assert close(xy(line.dxf.start), start), (line.dxf.start, start)
        assert close(xy(line.dxf.end), end), (line.dxf.end, end)
        assert line.dxf.linetype.upper() == linetype
        assert line.dxf.ltscale == pytest.approx(scale)
        assert line.dxf.lineweight == weight  # 3 x 0.254 mm -> 0.80 mm
        assert line.dxf.layer == "0"
        assert line.dxf.color == 7  # the ink


def test_text_lines_alignment_rotation_and_font(convert):
    h = 8 / 72
    run = convert(
        "S\t600\t1200\t\nA\tAB\\NCD\t\n"
        "AL\t\nAP\t10\t\nAD\t90\t\nS\t1200\t1200\t\nA\tUP\\Nnext\t\n"
        "AR\t\nAD\t0\t\nAF\tTimes New Roman\t\nS\t600\t600\t\nAN\t3.14159\t\n"
        "AN\t0.25\t\nAN\t-0.5\t\nAN\t3\t\nA\tDeg \xb0 \xb1 \xe9\t\n"
    )
    assert run.returncode == 0, run.stderr
    doc = run.read()
    texts = entities(doc)
    assert [t.dxf.text for t in texts] == [
        "AB", "CD", "UP", "next", "3.14", ".25", "-.5", "3", "Deg \xb0 \xb1 \xe9"]
    ab, cd, up, nxt = texts[:4]
    assert close(xy(ab.dxf.align_point), (1, single(2 - 0.55 * h)), 1e-7)
    assert close(xy(cd.dxf.align_point), (1, 2 - h - 0.55 * h), 1e-6)
    # The first point starts the baseline: half a height below the middle,
    # half the text's width to the left of its centre.
    assert ab.dxf.insert.y == pytest.approx(ab.dxf.align_point.y - h / 2)
    assert 0 < ab.dxf.align_point.x - ab.dxf.insert.x < h * len("AB")
    assert (ab.dxf.halign, ab.dxf.valign) == (1, 2)
    assert ab.dxf.height == pytest.approx(h)
    assert ab.dxf.style == "USERFONT"
    h10 = single(10 * 0.7) / 72
    assert up.dxf.rotation == 90
    assert (up.dxf.halign, up.dxf.valign) == (0, 2)
    assert close(xy(up.dxf.align_point), (2 + 0.55 * h10, 2), 1e-6)
    assert close(xy(nxt.dxf.align_point), (2 + h10 + 0.55 * h10, 2), 1e-6)
    # Turned a quarter: the baseline lies half a height to the right of the middle.
    assert close(xy(up.dxf.insert), (2 + 1.05 * h10, 2), 1e-6)
    assert texts[4].dxf.halign == 2
    style = doc.styles.get("USERFONT")
    assert style.dxf.font.lower() == "times.ttf"  # the last AF redefines the style


def test_circles_arcs_and_triangles(convert):
    run = convert(
        "S\t600\t600\t\nLW\t2\t\nC\t0.5\t\nC\t0\t\nEF\t0.25\t\n"
        "S\t0\t0\t\nARCR\t600\t10\t\nARCR\t600\t-10\t\n"
        "S\t3000\t3000\t\nTRI\t1\t\nTRID\t0.5\t\nLR\t600\t\n"
    )
    assert run.returncode == 0, run.stderr
    items = entities(run.read())
    kinds = [e.dxftype() for e in items]
    assert kinds == ["CIRCLE", "CIRCLE", "HATCH", "ARC", "ARC"] + ["LINE"] * 7
    circle, filled, solid, up, down = items[:5]
    assert close(xy(circle.dxf.center), (1, 1)) and circle.dxf.radius == 0.5
    assert circle.dxf.lineweight == 50
    assert filled.dxf.radius == 0.25 and filled.dxf.color == 7
    assert solid.dxf.solid_fill == 1 and solid.dxf.color == 7
    assert close(xy(up.dxf.center), (0.5, -0.1125), 1e-7) and up.dxf.radius == pytest.approx(0.5125)
    assert up.dxf.start_angle == pytest.approx(12.680383, abs=1e-5)
    assert up.dxf.end_angle == pytest.approx(167.319617, abs=1e-5)
    assert close(xy(down.dxf.center), (0.5, 0.1125), 1e-7)
    assert down.dxf.start_angle == pytest.approx(192.680383, abs=1e-5)
    a, b = single(0.866), 0.5
    tri = [(xy(e.dxf.start), xy(e.dxf.end)) for e in items[5:8]]
    x0 = y0 = 5.0
    assert close(tri[0][0], (x0 + a, y0 - b), 1e-6) and close(tri[0][1], (x0 - a, y0 - b), 1e-6)
    assert close(tri[1][1], (x0, y0 + 1), 1e-6) and close(tri[2][1], (x0 + a, y0 - b), 1e-6)
    low = [(xy(e.dxf.start), xy(e.dxf.end)) for e in items[8:11]]
    assert close(low[1][1], (x0, y0 - 0.5), 1e-6)
    # The triangles give back the pen and the scales: LR 600 is one inch from (5, 5).
    last = items[11]
    assert close(xy(last.dxf.start), (5, 5), 1e-6) and close(xy(last.dxf.end), (6, 5), 1e-6)
