"""Run by `blender -b --python`: imports the DXF named by READER_DXF with
Blender's bundled DXF importer, one object per entity, and writes what it
took in to READER_OUT as JSON: {"texts": [[content, x, y], ...], "curves": N}
(a text object sits on its baseline's start; lines, polylines, circles and
arcs are curve objects). With READER_PICTURE it also renders the letter
page from above to that PNG, 850 x 1100 pixels, curves as thin black tubes
(the importer takes no hatch in)."""
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

picture = os.environ.get("READER_PICTURE")
if picture:
    scene = bpy.context.scene
    for item in scene.objects:
        if item.type == "CURVE":
            item.data.bevel_depth = 0.004  # a curve of no thickness renders as nothing
    camera = bpy.data.objects.new("camera", bpy.data.cameras.new("camera"))
    scene.collection.objects.link(camera)
    camera.data.type = "ORTHO"
    camera.data.ortho_scale = 11
    camera.location = (4.25, 5.5, 10)
    scene.camera = camera
    scene.render.engine = "BLENDER_WORKBENCH"
    shading = scene.display.shading
    shading.light, shading.color_type, shading.single_color = "FLAT", "SINGLE", (0, 0, 0)
    shading.background_type, shading.background_color = "VIEWPORT", (1, 1, 1)
    scene.world = bpy.data.worlds.new("paper")
    scene.world.color = (1, 1, 1)
    scene.render.image_settings.color_mode = "RGB"
    scene.view_settings.view_transform = "Standard"
    scene.render.resolution_x, scene.render.resolution_y = 850, 1100
    scene.render.filepath = picture
    bpy.ops.render.render(write_still=True)
