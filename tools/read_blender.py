"""Run by `blender -b --python`: imports the DXF named by READER_DXF with
Blender's bundled DXF importer, one object per entity, and writes what it
took in to READER_OUT as JSON: {"texts": [[content, x, y], ...], "curves": N}
(a text object sits on its baseline's start; lines, polylines, circles and
arcs are curve objects)."""
import json
import os

import addon_utils
import bpy

bpy.ops.wm.read_factory_settings(use_empty=True)
addon_utils.enable("io_import_dxf", default_set=True)
bpy.ops.import_scene.dxf(filepath=os.environ["READER_DXF"], merge=False)
texts, curves = [], 0
for item in bpy.context.scene.objects:
    if item.type == "FONT":
        texts.append([item.data.body, item.location.x, item.location.y])
    elif item.type == "CURVE":
        curves += 1
with open(os.environ["READER_OUT"], "w", encoding="utf-8") as out:
    json.dump({"texts": texts, "curves": curves}, out)
