"""The two forms of a pattern hatch, read back by the independent reader: the
HATCH entity that names its pattern (the default) and, with
PLOTDXF_HATCH=lines, the pattern's own lines as one block per hatch; and the
pattern library kq.pat that the build makes for CAD users."""

import math

import pytest

from conftest import BINARY, SOURCE_DIR
from test_fills import PATTERNS

EXAMPLES = ["boring_log", "swatch"]


def example(name):
    return (SOURCE_DIR / "examples" / f"{name}.txt").read_bytes()


def pattern_names(path):
    """{number: name} from the "*" lines of a pattern file."""
    lines = path.read_bytes().decode("cp1252").replace("\r\n", "\r").split("\r")
    stars = [line[1:].split(",")[0].strip() for line in lines if line.startswith("*")]
    return {n + 1: name for n, name in enumerate(stars)}


NAMES = pattern_names(SOURCE_DIR / "data" / "kqhatch.pat")


def pattern_hatches(doc):
    return [e for e in doc.modelspace() if e.dxftype() == "HATCH" and not e.dxf.solid_fill]


@pytest.mark.parametrize("name", EXAMPLES)
def test_both_forms_read_back_clean_and_show_the_same_hatches(convert, monkeypatch, name):
    hatches = convert(example(name), ["hatches.dxf"])
    monkeypatch.setenv("PLOTDXF_HATCH", "lines")
    lines = convert(example(name), ["lines.dxf"])
    assert hatches.returncode == lines.returncode == 0, lines.stderr
    assert lines.stderr == ""
    as_hatches = hatches.read("hatches.dxf").modelspace()
    as_lines = lines.read("lines.dxf")

    patterns = pattern_hatches(hatches.read("hatches.dxf"))
    inserts = [e for e in as_lines.modelspace() if e.dxftype() == "INSERT"]
    assert patterns and len(inserts) == len(patterns)
    assert not pattern_hatches(as_lines), "no pattern HATCH is left in the line form"
    # Everything else is the same, entity for entity: solid fills stay HATCH.
    others = [e.dxftype() for e in as_hatches if not (e.dxftype() == "HATCH"
                                                      and not e.dxf.solid_fill)]
    assert [e.dxftype() for e in as_lines.modelspace() if e.dxftype() != "INSERT"] == others
    for hatch, insert in zip(patterns, inserts):
        assert (insert.dxf.layer, insert.dxf.color, insert.dxf.linetype,
                insert.dxf.lineweight) == (hatch.dxf.layer, hatch.dxf.color,
                                           hatch.dxf.linetype, hatch.dxf.lineweight)
        block = insert.block()
        assert block.block.is_anonymous
        assert len(block) > 0 and all(e.dxftype() == "LINE" for e in block)
        # The lines lie inside the hatch's boundary box.
        box = [v for path in hatch.paths.paths for v in path.vertices]
        low_x, high_x = min(v[0] for v in box), max(v[0] for v in box)
        low_y, high_y = min(v[1] for v in box), max(v[1] for v in box)
        for line in block:
            for point in (line.dxf.start, line.dxf.end):
                assert low_x - 0.006 <= point.x <= high_x + 0.006
                assert low_y - 1e-9 <= point.y <= high_y + 1e-9


def test_the_swatch_hatches_are_named_after_their_patterns(convert):
    """Each box of the swatch is labelled with its number: "N  NAME", or "N  F-n
    what" for the spare patterns, which have no name to select them by. Its
    hatch is KQ_NAME (FB's box is the black area that the rectangle fill draws
    for it), and every pattern of the file has its box."""
    run = convert(example("swatch"), ["swatch.dxf"])
    doc = run.read("swatch.dxf")
    labels = [e.dxf.text.split() for e in doc.modelspace() if e.dxftype() == "TEXT"]
    numbered = [int(label[0]) for label in labels if label and label[0].isdigit()]
    assert numbered == list(range(1, len(NAMES) + 1))
    expected = [f"KQ_{NAMES[n]}" for n in numbered if NAMES[n] != "FB"]
    assert [h.dxf.pattern_name for h in pattern_hatches(doc)] == expected


def test_a_numbered_selection_carries_the_name_of_its_pattern(convert):
    commands = "FPF\tF1\t\nS\t600\t600\t\nRF\t600\t600\t\nFPF\tgw\t\nS\t1800\t600\t\n" \
               "RF\t600\t600\t\nFPF\tF-6\t\nS\t3000\t600\t\nRF\t600\t600\t\n"
    doc = convert(commands, ["numbered.dxf"]).read("numbered.dxf")
    assert [h.dxf.pattern_name for h in pattern_hatches(doc)] == [
        "KQ_GW", "KQ_GW", "KQ_TOPSOIL"]
    assert NAMES[21] == "GW" and NAMES[14] == "TOPSOIL"


