"""plotdxf-view reads the same options as plotdxf: -i FILE (or FILE alone),
--patterns, --encoding, -h and -V, beside its own picture options."""

import os
import re
import shutil
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
                      (["a.txt", "b.txt", "--pdf", "r.pdf", "--dpi", "200"], "--dpi"),
                      (["a.txt", "--png", "a.png", "--dpi", "1000"], "8500 x 11000"),
                      (["a.txt", "--png", "a.png", "--dpi", "9"], "from 10 to 1000"),
                      (["x/a.txt", "y/a.log", "--png", "out"], "both make"),
                      (["a.txt", "-", "--svg", "out"], "standard input"),
                      (["-", "-", "--pdf", "r.pdf"], "once only"),
                      (["--encoding", "utf-8"], "-i FILE"), (["-i", "a.txt", "--size", "9x9"],
                                                            "--size"),
                      (["a.txt", "--png", "a.png", "--pdf", "a.pdf"], "--png")]:
        status, _, errors = viewer(*args)
        assert status == 2, args
        assert re.fullmatch(rf"plotdxf-view: .*{re.escape(why)}.*\(see --help\)\n", errors), args
    assert list(viewer.work.iterdir()) == []


def log(title, *later):
    """A log that writes its title large at the top, then `later` lines."""
    return "S\t300\t2900\t\nAF\tArial\t\nAH\t60\t\nA\t" + title + "\t\n" + "".join(later)


def pdf_pages(pdf):
    """The text of each page of `pdf`, in order."""
    info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, check=True, text=True)
    count = int(re.search(r"^Pages:\s+(\d+)", info.stdout, re.M).group(1))
    text = subprocess.run(["pdftotext", "-layout", str(pdf), "-"], capture_output=True,
                          check=True, text=True).stdout
    pages = text.split("\f")[:count]
    assert len(pages) == count
    return [" ".join(page.split()) for page in pages]


@pytest.mark.skipif(not shutil.which("pdftotext"), reason="needs poppler-utils")
@pytest.mark.parametrize("logs, status, pages", [
    (["ALPHA", "BRAVO", "CHARLIE"], 0, ["ALPHA", "BRAVO", "CHARLIE"]),
    # Stopped at its error, a log keeps its page with what it built (not NEVER).
    (["ALPHA", "STOPPED", "CHARLIE"], 1, ["ALPHA", "STOPPED", "CHARLIE"]),
    # A log that cannot be read has no page; the others have theirs.
    (["ALPHA", "MISSING", "STOPPED"], 2, ["ALPHA", "STOPPED"]),
])
def test_a_report_has_a_page_for_each_log_in_order(viewer, logs, status, pages):
    for title in logs:
        if title == "STOPPED":
            # The line after the error never draws its text.
            content = log(title, "RF\t1e40\t5\t\nA\tNEVER\t\n")
        else:
            content = log(title)
        if title != "MISSING":
            (viewer.work / f"{title.lower()}.txt").write_bytes(to_bytes(content))
    done, _, errors = viewer(*[f"{title.lower()}.txt" for title in logs], "--pdf", "report.pdf")
    assert done == status, errors
    assert pdf_pages(viewer.work / "report.pdf") == pages
    if "STOPPED" in logs:
        assert f"{shown(viewer.work / 'stopped.txt')}: line 5: Overflow\n" in errors


def test_several_logs_into_a_folder_at_a_resolution(viewer):
    for name in ("a", "b"):
        (viewer.work / f"{name}.txt").write_bytes(to_bytes(BLACK_SQUARE))
    assert viewer("a.txt", "b.txt", "--png", "pages/big", "--dpi", "200")[:2] == (0, "")
    assert viewer("a.txt", "b.txt", "--svg", "pages/svg")[:2] == (0, "")
    assert viewer("a.txt", "--png", "one.png", "--dpi", "50")[:2] == (0, "")
    for name in ("a", "b"):
        picture = viewer.work / "pages" / "big" / f"{name}.png"
        assert read_png(picture)[:2] == (1700, 2200)
        assert black_at(picture, 300, 1900) and not black_at(picture, 500, 1900)
        assert (viewer.work / "pages" / "svg" / f"{name}.svg").read_bytes().startswith(b"<?xml")
    assert read_png(viewer.work / "one.png")[:2] == (425, 550)


def test_a_report_never_replaces_a_log_it_reads(viewer):
    for name in ("a", "b"):
        (viewer.work / f"{name}.txt").write_bytes(to_bytes(BLACK_SQUARE))
    status, _, errors = viewer("a.txt", "b.txt", "--pdf", "a.txt")
    assert status == 2
    # Refused before any drawing is made: the file is no PDF.
    assert "a.txt is not a PDF document: it looks like a command file" in errors
    assert (viewer.work / "a.txt").read_bytes() == to_bytes(BLACK_SQUARE)


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
