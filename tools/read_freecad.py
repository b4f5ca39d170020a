"""Run by `freecadcmd`: imports the DXF named by READER_DXF with FreeCAD's own
DXF importer, texts included, and writes what it took in to READER_OUT as
JSON: {"texts": [[content, x, y], ...], "edges": N}, positions in inches
(the importer scales an inch drawing to millimetres)."""
import json
import os

import FreeCAD
import Import

FreeCAD.ParamGet("User parameter:BaseApp/Preferences/Mod/Draft").SetBool("dxftext", True)
document = FreeCAD.newDocument("drawing")
Import.readDXF(os.environ["READER_DXF"], document.Name, False)
texts, edges = [], 0
for item in document.Objects:
    if item.TypeId == "App::Annotation":
        texts.append(["\n".join(item.LabelText), item.Position.x / 25.4, item.Position.y / 25.4])
    elif hasattr(item, "Shape"):
        edges += len(item.Shape.Edges)
with open(os.environ["READER_OUT"], "w", encoding="utf-8") as out:
    json.dump({"texts": texts, "edges": edges}, out)
