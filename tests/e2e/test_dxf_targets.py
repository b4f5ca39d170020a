"""The drawing's target: the DXF version, the units and the colours every viewer
keeps, each over the same rich drawings, read back by the independent reader
and compared with the default (DXF 2004 in inches)."""

import math

import ezdxf
import pytest

from conftest import ON_WINDOWS, SOURCE_DIR, install, read_dxf, start, windows_path

EXAMPLES = ["boring_log", "well_diagram", "swatch"]
VERSIONS = {"2000": "AC1015", "2004": "AC1018", "2007": "AC1021", "2010": "AC1024",
            "2013": "AC1027", "2018": "AC1032"}
TEXT = "Depth 5\u00b0 \u00b1 \u00b5m \u2014 \u03a9 \u4e2d caf\u00e9"


class Converter:
    """plotdxf in a folder of its own, converting into a work folder."""

    def __init__(self, tmp_path):
        self.program, self.work = tmp_path / "program", tmp_path / "work"
        install(self.program)
        self.work.mkdir()

    def run(self, source, *options, name="out.dxf"):
        """Converts `source` (a path, or bytes written to a command file);
        returns the finished process and the drawing's path."""
        if isinstance(source, bytes):
            (self.work / "commands.txt").write_bytes(source)
            source = self.work / "commands.txt"
        drawing = self.work / name
        done = start(self.program, ["-i", shown(source), "-o", shown(drawing), *options],
                     cwd=self.work, capture_output=True)
        return done, drawing


def shown(path):
    return windows_path(path) if ON_WINDOWS else str(path)


@pytest.fixture
def converter(tmp_path):
    return Converter(tmp_path)


def example(name):
    return SOURCE_DIR / "examples" / f"{name}.txt"


def entity_summary(doc):
    """What each entity is and shows, in file order, colours as ACI."""
    summary = []
    for e in doc.modelspace():
        row = [e.dxftype(), e.dxf.layer, e.dxf.color, e.dxf.linetype, e.dxf.lineweight]
        if e.dxftype() == "TEXT":
            row.append(e.dxf.text)
        summary.append(row)
    return summary


@pytest.mark.parametrize("name", EXAMPLES)
def test_every_version_from_2000_keeps_every_entity_text_and_colour(converter, name):
    done, default = converter.run(example(name), name="2004.dxf")
    assert done.returncode == 0, done.stderr
    reference = read_dxf(default)
    true_colours = [e.dxf.true_color for e in reference.modelspace() if e.dxf.hasattr("true_color")]
    assert true_colours, "the examples paint white or black areas"
    for version, acad in VERSIONS.items():
        done, drawing = converter.run(example(name), "--dxf-version", version,
                                      name=f"{version}.dxf")
        assert (done.returncode, done.stderr) == (0, b""), version
        doc = read_dxf(drawing)
        assert doc.dxfversion == acad
        assert entity_summary(doc) == entity_summary(reference), version
        kept = [e.dxf.true_color for e in doc.modelspace() if e.dxf.hasattr("true_color")]
        # 2000 has no true colours: the ACI numbers above stay, white 255 and black 250.
        assert kept == ([] if version == "2000" else true_colours), version


def test_texts_are_utf8_from_2007_and_the_code_page_before(converter):
    commands = f"S\t600\t600\t\nA\t{TEXT}\t\nSTOP\t\n".encode("utf-8")
    for version, raw, read in [
        ("2004", "Depth 5\u00b0 \u00b1 \u00b5m \u2014 \\U+03A9 \\U+4E2D caf\u00e9".encode("cp1252"),
         None),
        ("2000", "Depth 5\u00b0 \u00b1 \u00b5m \u2014 \\U+03A9 \\U+4E2D caf\u00e9".encode("cp1252"),
         None),
        ("2007", TEXT.encode("utf-8"), TEXT),
        ("2018", TEXT.encode("utf-8"), TEXT),
    ]:
        done, drawing = converter.run(commands, "--encoding", "utf-8", "--dxf-version", version,
                                      name=f"{version}.dxf")
        assert done.returncode == 0, done.stderr
        assert raw in drawing.read_bytes(), version
        if read:  # the plain reader shows the text as it was written, no escapes
            [text] = read_dxf(drawing).modelspace().query("TEXT")
            assert text.dxf.text == read


def scaled_values(doc):
    """Every place and length of the drawing, and the unitless values beside them."""
    lengths, unitless = [], []
    for e in doc.modelspace():
        kind = e.dxftype()
        if kind == "LINE":
            lengths += [*e.dxf.start, *e.dxf.end]
        elif kind in ("CIRCLE", "ARC"):
            lengths += [*e.dxf.center, e.dxf.radius]
            if kind == "ARC":
                unitless += [e.dxf.start_angle, e.dxf.end_angle]
        elif kind == "TEXT":
            lengths += [*e.dxf.insert, *e.dxf.align_point, e.dxf.height]
            unitless += [e.dxf.rotation, e.dxf.width, e.dxf.oblique]
        elif kind == "LWPOLYLINE":
            lengths += [c for point in e.get_points("xy") for c in point]
        elif kind == "POLYLINE":
            lengths += [c for v in e.vertices for c in v.dxf.location]
        elif kind == "SOLID":
            lengths += [c for corner in ("vtx0", "vtx1", "vtx2", "vtx3")
                        for c in e.dxf.get(corner)]
        elif kind == "HATCH":
            for path in e.paths:
                lengths += [c for v in getattr(path, "vertices", []) for c in v[:2]]
            lengths += [c for point in e.seeds for c in point]
            if e.pattern:
                for line in e.pattern.lines:
                    lengths += [*line.base_point, *line.offset, *line.dash_length_items]
                    unitless.append(line.angle)
    for linetype in doc.linetypes:
        if linetype.pattern_tags.tags:
            lengths += [tag.value for tag in linetype.pattern_tags.tags if tag.code in (40, 49)]
    header = doc.header
    for variable in ("$EXTMIN", "$EXTMAX", "$LIMMIN", "$LIMMAX"):
        lengths += list(header[variable])[:2]
    return lengths, unitless


