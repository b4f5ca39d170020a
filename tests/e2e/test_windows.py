"""What only the Windows build shows, run under Wine by tools/windows-check:
the command line kept as the caller wrote it, the program folder made current
on its own drive, the read-only attribute, 8-bit names in the ANSI code page,
and the same drawings, statuses and messages as the Linux build."""

import os
import subprocess
import uuid
from pathlib import Path

import pytest

from conftest import (BINARY, EXE_NAME, LAUNCHER, ON_WINDOWS, RUNNER, SOURCE_DIR, install,
                      start, windows_path)

pytestmark = pytest.mark.skipif(not (ON_WINDOWS and LAUNCHER),
                                reason="needs the Windows build and PLOTDXF_LAUNCHER")

LINUX_BIN = os.environ.get("PLOTDXF_LINUX_BIN")
EXAMPLES = sorted((SOURCE_DIR / "examples").glob("*.txt"))


def files_in(folder):
    return {p.name for p in folder.iterdir()}


PROGRAM_FILES = {EXE_NAME, "kqhatch.pat", "tempdxf.txt"}


@pytest.mark.parametrize("name", ['"quoted.dxf"', '"my log.dxf"', '"log".dxf'])
def test_a_quoted_name_keeps_its_quotation_marks_and_cannot_be_written(convert, name):
    # Quotation marks are not allowed in a Windows file name, so the name
    # taken verbatim fails, and says so with its quotation marks.
    run = convert("LR\t600\t\n", command_text=name)
    assert run.returncode == 2
    assert f"could not be written: {name}: " in run.stderr
    assert files_in(run.folder) == PROGRAM_FILES


def test_blanks_inside_the_name_are_kept(convert):
    run = convert("LR\t600\t\n", command_text="log   one.dxf")
    assert run.returncode == 0, run.stderr
    assert len(run.read("log   one.dxf").modelspace()) == 1
    assert files_in(run.folder) == PROGRAM_FILES | {"log   one.dxf"}


def test_trailing_blanks_and_dots_are_dropped_by_windows(convert):
    # The text after the name reaches the system as it stands; Windows itself
    # ends a file name before trailing blanks and dots.
    run = convert("LR\t600\t\n", command_text="trail.dxf . ")
    assert run.returncode == 0, run.stderr
    run.read("trail.dxf")
    assert files_in(run.folder) == PROGRAM_FILES | {"trail.dxf"}


def test_names_are_8_bit_ansi(tmp_path):
    # "ö", "ß", "é" and "€" are single bytes of Windows-1252 (the euro sign is
    # not Latin-1); Wine shows the names in UTF-8.
    folder = tmp_path / "Bohrprotokoll Größe"
    install(folder, "LR\t600\t\n")
    caller = tmp_path / "caller"
    caller.mkdir()
    run = start(folder, cwd=caller, command_text="Bohrung é 5 €.dxf")
    assert run.returncode == 0, run.stderr
    assert (folder / "Bohrung é 5 €.dxf").stat().st_size > 0


def test_a_device_name_is_refused(convert):
    run = convert("LR\t600\t\n", command_text="NUL")
    assert run.returncode == 2
    assert "NUL: not a regular file" in run.stderr
    assert files_in(run.folder) == PROGRAM_FILES


@pytest.fixture
def second_drive(tmp_path):
    """A drive letter of the Wine prefix mapped onto a fresh folder, as
    (letter, folder); the mapping is removed afterwards."""
    prefix = Path(os.environ.get("WINEPREFIX", Path.home() / ".wine"))
    devices = prefix / "dosdevices"
    if not devices.is_dir():
        pytest.skip(f"no Wine prefix at {prefix}")
    letter = next((c for c in "PQRSTUVWXY" if not os.path.lexists(devices / f"{c.lower()}:")), None)
    if letter is None:
        pytest.skip("no free drive letter")
    root = tmp_path / "drive"
    root.mkdir()
    link = devices / f"{letter.lower()}:"
    link.symlink_to(root)
    yield letter, root
    link.unlink()


def test_the_program_folder_and_its_drive_become_current(second_drive, tmp_path):
    letter, root = second_drive
    install(root / "prog", "LR\t600\t\n")
    caller = tmp_path / "caller"  # on drive Z:
    caller.mkdir()
    program = f"{letter}:\\prog\\{EXE_NAME}"

    relative = start(root / "prog", cwd=caller, program=program, command_text="out.dxf")
    assert relative.returncode == 0, relative.stderr
    assert (root / "prog" / "out.dxf").exists()

    # A name from the root of the current drive lands on the program's drive,
    # not on Z: where the caller was (Z:\ is the Linux root).
    rooted = f"plotdxf-{uuid.uuid4().hex}.dxf"
    try:
        run = start(root / "prog", cwd=caller, program=program, command_text=f"\\{rooted}")
        assert run.returncode == 0, run.stderr
        assert (root / rooted).exists()
    finally:
        stray = Path("/") / rooted
        if stray.exists():
            stray.unlink()
            pytest.fail("written on the caller's drive")
    assert not any(caller.iterdir())


