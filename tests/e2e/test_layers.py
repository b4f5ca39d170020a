"""The layers depend one way (docs/architecture.md): tools/check-layers passes
on our tree and names every include against the direction in a tree that has
them."""

import subprocess

import pytest

from conftest import ON_WINDOWS, SOURCE_DIR

pytestmark = pytest.mark.skipif(ON_WINDOWS, reason="the check reads the source tree")

CHECK = SOURCE_DIR / "tools" / "check-layers"


def run_check(tree):
    return subprocess.run(["/usr/bin/python3", str(CHECK), str(tree)],
                          capture_output=True, text=True, timeout=60)


def check_made_up_tree(tree, files):
    """Writes the files (path: text) into `tree`, runs the check on it and
    returns the includes it names, sorted; every tree here has some."""
    for name, text in files.items():
        (tree / name).parent.mkdir(parents=True, exist_ok=True)
        (tree / name).write_text(text)
    result = run_check(tree)
    assert result.returncode == 1, result.stdout
    return sorted(result.stdout.splitlines())


def test_our_tree_keeps_the_direction():
    result = run_check(SOURCE_DIR)
    assert result.returncode == 0, result.stdout


def test_every_include_against_the_direction_is_named(tmp_path):
    files = {
        "platform/files.cpp": '#include "cadlib/kq.h"\n#include "platform/files.h"\n',
        "cadlib/dxf/writer.cpp": '#include "cadlib/geometry/hatch.h"\n'
                                 '#include "cadlib/display/draw.h"\n',
        "cadlib/geometry/plan.cpp": '#include "cadlib/dxf/stream.h"\n',
        "cadlib/display/draw.cpp": '#include "cadlib/dxf/stream.h"\n',
        "hatch/patterns.cpp": '#include "builder/path.h"\n',
        "builder/text.cpp": '#include "interpreter/placement.h"\n#include "view/draw_area.h"\n',
        "driver/main.cpp": '#include "render/hairlines.h"\n#include <QImage>\n',
        "view/win32/window.cpp": '#include <windows.h>\n#include "render/png_file.h"\n',
        "cadlib/dxf/output_file_windows.cpp": "#include <windows.h>\n",
        "cadlib/dxf/output_file_posix.cpp": "#include <windows.h>\n",
    }
    assert check_made_up_tree(tmp_path, files) == sorted([
        "platform/files.cpp:1: the platform includes cadlib/kq.h",
        "cadlib/dxf/writer.cpp:2: the DXF writer includes cadlib/display/draw.h",
        "cadlib/geometry/plan.cpp:1: the geometry includes cadlib/dxf/stream.h",
        "cadlib/display/draw.cpp:1: the display includes cadlib/dxf/stream.h",
        "hatch/patterns.cpp:1: the hatch patterns includes builder/path.h",
        "builder/text.cpp:2: the builder includes view/draw_area.h",
        "driver/main.cpp:1: the driver includes render/hairlines.h",
        "driver/main.cpp:2: only view/qt/ includes Qt (QImage)",
        "cadlib/dxf/output_file_posix.cpp:1: only view/win32/ and *_windows.* include windows.h",
    ])


def test_the_platform_includes_nothing_above_it(tmp_path):
    files = {
        "platform/gdi_surface_windows.cpp": '#include "platform/device_context.h"\n'
                                            '#include "render/pixel_rows.h"\n',
        "platform/text_extent.cpp": '#include "cadlib/display/geometry.h"\n',
        "platform/message_box.cpp": '#include "view/draw_area.h"\n#include "driver/batch_run.h"\n',
    }
    assert check_made_up_tree(tmp_path, files) == sorted([
        "platform/gdi_surface_windows.cpp:2: the platform includes render/pixel_rows.h",
        "platform/text_extent.cpp:1: the platform includes cadlib/display/geometry.h",
        "platform/message_box.cpp:1: the platform includes view/draw_area.h",
        "platform/message_box.cpp:2: the platform includes driver/batch_run.h",
    ])


def test_the_dxf_writer_includes_nothing_of_the_display(tmp_path):
    files = {
        "cadlib/dxf/writer.cpp": '#include "cadlib/geometry/entity_plan.h"\n'
                                 '#include "cadlib/kq_display.h"\n'
                                 '#include "cadlib/display/view.h"\n',
        "cadlib/dxf/values.h": '#include "cadlib/database.h"\n#include "cadlib/display/draw.h"\n',
        "cadlib/display/draw.cpp": '#include "cadlib/kq_display.h"\n',  # its own functions
    }
    assert check_made_up_tree(tmp_path, files) == sorted([
        "cadlib/dxf/writer.cpp:2: the DXF writer includes cadlib/kq_display.h",
        "cadlib/dxf/writer.cpp:3: the DXF writer includes cadlib/display/view.h",
        "cadlib/dxf/values.h:2: the DXF writer includes cadlib/display/draw.h",
    ])


def test_the_viewer_alone_includes_the_rendering_room(tmp_path):
    users = ["view/draw_area.cpp", "view/qt/image_surface.h", "view/win32/window_bitmap.cpp"]
    others = {  # a file of each other layer, and the layer it belongs to
        "cadlib/library.cpp": "CAD library", "cadlib/geometry/hatch.cpp": "geometry",
        "cadlib/dxf/writer.cpp": "DXF writer", "cadlib/display/draw.cpp": "display",
        "interpreter/placement.cpp": "placement", "hatch/patterns.cpp": "hatch patterns",
        "builder/lines.cpp": "builder", "interpreter/command_file.cpp": "interpreter",
        "driver/batch_run.cpp": "driver"}
    files = {name: '#include "render/display_list.h"\n' for name in [*users, *others]}
    # The room itself stands on the platform alone.
    files["render/hairlines.h"] = ('#include "platform/device_context.h"\n'
                                   '#include "render/pixel_rows.h"\n'
                                   '#include "cadlib/geometry/hatch.h"\n'
                                   '#include "view/draw_area.h"\n')
    assert check_made_up_tree(tmp_path, files) == sorted(
        [f"{name}:1: the {layer} includes render/display_list.h" for name, layer in others.items()]
        + ["render/hairlines.h:3: the rendering room includes cadlib/geometry/hatch.h",
           "render/hairlines.h:4: the rendering room includes view/draw_area.h"])
