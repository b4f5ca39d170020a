#!/usr/bin/python3
"""Describes a DXF file as an independent reader (ezdxf) sees it.

Usage: /usr/bin/python3 tools/dxf_probe.py FILE.dxf

Prints one record per line: a record kind, then TAB-separated key=value
fields. Kinds, in this order:

  audit         errors, fixes (ezdxf.readfile + audit), recover_errors,
                recover_fixes (ezdxf.recover.readfile)
  auditmessage  code, message: one per error or fix the audit reported
  header        name, value: every header variable
  vport         the *Active viewport: name, center, height, aspect
  linetype      name, description, length, elements
  layer         name, color, true_color, linetype, lineweight, flags
  style         name, font, bigfont, family, font_flags (ACAD extended data)
  view          name, center, direction, target, height, width
  entity        type, handle, owner, layer, linetype, ltscale, color,
                true_color (-1 when absent), lineweight, then by type:
                LINE start end; CIRCLE center radius; ARC center radius
                start_angle end_angle; TEXT insert align_point height text
                rotation width oblique style flags halign valign;
                LWPOLYLINE closed count points; HATCH pattern_name solid
                pattern_type pattern_angle pattern_scale pattern_double
                associative hatch_style elevation paths lines seeds (x, y per
                seed point); INSERT name
                insert block_flags entities
  path          (belongs to the HATCH above) type, flags, closed, count,
                vertices (x, y, bulge per vertex)
  patternline   (belongs to the HATCH above) angle, base, offset, dashes
  blockentity   (belongs to the INSERT above) an entity of its block, with the
                fields of an entity

Strings are written in Windows-1252 with backslash, TAB, CR and LF escaped
as \\\\, \\t, \\r, \\n (characters outside the code page as \\uXXXX);
numbers in Python's shortest round-trip form; points and lists as
comma-separated numbers. The exit status is 0 when the file could be read,
1 otherwise (a line "error<TAB>message=..." says why).

describe(path) returns the same records as (kind, fields) pairs for tests
written in Python.
"""

import sys

import ezdxf
from ezdxf import recover


def _number_list(values):
    return [float(v) for v in values]


def _common(entity):
    dxf = entity.dxf
    return {
        "type": entity.dxftype(),
        "handle": dxf.handle,
        "owner": dxf.owner,
        "layer": dxf.layer,
        "linetype": dxf.get("linetype", "BYLAYER"),
        "ltscale": dxf.get("ltscale", 1.0),
        "color": dxf.get("color", 256),
        "true_color": dxf.get("true_color", -1),
        "lineweight": dxf.get("lineweight", -1),
    }


def _hatch(hatch, fields, records):
    dxf = hatch.dxf
    paths = hatch.paths.paths
    lines = hatch.pattern.lines if hatch.pattern else []
    fields.update(
        pattern_name=dxf.pattern_name,
        solid=dxf.solid_fill,
        pattern_type=dxf.pattern_type,
        pattern_angle=dxf.get("pattern_angle", 0.0),
        pattern_scale=dxf.get("pattern_scale", 1.0),
        pattern_double=dxf.get("pattern_double", 0),
        associative=dxf.associative,
        hatch_style=dxf.hatch_style,
        elevation=_number_list(dxf.elevation),
        paths=len(paths),
        lines=len(lines),
        seeds=[float(value) for seed in hatch.seeds for value in seed],
    )
    records.append(("entity", fields))
    for path in paths:
        vertices = getattr(path, "vertices", None)
        if vertices is None:
            records.append(("path", {"type": "edges", "flags": path.path_type_flags,
                                     "count": len(path.edges)}))
            continue
        flat = [float(value) for vertex in vertices for value in vertex]
        records.append(("path", {"type": "polyline", "flags": path.path_type_flags,
                                 "closed": path.is_closed, "count": len(vertices),
                                 "vertices": flat}))
    for line in lines:
        records.append(("patternline", {"angle": line.angle,
                                        "base": _number_list(line.base_point),
                                        "offset": _number_list(line.offset),
                                        "dashes": _number_list(line.dash_length_items)}))


