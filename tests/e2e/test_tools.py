"""The test tools leave the machine's packages alone: a step that misses a
package names it and fails, and installs nothing itself."""

import os
import subprocess

import pytest

from conftest import ON_WINDOWS, SOURCE_DIR

pytestmark = pytest.mark.skipif(ON_WINDOWS, reason="the tools run on the build machine")


def test_a_missing_package_is_named_and_nothing_is_installed(tmp_path):
    # apt-get, sudo and dpkg stand-ins that note every call.
    calls = tmp_path / "calls"
    bin_folder = tmp_path / "bin"
    bin_folder.mkdir()
    for tool in ("apt-get", "apt", "sudo", "dpkg"):
        stand_in = bin_folder / tool
        stand_in.write_text(f'#!/bin/sh\necho "{tool} $*" >> "{calls}"\nexit 1\n')
        stand_in.chmod(0o755)
    env = dict(os.environ, PATH=f"{bin_folder}:{os.environ['PATH']}")
    for ci in ("", "true"):
        env["CI"] = ci
        result = subprocess.run(
            [str(SOURCE_DIR / "tools" / "require-packages"), "a-step", "coreutils",
             "plotdxf-no-such-package"],
            env=env, capture_output=True, text=True, timeout=60)
        assert result.returncode == 1
        assert "a-step: not installed: plotdxf-no-such-package" in result.stderr
        assert "tools/install-deps" in result.stderr
    assert not calls.exists(), calls.read_text()


def test_installed_packages_pass():
    result = subprocess.run([str(SOURCE_DIR / "tools" / "require-packages"), "a-step", "coreutils"],
                            capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr


def test_the_text_face_tables_are_those_of_the_installed_fonts(tmp_path):
    # The converter measures texts by tables made from the fonts the viewer
    # shows them in; a font package update that moves a width shows here.
    pytest.importorskip("fontTools")
    made = tmp_path / "text_face_tables.cpp"
    result = subprocess.run([str(SOURCE_DIR / "tools" / "make-text-faces"), str(made)],
                            capture_output=True, text=True, timeout=120)
    assert result.returncode == 0, result.stderr
    committed = (SOURCE_DIR / "cadlib" / "geometry" / "text_face_tables.cpp").read_text()
    assert made.read_text() == committed, "run tools/make-text-faces and commit the table"