def test_an_unknown_hatch_form_is_named_and_the_hatch_form_kept(convert, monkeypatch):
    plain = convert(example("boring_log"), ["log.dxf"])
    monkeypatch.setenv("PLOTDXF_HATCH", "hatch")
    named = convert(example("boring_log"), ["log.dxf"])
    monkeypatch.setenv("PLOTDXF_HATCH", "dotted")
    unknown = convert(example("boring_log"), ["log.dxf"])
    assert plain.returncode == named.returncode == unknown.returncode == 0
    assert "PLOTDXF_HATCH=dotted is not a hatch form" in unknown.stderr
    drawing = plain.dxf_path("log.dxf").read_bytes()
    assert named.dxf_path("log.dxf").read_bytes() == drawing
    assert unknown.dxf_path("log.dxf").read_bytes() == drawing


def test_the_pattern_library_reads_back_with_the_lines_of_kqhatch_pat():
    library = BINARY.parent / "kq.pat"
    if not library.exists():
        pytest.skip(f"{library} is made by the build of the host's programs only")
    from ezdxf.tools import pattern

    loaded = pattern.parse(library.read_text(encoding="cp1252"))
    assert list(loaded) == [f"KQ_{NAMES[n]}" for n in sorted(PATTERNS) if PATTERNS[n]]
    for n, lines in PATTERNS.items():
        if not lines:
            continue
        got = loaded[f"KQ_{NAMES[n]}"]
        assert len(got) == len(lines)
        for (angle, x, y, along, across, dash, gap), read in zip(lines, got):
            # The loader gives the offset as a world vector, rounded to ten places.
            a = math.radians(angle)
            offset = (along * math.cos(a) - across * math.sin(a),
                      along * math.sin(a) + across * math.cos(a))
            dashes = [dash, -abs(gap)] if dash < 0 or gap != 0 else []
            assert read[0] == angle
            assert read[1] == pytest.approx((x, y), abs=1e-12)
            assert read[2] == pytest.approx(offset, abs=1e-9)
            assert read[3] == pytest.approx(dashes, abs=1e-12)


def test_the_explicit_form_asks_for_lines_with_an_option(tmp_path, monkeypatch):
    from test_command_line import Explicit, classic_drawing

    cli = Explicit(tmp_path)
    cli.write("log.txt", example("swatch"))
    assert cli.run("-i", "log.txt").returncode == 0
    as_hatches = (cli.work / "log.dxf").read_bytes()
    assert cli.run("--hatch-lines", "-i", "log.txt", "-o", "lines.dxf").returncode == 0
    monkeypatch.setenv("PLOTDXF_HATCH", "lines")
    assert (cli.work / "lines.dxf").read_bytes() == classic_drawing(tmp_path, example("swatch"))
    assert cli.run("-i", "log.txt", "-o", "env.dxf").returncode == 0
    assert (cli.work / "env.dxf").read_bytes() == (cli.work / "lines.dxf").read_bytes()
    assert as_hatches != (cli.work / "lines.dxf").read_bytes()


def test_write_pat_writes_the_library_of_the_pattern_file_in_use(tmp_path):
    from test_command_line import Explicit

    cli = Explicit(tmp_path)
    done = cli.run("--write-pat", "mine.pat")
    assert (done.returncode, done.stderr) == (0, "")
    built = BINARY.parent / "kq.pat"
    if built.exists():
        assert (cli.work / "mine.pat").read_bytes() == built.read_bytes()
    assert (cli.work / "mine.pat").read_text(encoding="cp1252").count("*KQ_") == \
        sum(1 for lines in PATTERNS.values() if lines)

    one = cli.write("one.pat", "; a lone pattern\r\n*CL, lean clay\r\n1\r\n45,0,0,0,0.1,0,0\r\n")
    assert cli.run("--patterns", str(one), "--write-pat", "one-kq.pat").returncode == 0
    assert "*KQ_CL, lean clay" in (cli.work / "one-kq.pat").read_text(encoding="cp1252")

    mixed = cli.run("--write-pat", "x.pat", "-i", "one.pat")
    assert mixed.returncode == 2 and "--write-pat" in mixed.stderr
    unwritable = cli.run("--write-pat", str(cli.work / "missing" / "x.pat"))
    assert unwritable.returncode == 2
    assert "the pattern library could not be written" in unwritable.stderr
    assert not (cli.work / "x.pat").exists()
