"""Layers by kind, asked by --layers kind or, in the classic form, by
PLOTDXF_LAYERS=kind: every entity of a log on the layer named for what it is
and otherwise as written without it, in both forms of pattern hatches, read
back clean by the independent reader; the LAYER table holds the drawing's
layers and exactly the layers by kind used."""

import pytest

from conftest import SOURCE_DIR, read_dxf
from test_command_line import Explicit

LOG = (SOURCE_DIR / "examples" / "boring_log.txt").read_bytes()
DRAWING_LAYERS = ["0", "MAIN", "QFENCE", "BORDER"]
FIXED = {"TEXT": "KQ_TEXT", "LINE": "KQ_LINE", "ARC": "KQ_LINE", "CIRCLE": "KQ_OUTLINE"}


def kind_layer(entity):
    """The layer by kind of an entity as written without layers by kind."""
    kind = entity.dxftype()
    if kind == "LWPOLYLINE":
        return "KQ_OUTLINE" if entity.closed else "KQ_LINE"
    if kind == "HATCH":
        if entity.dxf.solid_fill:
            return "KQ_FILL"
        return "KQ_HATCH_" + entity.dxf.pattern_name.removeprefix("KQ_")
    return FIXED[kind]


def by_kind(how, lines, convert, monkeypatch, tmp_path):
    """The log's drawing with layers by kind asked `how`, pattern hatches in
    the line form when `lines`."""
    if how == "option":
        cli = Explicit(tmp_path / "explicit")
        cli.write("log.txt", LOG)
        run = cli.run("-i", "log.txt", "-o", "log.dxf", "--layers", "kind",
                      *(["--hatch-lines"] if lines else []))
        path = cli.work / "log.dxf"
    else:
        monkeypatch.setenv("PLOTDXF_LAYERS", "kind")
        if lines:
            monkeypatch.setenv("PLOTDXF_HATCH", "lines")
        run = convert(LOG, ["log.dxf"])
        path = run.dxf_path("log.dxf")
    assert (run.returncode, run.stderr) == (0, "")
    return read_dxf(path)


@pytest.mark.parametrize("lines", [False, True], ids=["hatch", "lines"])
@pytest.mark.parametrize("how", ["option", "variable"])
def test_every_entity_is_on_the_layer_of_what_it_is(how, lines, convert, monkeypatch, tmp_path):
    drawn = convert(LOG, ["drawn.dxf"]).read("drawn.dxf").modelspace()
    doc = by_kind(how, lines, convert, monkeypatch, tmp_path)
    entities = list(doc.modelspace())
    assert len(entities) == len(drawn)
    for entity, as_drawn in zip(entities, drawn):
        assert as_drawn.dxf.layer == "0"
        if entity.dxftype() == "INSERT":
            # The line form of that pattern hatch, on the same layer; its
            # block's lines on layer 0 follow the INSERT's.
            assert lines and as_drawn.dxftype() == "HATCH" and not as_drawn.dxf.solid_fill
            assert {line.dxf.layer for line in entity.block()} == {"0"}
        else:
            assert entity.dxftype() == as_drawn.dxftype()
        assert entity.dxf.layer == kind_layer(as_drawn)
        assert (entity.dxf.color, entity.dxf.linetype, entity.dxf.lineweight) == (
            as_drawn.dxf.color, as_drawn.dxf.linetype, as_drawn.dxf.lineweight)
    used = sorted({entity.dxf.layer for entity in entities})
    assert {"KQ_FILL", "KQ_LINE", "KQ_OUTLINE", "KQ_TEXT"} < set(used)
    # The reader's audit adds Defpoints.
    table = [layer.dxf.name for layer in doc.layers if layer.dxf.name != "Defpoints"]
    assert table == DRAWING_LAYERS + used
    for name in used:
        layer = doc.layers.get(name)
        assert (layer.dxf.color, layer.dxf.linetype, layer.dxf.lineweight) == (
            7, "CONTINUOUS", -3)
