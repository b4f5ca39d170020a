"""plotdxf-view reads the same options as plotdxf: -i FILE (or FILE alone),
--patterns, --encoding, -h and -V, beside its own picture options."""

import os
import re
import subprocess

import pytest

from conftest import BINARY, ON_WINDOWS, install, to_bytes
from test_command_line import project_version, shown
from test_examples_current import read_png

VIEWER = BINARY.parent / "plotdxf-view"
pytestmark = pytest.mark.skipif(ON_WINDOWS or not VIEWER.exists(),
                                reason="the viewer is built for Linux only")

BLACK_SQUARE = "S\t600\t600\t\nRFC\t600\t600\t0 0 0\t\n"


@pytest.fixture
def viewer(tmp_path):
    """Runs plotdxf-view installed in tmp_path/program from tmp_path/work."""
    install(tmp_path / "program", binary=VIEWER, name="plotdxf-view")
    work = tmp_path / "work"
    work.mkdir()
    runtime = tmp_path / "runtime"
    runtime.mkdir(mode=0o700)
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=str(runtime),
                       PLOTDXF_UNATTENDED="1")

    def run(*args):
        done = subprocess.run([str(tmp_path / "program" / "plotdxf-view"), *args], cwd=work,
                              env=environment, capture_output=True, timeout=120,
                              stdin=subprocess.DEVNULL)
        return done.returncode, done.stdout.decode(), done.stderr.decode()

    run.work = work
    return run


def black_at(picture, x, y):
    width, _, rgba = read_png(picture)
    return rgba[4 * (y * width + x)] < 128


@pytest.mark.parametrize("source", [["-i", "log.txt"], ["log.txt"], ["--input", "log.txt"]])
def test_the_named_command_file_is_rendered(viewer, source):
    (viewer.work / "log.txt").write_bytes(to_bytes(BLACK_SQUARE))
    status, _, errors = viewer(*source, "--png", "page.png")
    assert (status, errors) == (0, "")
    assert read_png(viewer.work / "page.png")[:2] == (850, 1100)
    assert black_at(viewer.work / "page.png", 150, 950)
    assert not black_at(viewer.work / "page.png", 250, 950)


def test_encoding_line_ends_and_patterns_follow_the_options(viewer):
    (viewer.work / "log.txt").write_bytes(BLACK_SQUARE.encode() + b"A\tcaf\xc3\xa9\t\nlr\t5\t\n")
    (viewer.work / "mine.pat").write_bytes(b"*ONE\r\n1\r\n45,0,0,0,.1,0,0\r\n")
    status, _, errors = viewer("-i", "log.txt", "--encoding", "utf-8", "--patterns", "mine.pat",
                               "--pdf", "page.pdf", "--size", "425x550")
    assert status == 0
    assert errors == (f"plotdxf-view: {shown(viewer.work / 'log.txt')}: line 4: warning: "
                      "unknown command 'lr': the line is skipped [unknown-command]\n")
    assert (viewer.work / "page.pdf").read_bytes().startswith(b"%PDF")


def test_a_command_file_that_cannot_be_read_is_status_2(viewer):
    status, _, errors = viewer("missing.txt", "--png", "page.png")
    assert status == 2
    assert errors.startswith(f"plotdxf-view: {shown(viewer.work / 'missing.txt')}: cannot be read")
    assert not (viewer.work / "page.png").exists()


def test_help_version_and_refusals(viewer):
    status, usage, errors = viewer("--help")
    assert (status, errors) == (0, "")
    assert usage.startswith("usage: plotdxf-view [FILE | -i FILE]") and "Exit status" in usage
    assert viewer("-V")[:2] == (0, f"plotdxf-view {project_version()}\n")
    for args, why in [(["--bogus"], "--bogus"), (["a.txt", "b.txt"], "one command file"),
                      (["--encoding", "utf-8"], "-i FILE"), (["-i", "a.txt", "--size", "9x9"],
                                                            "--size"),
                      (["a.txt", "--png", "a.png", "--pdf", "a.pdf"], "--png")]:
        status, _, errors = viewer(*args)
        assert status == 2, args
        assert re.fullmatch(rf"plotdxf-view: .*{re.escape(why)}.*\(see --help\)\n", errors), args
    assert list(viewer.work.iterdir()) == []


def test_a_text_too_long_for_a_dxf_shows_what_the_dxf_holds(viewer):
    # Centred on the page: a text laid out whole would be centred elsewhere.
    start = "S\t2550\t3000\t\nAC\t\nA\t"
    # Within the bound on a line's length (64 KiB), far beyond a DXF text's.
    (viewer.work / "long.txt").write_bytes(to_bytes(start + "CLAY " * 13_000 + "\t\n"))
    (viewer.work / "kept.txt").write_bytes(to_bytes(start + ("CLAY " * 50)[:250] + "\t\n"))
    status, _, errors = viewer("long.txt", "--png", "long.png")
    assert status == 0
    assert "characters were dropped from its end" in errors
    assert viewer("kept.txt", "--png", "kept.png")[0] == 0
    long, kept = read_png(viewer.work / "long.png"), read_png(viewer.work / "kept.png")
    assert long == kept
    assert any(value < 128 for value in kept[2][::4])  # the text is there at all