def test_a_read_only_attribute_keeps_the_file(convert, tmp_path):
    run = convert("LR\t600\t\n", command_text="locked.dxf")
    target = run.dxf_path("locked.dxf")
    original = target.read_bytes()
    subprocess.run([*RUNNER, "attrib", "+r", windows_path(target)], check=True,
                   capture_output=True, stdin=subprocess.DEVNULL)
    (run.folder / "tempdxf.txt").write_bytes(b"LU\t600\t\r\n")
    rerun = start(run.folder, cwd=tmp_path, command_text="locked.dxf", text=True)
    assert rerun.returncode == 2
    assert "locked.dxf: the file is read-only" in rerun.stderr
    assert target.read_bytes() == original
    assert files_in(run.folder) == PROGRAM_FILES | {"locked.dxf"}


# Same as Linux: each run below is made with both builds from the same tree.

needs_linux = pytest.mark.skipif(not LINUX_BIN, reason="PLOTDXF_LINUX_BIN is not set")


def run_both(tmp_path, commands, args=(), hatch=None, prepare=None):
    """Runs the Linux and the Windows build on the same files; returns
    (status, stderr, program folder) of each, Linux first."""
    results = []
    for system, binary, name in (("linux", Path(LINUX_BIN), "plotdxf"),
                                 ("windows", BINARY, EXE_NAME)):
        folder = tmp_path / system
        install(folder, commands, hatch, binary, name)
        if prepare:
            prepare(folder)
        caller = tmp_path / f"{system}-caller"
        caller.mkdir()
        if system == "linux":
            done = subprocess.run([str(folder / name), *args], cwd=caller, capture_output=True,
                                  stdin=subprocess.DEVNULL, timeout=120)
        else:
            done = start(folder, args, cwd=caller)
        # Windows writes stderr as text, with CR LF line ends. Files are named
        # by their absolute paths, which are each system's own.
        stderr = done.stderr.decode("latin-1").replace("\r\n", "\n")
        shown_folder = str(folder) if system == "linux" else windows_path(folder)
        stderr = stderr.replace(shown_folder, "<program folder>").replace("\\", "/")
        results.append((done.returncode, stderr, folder))
    return results


@needs_linux
@pytest.mark.parametrize("example", EXAMPLES, ids=[e.stem for e in EXAMPLES])
def test_each_example_gives_the_linux_drawing(tmp_path, example):
    (linux_status, linux_err, linux_dir), (status, err, folder) = run_both(
        tmp_path, example.read_bytes(), ["out.dxf"])
    assert (status, err) == (linux_status, linux_err)
    # Byte for byte: hatch directions at multiples of 90 degrees are exact,
    # so neither C runtime's sine and cosine leave a residue in the file.
    assert (folder / "out.dxf").read_bytes() == (linux_dir / "out.dxf").read_bytes()


def make_folder(name):
    def prepare(folder):
        (folder / name).mkdir()
        (folder / name / "inside.txt").write_text("kept")
    return prepare


def make_read_only(name):
    def prepare(folder):
        (folder / name).write_bytes(b"old")
        (folder / name).chmod(0o444)
    return prepare


@needs_linux
@pytest.mark.parametrize("commands, args, hatch, prepare", [
    ("S\t600\t600\t\nSTOP\t\n", [], None, None),
    (None, [], None, None),
    ("", [], None, None),
    ("S\t600\t600\t\nSH\t0\t\nSR\t5\t\nS\t1200\t1200\t\n", ["log", "one.dxf"], None, None),
    ("STOP\t\n", [], False, None),
    ("STOP\t\n", [], "*A\r\n1\r\n0,0,0,0,.1\r\n", None),
    ("STOP\t\n", ["no such folder/out.dxf"], None, None),
    ("STOP\t\n", ["sub"], None, make_folder("sub")),
    ("STOP\t\n", ["locked.dxf"], None, make_read_only("locked.dxf")),
], ids=["converted", "no-command-file", "empty-command-file", "interpreter-error",
        "no-hatch-file", "bad-hatch-file", "no-such-folder", "folder", "read-only"])
def test_statuses_and_messages_are_the_linux_ones(tmp_path, commands, args, hatch, prepare):
    (linux_status, linux_err, linux_dir), (status, err, folder) = run_both(
        tmp_path, commands, args, hatch, prepare)
    assert status == linux_status
    assert err == linux_err
    written = files_in(linux_dir) - {"plotdxf"}
    assert files_in(folder) - {EXE_NAME} == written
    for name in written - {"kqhatch.pat", "tempdxf.txt", "sub"}:
        assert (folder / name).read_bytes() == (linux_dir / name).read_bytes(), name
