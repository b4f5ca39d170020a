"""The work one hatch may make is bounded: a pattern fine enough to make
millions of lines keeps its HATCH entity in the line form and is a tone on
screen, a pattern line whose values cannot be counted is left out, and each
is told by its line."""

import pytest

from conftest import to_bytes
from test_command_line import Explicit
from test_examples_current import read_png
from test_viewer_command_line import VIEWER, viewer  # noqa: F401 (the fixture)

# Pattern 1 (WELL_FILL): dashes of 0.001 every 0.002 on lines 0.002 apart,
# 20 million pieces over the 8 x 10 inch rectangle that line 3 fills.
DENSE_PATTERNS = "*WELL_FILL, dense\r\n1\r\n0,0,0,0,0.002,0.001,0.001\r\n"
DENSE = "FPF\tWELL_FILL\t\nS\t150\t300\t\nRF\t4800\t6000\t\n"
# Its second line lies 1e15 inches away: its line numbers pass exact counting.
FAR_PATTERNS = "*WELL_FILL, far\r\n2\r\n0,0,0,0,0.25,0,0\r\n0,0,1e15,0,0.1,0,0\r\n"
SQUARE = "FPF\tWELL_FILL\t\nS\t600\t600\t\nRF\t600\t600\t\n"


def pattern_hatches(doc):
    return [e for e in doc.modelspace() if e.dxftype() == "HATCH" and not e.dxf.solid_fill]


def render_page(viewer, commands, patterns):  # noqa: F811
    """The viewer's page.png of `commands` with `patterns`: what it said on stderr."""
    (viewer.work / "log.txt").write_bytes(to_bytes(commands))
    (viewer.work / "log.pat").write_bytes(to_bytes(patterns))
    status, _, errors = viewer("-i", "log.txt", "--patterns", "log.pat", "--png", "page.png")
    assert status == 0, errors
    return errors


def test_a_dense_hatch_stays_a_hatch_entity_in_both_forms(convert, monkeypatch):
    hatches = convert(DENSE, ["hatches.dxf"], hatch=DENSE_PATTERNS)
    assert (hatches.returncode, hatches.stderr) == (0, "")
    monkeypatch.setenv("PLOTDXF_HATCH", "lines")
    lines = convert(DENSE, ["lines.dxf"], hatch=DENSE_PATTERNS)
    assert lines.returncode == 0, lines.stderr
    assert "line 3 of tempdxf.txt: the hatch of pattern KQ_WELL_FILL would be more than" \
        in lines.stderr
    assert "written as a HATCH entity" in lines.stderr
    for doc in (hatches.read("hatches.dxf"), lines.read("lines.dxf")):
        assert [e.dxftype() for e in doc.modelspace()] == ["LWPOLYLINE", "HATCH"]
        assert len(pattern_hatches(doc)) == 1
        assert not doc.blocks.get("*U1")


def test_the_explicit_form_tells_the_dense_hatch_by_its_file_and_line(tmp_path):
    cli = Explicit(tmp_path)
    cli.write("log.txt", DENSE)
    cli.write("dense.pat", DENSE_PATTERNS)
    run = cli.run("--hatch-lines", "--patterns", "dense.pat", "-i", "log.txt", "-o", "log.dxf")
    assert run.returncode == 0, run.stderr
    assert "log.txt: line 3: warning: the hatch of pattern KQ_WELL_FILL" in run.stderr
    assert (cli.work / "log.dxf").stat().st_size < 100_000


def test_a_pattern_line_too_far_away_is_left_out_and_named(convert, monkeypatch):
    monkeypatch.setenv("PLOTDXF_HATCH", "lines")
    run = convert(SQUARE, ["far.dxf"], hatch=FAR_PATTERNS)
    assert run.returncode == 0, run.stderr
    assert ("line 3 of tempdxf.txt: line 2 of the hatch pattern KQ_WELL_FILL is left out"
            in run.stderr)
    insert, = [e for e in run.read("far.dxf").modelspace() if e.dxftype() == "INSERT"]
    # The first line of the pattern alone: y = 1, 1.25, 1.5 and 1.75.
    assert sorted(round(line.dxf.start.y, 9) for line in insert.block()) == [1, 1.25, 1.5, 1.75]


@pytest.mark.skipif(not VIEWER.exists(), reason="the viewer is built for Linux only")
def test_the_viewer_shows_the_dense_hatch_as_a_tone_and_says_so(viewer):  # noqa: F811
    errors = render_page(viewer, DENSE, DENSE_PATTERNS)
    assert "1 hatch is too fine to draw line by line: shown as a tone" in errors
    width, _, rgba = read_png(viewer.work / "page.png")
    # Inside the rectangle, away from its outline: the tone, neither page nor ink.
    red = rgba[4 * (500 * width + 400)]
    assert 100 < red < 160


@pytest.mark.skipif(not VIEWER.exists(), reason="the viewer is built for Linux only")
def test_the_viewer_draws_the_pattern_lines_it_can_and_says_one_is_left_out(viewer):  # noqa: F811
    errors = render_page(viewer, SQUARE, FAR_PATTERNS)
    assert ("1 hatch lacks pattern lines whose spacing, dashes or base point cannot be drawn"
            in errors)


def test_the_hatches_of_a_drawing_are_bounded_together_as_lines(tmp_path):
    # Three hatches of 400,000 dashes each (lines 0.001 apart, dashes 0.01
    # every 0.02, over 1 x 8 inches): each is within the bound on one hatch,
    # the third passes what a drawing of a few entities may make in all.
    cli = Explicit(tmp_path)
    cli.write("many.pat", "*WELL_FILL, fine\r\n1\r\n0,0,0,0,0.001,0.01,-0.01\r\n")
    cli.write("log.txt", "FPF\tWELL_FILL\t\n" + "".join(
        f"S\t{600 + 900 * i}\t600\t\nRF\t600\t4800\t\n" for i in range(3)))
    run = cli.run("--hatch-lines", "--patterns", "many.pat", "-i", "log.txt", "-o", "log.dxf")
    assert run.returncode == 0, run.stderr
    assert run.stderr.count(": warning: ") == 1, run.stderr
    assert ("log.txt: line 7: warning: the hatches of the drawing would be more than 1000000"
            " lines with pattern KQ_WELL_FILL: it is written as a HATCH entity") in run.stderr
    drawing = (cli.work / "log.dxf").read_bytes()
    assert drawing.count(b"\nAcDbBlockReference\n") == 2
    assert drawing.count(b"\nAcDbHatch\n") == 1