def _entity(entity, records, record_kind="entity"):
    fields = _common(entity)
    dxf = entity.dxf
    kind = fields["type"]
    if kind == "LINE":
        fields.update(start=_number_list(dxf.start), end=_number_list(dxf.end))
    elif kind in ("CIRCLE", "ARC"):
        fields.update(center=_number_list(dxf.center), radius=dxf.radius)
        if kind == "ARC":
            fields.update(start_angle=dxf.start_angle, end_angle=dxf.end_angle)
    elif kind == "TEXT":
        fields.update(
            insert=_number_list(dxf.insert),
            align_point=_number_list(dxf.get("align_point", (0.0, 0.0, 0.0))),
            height=dxf.height,
            text=dxf.text,
            rotation=dxf.get("rotation", 0.0),
            width=dxf.get("width", 1.0),
            oblique=dxf.get("oblique", 0.0),
            style=dxf.get("style", "Standard"),
            flags=dxf.get("text_generation_flag", 0),
            halign=dxf.get("halign", 0),
            valign=dxf.get("valign", 0),
        )
    elif kind == "LWPOLYLINE":
        points = [float(value) for point in entity.get_points("xy") for value in point]
        fields.update(closed=entity.closed, count=len(entity), points=points)
    elif kind == "HATCH":
        _hatch(entity, fields, records)
        return
    elif kind == "INSERT":
        block = entity.block()
        fields.update(name=dxf.name, insert=_number_list(dxf.insert),
                      block_flags=block.block.dxf.flags, entities=len(block))
        records.append((record_kind, fields))
        for inner in block:
            _entity(inner, records, "blockentity")
        return
    records.append((record_kind, fields))


def _tables(doc, records):
    vport = doc.viewports.get("*Active")[0]
    records.append(("vport", {"name": vport.dxf.name, "center": _number_list(vport.dxf.center)[:2],
                              "height": vport.dxf.height, "aspect": vport.dxf.aspect_ratio}))
    for linetype in doc.linetypes:
        tags = linetype.pattern_tags.tags
        elements = [tag.value for tag in tags if tag.code == 49]
        length = next((tag.value for tag in tags if tag.code == 40), 0.0)
        records.append(("linetype", {"name": linetype.dxf.name,
                                     "description": linetype.dxf.get("description", ""),
                                     "length": length, "elements": elements}))
    for layer in doc.layers:
        records.append(("layer", {"name": layer.dxf.name, "color": layer.dxf.color,
                                  "true_color": layer.dxf.get("true_color", -1),
                                  "linetype": layer.dxf.linetype,
                                  "lineweight": layer.dxf.get("lineweight", -3),
                                  "flags": layer.dxf.flags}))
    for style in doc.styles:
        family, flags = "", -1
        if style.has_xdata("ACAD"):
            for tag in style.get_xdata("ACAD"):
                if tag.code == 1000:
                    family = tag.value
                elif tag.code == 1071:
                    flags = tag.value
        records.append(("style", {"name": style.dxf.name, "font": style.dxf.font,
                                  "bigfont": style.dxf.get("bigfont", ""), "family": family,
                                  "font_flags": flags}))
    for view in doc.views:
        records.append(("view", {"name": view.dxf.name, "center": _number_list(view.dxf.center)[:2],
                                 "direction": _number_list(view.dxf.direction),
                                 "target": _number_list(view.dxf.target),
                                 "height": view.dxf.height, "width": view.dxf.width}))


def describe(path):
    """The records of the file at `path`; raises what ezdxf raises on unreadable files."""
    doc = ezdxf.readfile(path)
    records = []
    for name in doc.header.varnames():
        records.append(("header", {"name": name, "value": doc.header[name]}))
    _tables(doc, records)
    for entity in doc.modelspace():
        _entity(entity, records)
    auditor = doc.audit()
    _, recovered = recover.readfile(path)
    messages = [("auditmessage", {"code": entry.code, "message": entry.message})
                for entry in list(auditor.errors) + list(auditor.fixes)]
    audit = ("audit", {"errors": len(auditor.errors), "fixes": len(auditor.fixes),
                       "recover_errors": len(recovered.errors),
                       "recover_fixes": len(recovered.fixes)})
    return [audit] + messages + records


def _format(value):
    if isinstance(value, bool):
        return "1" if value else "0"
    if isinstance(value, float):
        return repr(value)
    if isinstance(value, int):
        return str(value)
    if isinstance(value, str):
        return (value.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r")
                .replace("\n", "\\n"))
    return ",".join(_format(float(item) if isinstance(item, int) and not isinstance(item, bool)
                            else item) for item in value)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: dxf_probe.py FILE.dxf\n")
        return 2
    out = sys.stdout.buffer
    try:
        records = describe(argv[1])
    except Exception as error:  # the reader's refusal is the finding
        out.write(("error\tmessage=" + _format(str(error)) + "\n")
                  .encode("cp1252", errors="backslashreplace"))
        return 1
    for kind, fields in records:
        line = kind + "".join("\t%s=%s" % (key, _format(value)) for key, value in fields.items())
        out.write((line + "\n").encode("cp1252", errors="backslashreplace"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
