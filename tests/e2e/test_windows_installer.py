"""The Windows installer, run under Wine by tools/windows-check: a silent
installation into a fresh Wine prefix, the installed programs at work, and a
silent uninstallation that takes away every file it brought.

- PLOTDXF_WINDOWS_SETUP: plotdxf-setup.exe
"""

import os
import subprocess
from pathlib import Path

import pytest

from conftest import RUNNER, SOURCE_DIR, read_dxf

SETUP = os.environ.get("PLOTDXF_WINDOWS_SETUP")

pytestmark = pytest.mark.skipif(not (SETUP and RUNNER and Path(SETUP).is_file()),
                                reason="needs PLOTDXF_WINDOWS_SETUP (built with NSIS) and Wine")

PROGRAM_FOLDER = r"C:\Program Files\plotdxf"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\plotdxf"


class Prefix:
    """A Wine prefix of its own: what an installation on a fresh machine sees."""

    def __init__(self, folder):
        self.folder = folder
        self.env = dict(os.environ, WINEPREFIX=str(folder), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree=;mshtml=", PLOTDXF_UNATTENDED="1")
        self.env.pop("DISPLAY", None)  # nothing here shows a window
        self.run("wineboot", "--init", program=None)

    def run(self, *args, program=RUNNER, check=True):
        """Runs a Windows command and waits for every process it started."""
        done = subprocess.run([*(program or []), *args], env=self.env, capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=300)
        subprocess.run(["wineserver", "--wait"], env=self.env, timeout=300)
        if check:
            assert done.returncode == 0, done.stderr.decode("latin-1")
        return done

    def path(self, windows_name):
        """The Linux path of a name on drive C:."""
        assert windows_name.startswith("C:\\")
        return self.folder / "drive_c" / windows_name[3:].replace("\\", "/")

    def files(self):
        """Every file of the prefix's drive C: below the program folders and menus."""
        drive = self.folder / "drive_c"
        return {p for p in drive.rglob("*") if "plotdxf" in str(p.relative_to(drive)).lower()}

    def close(self):
        subprocess.run(["wineserver", "--kill"], env=self.env, timeout=60)


@pytest.fixture
def prefix(tmp_path):
    made = Prefix(tmp_path / "wine-prefix")
    yield made
    made.close()


def test_silent_install_convert_and_uninstall(prefix):
    prefix.run(SETUP, "/S")
    folder = prefix.path(PROGRAM_FOLDER)
    installed = prefix.files()
    names = {str(p.relative_to(folder)) for p in installed if p.is_file() and folder in p.parents}
    assert {"plotdxf.exe", "plotdxf-view.exe", "kqhatch.pat", "uninstall.exe",
            "docs/user-guide.md", "examples/boring_log.txt"} <= names
    examples = {p.name for p in (SOURCE_DIR / "examples").iterdir()
                if p.suffix in (".txt", ".dxf", ".png")}
    assert {n.split("/")[1] for n in names if n.startswith("examples/")} == examples
    assert (folder / "kqhatch.pat").read_bytes() == (SOURCE_DIR / "data" / "kqhatch.pat").read_bytes()
    menu = prefix.path(r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\plotdxf")
    assert (menu / "plotdxf Screen View.lnk").is_file()
    assert prefix.run("reg", "query", UNINSTALL_KEY).returncode == 0

    # The installed converter converts the example into the drawing it ships with.
    (folder / "tempdxf.txt").write_bytes((folder / "examples" / "boring_log.txt").read_bytes())
    prefix.run(PROGRAM_FOLDER + r"\plotdxf.exe", "log.dxf")
    read_dxf(folder / "log.dxf")
    assert (folder / "log.dxf").read_bytes() == (folder / "examples" / "boring_log.dxf").read_bytes()
    # The installed viewer renders it without a window.
    prefix.run(PROGRAM_FOLDER + r"\plotdxf-view.exe", "--png", r"C:\page.png")
    assert prefix.path(r"C:\page.png").read_bytes().startswith(b"\x89PNG")

    prefix.run(PROGRAM_FOLDER + r"\uninstall.exe", "/S")
    # Everything it installed is gone; what the logging program wrote stays,
    # and with it the folder.
    assert {p.name for p in prefix.files()} == {"plotdxf", "tempdxf.txt", "log.dxf"}
    assert sorted(p.name for p in folder.iterdir()) == ["log.dxf", "tempdxf.txt"]
    assert not menu.exists()
    assert prefix.run("reg", "query", UNINSTALL_KEY, check=False).returncode != 0


def test_a_chosen_folder_is_installed_and_left_empty(prefix):
    # /D names the folder, last on the command line and unquoted (Wine
    # quotes an argument with blanks, so this one has none).
    prefix.run(SETUP, "/S", r"/D=C:\LoggingTools\plotdxf")
    folder = prefix.path(r"C:\LoggingTools\plotdxf")
    assert (folder / "plotdxf.exe").is_file()
    assert not prefix.path(PROGRAM_FOLDER).exists()
    prefix.run(r"C:\LoggingTools\plotdxf\uninstall.exe", "/S")
    assert not folder.exists()
    assert prefix.path(r"C:\LoggingTools").is_dir()  # not ours to remove