@pytest.mark.parametrize("version", ["2004", "R12"])
@pytest.mark.parametrize("name", EXAMPLES)
def test_millimetres_scale_every_place_and_length_and_nothing_else(converter, name, version):
    """R12 has no unit variables, and its fills are SOLID pieces, its
    polylines POLYLINEs: their places are scaled all the same."""
    done, inches = converter.run(example(name), "--dxf-version", version, name="in.dxf")
    assert done.returncode == 0, done.stderr
    done, millimetres = converter.run(example(name), "--dxf-version", version, "--units", "mm",
                                      name="mm.dxf")
    assert done.returncode == 0, done.stderr
    # Nothing said but, in R12, that the pens' widths are lost.
    assert [line for line in done.stderr.splitlines()
            if b"[lineweight-dropped]" not in line] == []
    inch_doc, mm_doc = read_dxf(inches), read_dxf(millimetres)
    if version == "2004":
        assert (inch_doc.header["$INSUNITS"], inch_doc.header["$MEASUREMENT"]) == (1, 0)
        assert (mm_doc.header["$INSUNITS"], mm_doc.header["$MEASUREMENT"]) == (4, 1)
    assert tuple(mm_doc.header["$LIMMAX"])[:2] == pytest.approx((215.9, 279.4))
    inch_lengths, inch_unitless = scaled_values(inch_doc)
    mm_lengths, mm_unitless = scaled_values(mm_doc)
    assert len(mm_lengths) == len(inch_lengths) > 100
    for a, b in zip(inch_lengths, mm_lengths):
        assert math.isclose(b, a * 25.4, rel_tol=1e-12, abs_tol=1e-9), (a, b)
    assert mm_unitless == inch_unitless
    assert entity_summary(mm_doc) == entity_summary(inch_doc)


def test_choices_come_from_the_option_else_the_variable_else_the_default(converter, monkeypatch):
    square = b"S\t600\t600\t\nRE\t600\t600\t\nSTOP\t\n"
    # R12 has no $INSUNITS: its units are the reader's to know.
    cases = [  # options, environment, ($ACADVER, $INSUNITS), what stderr says
        ([], {}, ("AC1018", 1), ""),
        (["--dxf-version", "r12"], {}, ("AC1009", None), ""),
        (["--units", "MM"], {}, ("AC1018", 4), ""),
        ([], {"PLOTDXF_DXF_VERSION": "2013", "PLOTDXF_UNITS": "mm"}, ("AC1027", 4), ""),
        (["--dxf-version", "2010", "--units", "in"],
         {"PLOTDXF_DXF_VERSION": "2013", "PLOTDXF_UNITS": "mm"}, ("AC1024", 1), ""),
        ([], {"PLOTDXF_DXF_VERSION": "14"}, ("AC1018", 1),
         "PLOTDXF_DXF_VERSION=14 is not a DXF version (R12, 2000, 2004, 2007, 2010, 2013 or "
         "2018); the drawing is written as DXF 2004"),
        ([], {"PLOTDXF_UNITS": "cm"}, ("AC1018", 1),
         "PLOTDXF_UNITS=cm is not a unit of the drawing (in or mm); the drawing is in inches"),
        ([], {"PLOTDXF_LAYERS": "all"}, ("AC1018", 1),
         "PLOTDXF_LAYERS=all is not a way to lay out layers (kind or drawing); the entities "
         "stay on the drawing's layers"),
    ]
    for options, environment, (acad, units), said in cases:
        for variable in ("PLOTDXF_DXF_VERSION", "PLOTDXF_UNITS", "PLOTDXF_LAYERS"):
            monkeypatch.delenv(variable, raising=False)
        for variable, value in environment.items():
            monkeypatch.setenv(variable, value)
        done, drawing = converter.run(square, *options)
        assert done.returncode == 0, (options, environment, done.stderr)
        assert said in done.stderr.decode(), (options, environment)
        header = ezdxf.readfile(drawing).header
        assert (header["$ACADVER"], header.get("$INSUNITS")) == (acad, units), (options, environment)
    for options in (["--dxf-version", "14"], ["--units", "cm"], ["--layers", "all"]):
        done, drawing = converter.run(square, *options, name="refused.dxf")
        assert done.returncode == 2 and not drawing.exists(), options


def test_the_classic_form_takes_the_target_from_its_variables(tmp_path, monkeypatch):
    install(tmp_path, "S\t600\t600\t\nRE\t600\t600\t\nSTOP\t\n")
    monkeypatch.setenv("PLOTDXF_DXF_VERSION", "2018")
    monkeypatch.setenv("PLOTDXF_UNITS", "mm")
    done = start(tmp_path, ["log.dxf"], cwd=tmp_path, capture_output=True)
    assert (done.returncode, done.stderr) == (0, b"")
    header = read_dxf(tmp_path / "log.dxf").header
    assert (header["$ACADVER"], header["$INSUNITS"]) == ("AC1032", 4)
