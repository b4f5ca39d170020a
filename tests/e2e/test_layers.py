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
    for name, text in files.items():
        (tmp_path / name).parent.mkdir(parents=True, exist_ok=True)
        (tmp_path / name).write_text(text)
    result = run_check(tmp_path)
    assert result.returncode == 1
    assert sorted(result.stdout.splitlines()) == sorted([
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
