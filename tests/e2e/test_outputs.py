"""Outputs that never destroy: a full disk, a signal or an odd name leaves
the file that was there byte for byte as it was and nothing beside it, in
both forms of the command line and for every output format; a file is on
the disk before its name is; the messages say only what happened."""

import os
import pathlib
import signal
import subprocess
import sys
import time

import pytest

from conftest import BINARY, ON_WINDOWS, SOURCE_DIR, install, to_bytes

FAULT_SHIM = os.environ.get("PLOTDXF_FAULT_SHIM")
VIEWER = BINARY.parent / "plotdxf-view"
pytestmark = pytest.mark.skipif(ON_WINDOWS, reason="POSIX signals, devices and LD_PRELOAD")
needs_shim = pytest.mark.skipif(not FAULT_SHIM, reason="the fault shim (not in a sanitizer build)")
needs_viewer = pytest.mark.skipif(not VIEWER.exists(), reason="the viewer is not built")

SQUARE = "S\t600\t600\t\nRFC\t600\t600\t0 0 0\t\nC\t0.1\t\n"
# A file of each output's own kind, which that output may replace.
OLD = {
    ".dxf": b"999\nthe drawing that was there before\n  0\nSECTION\n  0\nEOF\n",
    ".png": b"\x89PNG\r\n\x1a\nthe picture that was there before",
    ".svg": b"<svg><!-- the picture that was there before --></svg>\n",
    ".pdf": b"%PDF-1.4 the page that was there before\n",
    ".pat": b"*OLD, the pattern library that was there before\n",
}


class Setup:
    """Both programs in tmp_path/program with tempdxf.txt (the classic form's
    command file), started from tmp_path/work, which holds log.txt."""

    def __init__(self, tmp_path, commands=SQUARE):
        self.folder = tmp_path / "program"
        install(self.folder, commands)
        install(self.folder, binary=VIEWER, name="plotdxf-view") if VIEWER.exists() else None
        self.work = tmp_path / "work"
        self.work.mkdir()
        (self.work / "log.txt").write_bytes(to_bytes(commands))
        runtime = tmp_path / "runtime"
        runtime.mkdir(mode=0o700)
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=str(runtime),
                        PLOTDXF_UNATTENDED="1")

    def command(self, program, args):
        return [str(self.folder / program), *args]

    def run(self, program, args, **env):
        done = subprocess.run(self.command(program, args), cwd=self.work,
                              env=dict(self.env, **env), capture_output=True, timeout=120,
                              stdin=subprocess.DEVNULL)
        return done.returncode, done.stdout, done.stderr.decode("latin-1")

    def files(self):
        return {p.relative_to(self.folder.parent): p.read_bytes()
                for folder in (self.folder, self.work) for p in folder.rglob("*") if p.is_file()}


@pytest.fixture
def setup(tmp_path):
    return Setup(tmp_path)


# Every output, in the forms it has: (program, arguments, the file written
# relative to the program's folder (classic) or the work folder).
OUTPUTS = [
    pytest.param("plotdxf", ["drawing.dxf"], "program/drawing.dxf", id="dxf-classic"),
    pytest.param("plotdxf", ["-i", "log.txt", "-o", "drawing.dxf"], "work/drawing.dxf",
                 id="dxf"),
    pytest.param("plotdxf", ["--write-pat", "kq.pat"], "work/kq.pat", id="pat"),
] + [
    pytest.param("plotdxf-view", [*source, f"--{kind}", f"page.{kind}"], f"work/page.{kind}",
                 id=f"{kind}{'' if source else '-classic'}", marks=needs_viewer)
    for kind in ("png", "svg", "pdf") for source in ([], ["-i", "log.txt"])
]


def put_old_file(setup, target):
    path = setup.folder.parent / target
    path.write_bytes(OLD[path.suffix])
    return path


@needs_shim
@pytest.mark.parametrize("program, args, target", OUTPUTS)
def test_a_full_disk_fails_the_run_and_keeps_the_old_file(setup, program, args, target):
    path = put_old_file(setup, target)
    before = setup.files()
    status, _, errors = setup.run(program, args, LD_PRELOAD=FAULT_SHIM,
                                  PLOTDXF_WRITE_FILE=path.name, PLOTDXF_WRITE_FAIL_AFTER="100")
    assert status == 2, errors
    assert path.name in errors and "No space left on device" in errors, errors
    # Ours alone: no toolkit's warning comes instead or besides.
    assert all(line.startswith(f"{program}: ") for line in errors.splitlines()), errors
    assert setup.files() == before


