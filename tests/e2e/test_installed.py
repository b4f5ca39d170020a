"""The programs installed under a prefix that root owns, used by an ordinary
user: the explicit form reads and writes in the user's own folder, and needs
nothing written into the program folder."""

import os
import shutil
import subprocess
import tempfile
from pathlib import Path

import pytest

from conftest import BINARY, ON_WINDOWS, SOURCE_DIR
from test_examples_current import read_png
from test_command_line import read

BUILD = BINARY.parent
USER, GROUP = "nobody", "nogroup"
AS_USER = ["setpriv", f"--reuid={USER}", f"--regid={GROUP}", "--clear-groups"]

pytestmark = [
    pytest.mark.skipif(ON_WINDOWS, reason="a POSIX installation"),
    pytest.mark.skipif(not hasattr(os, "geteuid") or os.geteuid() != 0,
                       reason="needs root to install under a root-owned prefix and to drop to "
                       f"{USER}"),
    pytest.mark.skipif(shutil.which("setpriv") is None, reason="needs setpriv (util-linux)"),
    pytest.mark.skipif(not (BUILD / "cmake_install.cmake").exists(),
                       reason="needs the CMake build folder of the programs"),
]


@pytest.fixture
def installed():
    """(prefix, user's folder): the build installed under a root-owned prefix
    that everybody may read, and an empty folder that belongs to the user.
    Outside pytest's own folder, which only root may enter."""
    prefix = Path(tempfile.mkdtemp(prefix="plotdxf-prefix-"))
    home = Path(tempfile.mkdtemp(prefix="plotdxf-user-"))
    try:
        prefix.chmod(0o755)
        subprocess.run(["cmake", "--install", str(BUILD), "--prefix", str(prefix)], check=True,
                       capture_output=True)
        shutil.chown(home, USER, GROUP)
        yield prefix, home
    finally:
        shutil.rmtree(prefix)
        shutil.rmtree(home)


def as_user(home, *command, **environment):
    env = {"PATH": "/usr/bin:/bin", "HOME": str(home), "LANG": "C.UTF-8", **environment}
    return subprocess.run([*AS_USER, *command], cwd=home, env=env, capture_output=True,
                          timeout=120)


def tree(folder):
    return sorted((str(p.relative_to(folder)), p.stat().st_mtime_ns)
                  for p in folder.rglob("*") if not p.is_symlink())


def test_an_ordinary_user_converts_and_renders_in_a_folder_of_their_own(installed):
    prefix, home = installed
    assert (prefix / "lib/plotdxf").stat().st_uid == 0
    before = tree(prefix)
    log = home / "boring log.txt"
    shutil.copy(SOURCE_DIR / "examples" / "boring_log.txt", log)
    shutil.chown(log, USER, GROUP)

    converted = as_user(home, str(prefix / "bin/plotdxf"), "-i", log.name)
    assert (converted.returncode, converted.stderr) == (0, b"")
    drawing = home / "boring log.dxf"
    assert drawing.stat().st_uid != 0
    assert drawing.read_bytes() == (SOURCE_DIR / "examples" / "boring_log.dxf").read_bytes()
    read(drawing)

    runtime = home / "runtime"
    runtime.mkdir(mode=0o700)
    shutil.chown(runtime, USER, GROUP)
    rendered = as_user(home, str(prefix / "bin/plotdxf-view"), "-i", log.name, "--png",
                       "page.png", QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=str(runtime))
    assert rendered.returncode == 0, rendered.stderr
    assert read_png(home / "page.png")[:2] == (850, 1100)

    # The classic handshake cannot serve this user: the program folder is root's.
    classic = as_user(home, str(prefix / "bin/plotdxf"), "mine.dxf")
    assert classic.returncode != 0
    assert tree(prefix) == before  # nothing was written into the installation


def test_the_installation_carries_the_manual_pages(installed):
    prefix, _ = installed
    for page in ("plotdxf.1", "plotdxf-view.1"):
        assert (prefix / "share/man/man1" / page).read_bytes() == \
            (SOURCE_DIR / "data" / page).read_bytes()
    assert (prefix / "share/doc/plotdxf/copyright").exists()
    entry = (prefix / "share/applications/plotdxf-view.desktop").read_text()
    assert "Exec=plotdxf-view %f\n" in entry
