"""Layers by kind on a log, asked by --layers kind or, in the classic form, by
PLOTDXF_LAYERS=kind, in both forms of pattern hatches: read back clean, each
entity on the layer of what it is and otherwise as written without them."""

import pytest

from conftest import SOURCE_DIR, read_dxf
from test_command_line import Explicit

LOG = (SOURCE_DIR / "examples" / "boring_log.txt").read_bytes()
FIXED = {"TEXT": "KQ_TEXT", "LINE": "KQ_LINE", "ARC": "KQ_LINE", "CIRCLE": "KQ_OUTLINE"}


def kind_layer(entity):
    """The layer by kind of an entity written on its drawing layer."""
    if entity.dxftype() == "LWPOLYLINE":
        return "KQ_OUTLINE" if entity.closed else "KQ_LINE"
    if entity.dxftype() == "HATCH":
        return ("KQ_FILL" if entity.dxf.solid_fill
                else "KQ_HATCH_" + entity.dxf.pattern_name.removeprefix("KQ_"))
    return FIXED[entity.dxftype()]


@pytest.mark.parametrize("lines", [False, True], ids=["hatch", "lines"])
@pytest.mark.parametrize("how", ["option", "variable"])
def test_every_entity_is_on_the_layer_of_what_it_is(how, lines, convert, monkeypatch, tmp_path):
    drawn = list(convert(LOG, ["drawn.dxf"]).read("drawn.dxf").modelspace())
    if how == "option":
        cli = Explicit(tmp_path / "explicit")
        cli.write("log.txt", LOG)
        run = cli.run("-i", "log.txt", "-o", "log.dxf", "--layers", "kind",
                      *(["--hatch-lines"] if lines else []))
        path = cli.work / "log.dxf"
    else:
        monkeypatch.setenv("PLOTDXF_LAYERS", "kind")
        monkeypatch.setenv("PLOTDXF_HATCH", "lines" if lines else "hatch")
        run = convert(LOG, ["log.dxf"])
        path = run.dxf_path("log.dxf")
    assert (run.returncode, run.stderr) == (0, "")
    entities = list(read_dxf(path).modelspace())
    assert len(entities) == len(drawn)
    for entity, as_drawn in zip(entities, drawn):
        if lines and as_drawn.dxftype() == "HATCH" and not as_drawn.dxf.solid_fill:
            assert entity.dxftype() == "INSERT"  # its lines follow its layer
            assert {line.dxf.layer for line in entity.block()} == {"0"}
        else:
            assert entity.dxftype() == as_drawn.dxftype()
        assert entity.dxf.layer == kind_layer(as_drawn)
        assert (entity.dxf.color, entity.dxf.linetype, entity.dxf.lineweight) == (
            as_drawn.dxf.color, as_drawn.dxf.linetype, as_drawn.dxf.lineweight)