@needs_shim
@pytest.mark.parametrize("program, args, target", OUTPUTS)
@pytest.mark.parametrize("signal_number", [signal.SIGTERM, signal.SIGINT, signal.SIGHUP])
@pytest.mark.parametrize("when", ["WRITE", "CREATE"])
def test_a_signal_while_writing_leaves_the_old_file_alone(setup, program, args, target,
                                                          signal_number, when):
    """At the first write, or as the temporary file is made (before its
    removal could be armed): no NAME.XXXXXX stays."""
    path = put_old_file(setup, target)
    before = setup.files()
    status, _, errors = setup.run(program, args, LD_PRELOAD=FAULT_SHIM,
                                  PLOTDXF_WRITE_FILE=path.name,
                                  **{f"PLOTDXF_{when}_SIGNAL": str(int(signal_number))})
    assert status == 128 + signal_number, errors
    assert setup.files() == before


def test_sigterm_during_a_big_drawing_leaves_no_temporary_file(tmp_path):
    setup = Setup(tmp_path, "")
    subprocess.run([sys.executable, str(SOURCE_DIR / "bench" / "generate_log.py"), "150000",
                    str(setup.work / "big.txt")], check=True)
    (setup.work / "big.dxf").write_bytes(OLD[".dxf"])
    program = subprocess.Popen(setup.command("plotdxf", ["-i", "big.txt", "-o", "big.dxf"]),
                               cwd=setup.work, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    deadline = time.monotonic() + 60
    while not any(p.name.startswith("big.dxf.") for p in setup.work.iterdir()):
        assert program.poll() is None and time.monotonic() < deadline, "no temporary file seen"
        time.sleep(0.002)
    program.send_signal(signal.SIGTERM)
    assert program.wait(timeout=60) == 128 + signal.SIGTERM
    assert sorted(p.name for p in setup.work.iterdir()) == ["big.dxf", "big.txt", "log.txt"]
    assert (setup.work / "big.dxf").read_bytes() == OLD[".dxf"]


@needs_shim
@pytest.mark.parametrize("program, args, target", [
    pytest.param("plotdxf", ["-i", "log.txt", "-o", "drawing.dxf"], "work/drawing.dxf", id="dxf"),
    pytest.param("plotdxf-view", ["-i", "log.txt", "--png", "page.png"], "work/page.png",
                 id="png", marks=needs_viewer),
])
def test_the_file_is_synced_before_its_rename_and_the_folder_after(setup, program, args, target):
    path = put_old_file(setup, target)
    log = setup.folder.parent / "sync.log"
    status, _, errors = setup.run(program, args, LD_PRELOAD=FAULT_SHIM, PLOTDXF_SYNC_LOG=str(log))
    assert status == 0, errors
    events = log.read_text().splitlines()
    renames = [n for n, event in enumerate(events) if event.endswith(f" {path}")]
    assert len(renames) == 1, events
    temporary = events[renames[0]].split(" ")[1]
    assert temporary.startswith(f"{path}."), events
    assert f"fsync {temporary}" in events[:renames[0]], events
    assert f"fsync {path.parent}" in events[renames[0]:], events
    assert path.read_bytes() != OLD[path.suffix]


# --- A file the program did not make is never replaced ------------------------

LOG = "{work}/log.txt"
NOT_A_DRAWING = ("not a DXF drawing: it looks like a command file, and was left as it is; "
                 "to convert it, run: plotdxf -i {file}")


@pytest.mark.parametrize("program, args, file, there, message", [
    # The newcomer's first command: a command file named where the drawing goes.
    ("plotdxf", ["log.txt"], "{folder}/log.txt", SQUARE,
     "plotdxf: the drawing was not written: {file} is " + NOT_A_DRAWING),
    ("plotdxf", ["-i", "log.txt", "-o", "notes.txt"], "{work}/notes.txt", SQUARE,
     "plotdxf: the drawing was not written: {file} is " + NOT_A_DRAWING),
    ("plotdxf", ["-i", "log.txt", "-o", "it's.txt"], "{work}/it's.txt", SQUARE,
     "plotdxf: the drawing was not written: {file} is not a DXF drawing: it looks like a "
     "command file, and was left as it is; to convert it, run: plotdxf -i '{work}/it'\\''s.txt'"),
    ("plotdxf", ["-i", "log.txt", "--output-dir", "out"], "{work}/out/log.dxf", "notes\n",
     "plotdxf: the drawing was not written: {file} is not a DXF drawing: it is a text file, "
     "and was left as it is"),
    ("plotdxf", ["-i", "log.txt", "-o", "page.png"], "{work}/page.png", OLD[".png"],
     "plotdxf: the drawing was not written: {file} is not a DXF drawing: it is a PNG picture, "
     "and was left as it is"),
    pytest.param("plotdxf-view", ["-i", "log.txt", "--png", "log2.txt"], "{work}/log2.txt",
                 SQUARE, "plotdxf-view: the picture was not written: {file} is not a PNG "
                 "picture: it looks like a command file, and was left as it is; to convert it, "
                 "run: plotdxf -i {file}", marks=needs_viewer),
    pytest.param("plotdxf-view", ["--svg", "page.png"], "{work}/page.png", OLD[".png"],
                 "plotdxf-view: the picture was not written: {file} is not an SVG picture: it "
                 "is a PNG picture, and was left as it is", marks=needs_viewer),
    pytest.param("plotdxf-view", ["-i", "log.txt", "--pdf", "d.dxf"], "{work}/d.dxf",
                 OLD[".dxf"], "plotdxf-view: the picture was not written: {file} is not a PDF "
                 "document: it is a DXF drawing, and was left as it is", marks=needs_viewer),
], ids=["classic-command-file", "command-file", "quoted-hint", "output-dir-text", "png",
        "picture-over-command-file", "svg-over-png", "pdf-over-dxf"])
def test_a_file_of_another_kind_is_left_as_it_is(setup, program, args, file, there, message):
    names = dict(work=setup.work, folder=setup.folder)
    path = pathlib.Path(file.format(**names))
    path.parent.mkdir(exist_ok=True)
    path.write_bytes(to_bytes(there) if isinstance(there, str) else there)
    before = setup.files()
    status, _, errors = setup.run(program, args)
    assert (status, errors) == (2, message.format(file=path, **names) + "\n")
    assert setup.files() == before


@pytest.mark.parametrize("program, args, name, content, what", [
    ("plotdxf", ["-i", "old.dxf", "-o", "new.dxf"], "old.dxf", OLD[".dxf"], "a DXF drawing"),
    ("plotdxf", ["-i", "old.dxf"], "old.dxf", OLD[".dxf"], "a DXF drawing"),
    ("plotdxf", ["drawing.dxf"], "tempdxf.txt", OLD[".dxf"], "a DXF drawing"),
    ("plotdxf", ["-i", "-", "-o", "new.dxf"], "-", b"S\t600\t\r\n\0\0\0", "a binary file"),
    ("plotdxf", ["-i", "page.png"], "page.png", OLD[".png"], "a PNG picture"),
    ("plotdxf", ["-i", "page.pdf"], "page.pdf", OLD[".pdf"], "a PDF document"),
    pytest.param("plotdxf-view", ["-i", "old.dxf", "--png", "p.png"], "old.dxf", OLD[".dxf"],
                 "a DXF drawing", marks=needs_viewer),
    pytest.param("plotdxf-view", ["--png", "p.png"], "tempdxf.txt", b"\x01\x02", "a binary file",
                 marks=needs_viewer),
])
def test_a_file_that_is_plainly_no_command_file_is_refused(setup, program, args, name, content,
                                                           what):
    folder = setup.folder if name == "tempdxf.txt" else setup.work
    if name != "-":
        (folder / name).write_bytes(content)
    before = setup.files()
    done = subprocess.run(setup.command(program, args), cwd=setup.work, env=setup.env,
                          input=content if name == "-" else b"", capture_output=True, timeout=120)
    shown = "standard input" if name == "-" else folder / name
    assert (done.returncode, done.stderr.decode()) == (
        2, f"{program}: {shown}: is {what}, not a command file" +
        (" (see --help)" if args == ["-i", "old.dxf"] else "") + "\n")
    assert setup.files() == before


def test_an_empty_command_file_is_read_as_ever(setup):
    """Not refused: the interpreter meets its end at the first line, and the
    drawing is the empty page."""
    (setup.work / "empty.txt").write_bytes(b"")
    status, _, errors = setup.run("plotdxf", ["-i", "empty.txt"])
    assert (status, errors) == (1, f"plotdxf: {setup.work}/empty.txt: Input past end of file: "
                                   f"empty.txt; the drawing {setup.work}/empty.dxf holds what "
                                   "the lines before it built\n")
    assert (setup.work / "empty.dxf").read_bytes().startswith(b"  0\nSECTION")


# --- Names at the edges ------------------------------------------------------


@pytest.mark.parametrize("length", [249, 255])
def test_the_longest_file_names_are_written_in_both_forms(setup, length):
    name = "d" * (length - 4) + ".dxf"
    for folder, args in [(setup.folder, [name]), (setup.work, ["-i", "log.txt", "-o", name])]:
        (folder / name).write_bytes(OLD[".dxf"])
        status, _, errors = setup.run("plotdxf", args)
        assert (status, errors) == (0, "")
        assert (folder / name).read_bytes().startswith(b"  0\r\nSECTION") or \
            (folder / name).read_bytes().startswith(b"  0\nSECTION")
        assert [p.name for p in folder.iterdir() if p.name.startswith("d")] == [name]


def test_a_character_device_is_written_directly(setup):
    for args in (["/dev/null"], ["-i", "log.txt", "-o", "/dev/null"]):
        assert setup.run("plotdxf", args)[::2] == (0, "")
    assert os.path.exists("/dev/null") and not os.path.isfile("/dev/null")


@needs_viewer
def test_a_picture_goes_to_standard_output_by_its_device_and_never_to_a_file_named_dash(setup):
    status, out, errors = setup.run("plotdxf-view", ["-i", "log.txt", "--png", "/dev/stdout"])
    assert (status, errors) == (0, "")
    assert out.startswith(b"\x89PNG\r\n")
    before = setup.files()
    status, _, errors = setup.run("plotdxf-view", ["-i", "log.txt", "--png", "-"])
    assert status == 2
    assert errors == ("plotdxf-view: a picture is written to a file: name it (/dev/stdout "
                      "writes it out) (see --help)\n")
    assert setup.files() == before


@pytest.mark.parametrize("program, args, option", [
    ("plotdxf", ["-i", "log.txt", "-o", ""], "--output"),
    ("plotdxf", ["-i", "log.txt", "--output-dir", ""], "--output-dir"),
    pytest.param("plotdxf-view", ["-i", "log.txt", "--svg", ""], "--svg", marks=needs_viewer),
])
def test_an_empty_output_name_is_refused(setup, program, args, option):
    before = setup.files()
    status, _, errors = setup.run(program, args)
    assert status == 2
    assert errors == f"{program}: {option} is given an empty name (see --help)\n"
    assert setup.files() == before


# --- Messages that say what happened -------------------------------------------


@pytest.mark.parametrize("args, stopped, unwritten", [
    (["no/such/folder/x.dxf"],
     "plotdxf: the interpretation stopped at line 2 of {folder}/tempdxf.txt (Overflow)\n",
     "plotdxf: the drawing could not be written: no/such/folder/x.dxf: No such file or "
     "directory ({folder}/no/such/folder/x.dxf)\n"),
    (["-i", "log.txt", "-o", "no/such/folder/x.dxf"],
     "plotdxf: {work}/log.txt: line 2: Overflow\n",
     "plotdxf: the drawing {work}/no/such/folder/x.dxf could not be written: No such file or "
     "directory\n"),
], ids=["classic", "explicit"])
def test_an_interpreter_error_with_an_unwritable_drawing_is_status_2_and_claims_nothing(
        tmp_path, args, stopped, unwritten):
    setup = Setup(tmp_path, "LR\t100\t\nLR\t1e39\t\n")
    status, _, errors = setup.run("plotdxf", args)
    assert status == 2, errors
    assert "holds what the lines before it built" not in errors
    names = dict(work=setup.work, folder=setup.folder)
    assert errors.endswith(stopped.format(**names) + unwritten.format(**names)), errors


@needs_viewer
def test_the_viewer_tells_an_unwritable_picture_and_its_reason(tmp_path):
    setup = Setup(tmp_path, "LR\t100\t\nLR\t1e39\t\n")
    for kind in ("png", "svg", "pdf"):
        status, _, errors = setup.run("plotdxf-view", ["-i", "log.txt", f"--{kind}",
                                                       f"missing/page.{kind}"])
        assert status == 2, errors
        assert errors.endswith(f"plotdxf-view: {setup.work}/log.txt: line 2: Overflow\n"
                          f"plotdxf-view: the picture could not be written: "
                          f"{setup.work}/missing/page.{kind}: No such file or directory\n")


def test_a_run_time_error_tells_its_detail_once(setup):
    status, _, errors = setup.run("plotdxf", ["-i", "log.txt", "--patterns", "none.pat"])
    assert status == 3
    assert errors == (f"plotdxf: Run-time error '53': File not found ({setup.work}/none.pat: "
                      "No such file or directory)\n")
