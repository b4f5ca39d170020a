"""Faults a converter meets in the field, run as ordinary inputs: output names
that are the program's own files, a closed standard error, read errors,
links, exhausted memory and texts too long for the DXF. Each has its message
and exit status, and nothing is lost."""

import hashlib
import os
import subprocess

import pytest

from conftest import EXE_NAME, ON_WINDOWS, Conversion, install, start, to_bytes

ERROR_TEXT = "Error {} in DXF startdrawing.  Please contact Tarsel"
FAULT_SHIM = os.environ.get("PLOTDXF_FAULT_SHIM")
SANITIZED = os.environ.get("PLOTDXF_SANITIZED") == "1"
posix_only = pytest.mark.skipif(ON_WINDOWS, reason="POSIX links, signals and LD_PRELOAD")
needs_shim = pytest.mark.skipif(ON_WINDOWS or not FAULT_SHIM,
                                reason="the fault shim (not in a sanitizer build)")

# A command file reads in blocks of this size: a bigger file takes several reads.
READ_BLOCK = 1 << 20


def digest(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def run_in(folder, args=(), env=None, **kwargs):
    """Starts the program of `folder` from a caller folder beside it."""
    caller = folder.parent / (folder.name + "-caller")
    caller.mkdir(exist_ok=True)
    if env is not None:
        kwargs["env"] = dict(os.environ, **env)
    result = start(folder, args, cwd=caller, **kwargs)
    def text(output):
        return output.decode("latin-1") if output is not None else ""

    return Conversion(folder, result.returncode, text(result.stdout), text(result.stderr))


# A drawing the program may replace.
OLD_DRAWING = b"  0\nSECTION\n  0\nENDSEC\n  0\nEOF\n"


def drawn_lines(doc):
    return len(doc.modelspace().query("LINE"))


# --- The program never writes over its own files -------------------------------


OWN_FILES = [
    (EXE_NAME, "the running program"),
    ("kqhatch.pat", "the hatch pattern file in use"),
    # Told before the work, by what it is.
    ("tempdxf.txt", "is not a DXF drawing: it looks like a command file"),
    ("spare.pat", "a hatch pattern file of the installation"),
]


@pytest.mark.parametrize("name, what", OWN_FILES)
def test_an_output_name_that_is_an_own_file_is_refused_and_nothing_changes(tmp_path, name, what):
    folder = tmp_path / "program"
    install(folder, "S\t100\t100\t\nLR\t300\t\n")
    (folder / "spare.pat").write_bytes(b"*SPARE\r\n0\r\n")
    before = {path.name: digest(path) for path in folder.iterdir()}
    run = run_in(folder, [name])
    assert run.returncode == 2, run.stderr
    assert name in run.stderr and what in run.stderr, run.stderr
    assert {path.name: digest(path) for path in folder.iterdir()} == before


@posix_only
def test_own_files_are_found_through_links_and_other_spellings(tmp_path):
    folder = tmp_path / "program"
    install(folder, "S\t100\t100\t\nLR\t300\t\n")
    (folder / "sub").mkdir()
    (folder / "sub" / "up").symlink_to(folder)
    (folder / "alias.dxf").symlink_to(folder / EXE_NAME)
    (folder / "copy.txt").hardlink_to(folder / "tempdxf.txt")
    before = {path.name: digest(path) for path in folder.iterdir() if path.is_file()}
    for name in ["sub/up/kqhatch.pat", "alias.dxf", "copy.txt", "./tempdxf.txt",
                 str(folder / EXE_NAME)]:
        run = run_in(folder, [name])
        assert run.returncode == 2, (name, run.stderr)
        assert "never writes over" in run.stderr or "looks like a command file" in run.stderr, \
            run.stderr
    after = {path.name: digest(path) for path in folder.iterdir() if path.is_file()}
    assert after == before
    assert (folder / "alias.dxf").is_symlink()
    # Any other name is written as before.
    run = run_in(folder, ["drawing.dxf"])
    assert run.returncode == 0, run.stderr
    assert drawn_lines(run.read("drawing.dxf")) == 1


# --- A closed standard error does not cost the drawing ------------------------


@posix_only
def test_messages_to_a_closed_stderr_neither_end_the_run_nor_change_its_status(tmp_path):
    folder = tmp_path / "program"
    # A ninth field: the error box is written to stderr, then the drawing.
    install(folder, "LR\t100\t\nSR\t1\t2\t3\t4\t5\t6\t7\t8\t\n")
    for attempt in range(12):
        reader, writer = os.pipe()
        os.close(reader)  # every write to stderr meets a pipe nobody reads
        try:
            run = run_in(folder, [f"out{attempt}.dxf"], stderr=writer, capture_output=False,
                         stdout=subprocess.DEVNULL)
        finally:
            os.close(writer)
        assert run.returncode == 1, f"attempt {attempt}: status {run.returncode}"
        assert drawn_lines(run.read(f"out{attempt}.dxf")) == 1


@posix_only
def test_a_stderr_reader_that_stops_after_the_first_line_costs_nothing(tmp_path):
    folder = tmp_path / "program"
    install(folder, "LR\t100\t\nSR\t1\t2\t3\t4\t5\t6\t7\t8\t\n")
    for attempt in range(6):
        # plotdxf 2>&1 >/dev/null | head -c 1
        program = subprocess.Popen([str(folder / EXE_NAME), f"out{attempt}.dxf"],
                                   cwd=tmp_path, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        program.stderr.read(1)
        program.stderr.close()
        assert program.wait(timeout=60) == 1
        assert drawn_lines(Conversion(folder, 1, "", "").read(f"out{attempt}.dxf")) == 1


# --- A read error is an error, not the end of the file ------------------------


@needs_shim
def test_a_read_error_in_the_command_file_is_reported_and_the_drawing_kept(tmp_path):
    # 100 lines in the first read block, 100 more in the second, which fails.
    first = b"S\t0\t0\t\r\n" + b"LR\t1\t\r\n" * 100
    filler = b"NOTE\t" + b"." * 90 + b"\t\r\n"
    first += filler * ((READ_BLOCK - len(first)) // len(filler) + 1)
    folder = tmp_path / "program"
    install(folder, first + b"LR\t1\t\r\n" * 100)
    run = run_in(folder, env={"LD_PRELOAD": FAULT_SHIM, "PLOTDXF_FAIL_READ_FILE": "tempdxf.txt",
                              "PLOTDXF_FAIL_READ_AFTER": "1"})
    assert run.returncode == 1, run.stderr
    assert ERROR_TEXT.format(57) in run.stderr
    reached = first[:READ_BLOCK].count(b"\r\n") + 1  # the line the first block ends in
    assert f"Device I/O error: tempdxf.txt line {reached}" in run.stderr, run.stderr
    assert drawn_lines(run.read()) == 100


@needs_shim
def test_a_read_error_in_the_pattern_file_ends_the_run_uncaught(tmp_path):
    folder = tmp_path / "program"
    install(folder, "STOP\t\n")
    run = run_in(folder, env={"LD_PRELOAD": FAULT_SHIM, "PLOTDXF_FAIL_READ_FILE": "kqhatch.pat",
                              "PLOTDXF_FAIL_READ_AFTER": "0"})
    assert run.returncode == 3, run.stderr
    assert "Run-time error '57': Device I/O error (kqhatch.pat line 1" in run.stderr
    assert not run.dxf_path().exists()


def test_a_folder_named_like_the_command_file_is_a_file_access_error(tmp_path):
    folder = tmp_path / "program"
    install(folder)
    (folder / "tempdxf.txt").mkdir()
    run = run_in(folder)
    assert run.returncode == 1, run.stderr
    assert ERROR_TEXT.format(75) in run.stderr
    assert "a folder" in run.stderr and "Input past end" not in run.stderr
    run.read()


def test_a_folder_named_like_the_pattern_file_is_a_file_access_error(tmp_path):
    folder = tmp_path / "program"
    install(folder, "STOP\t\n", hatch=False)
    (folder / "kqhatch.pat").mkdir()
    run = run_in(folder)
    assert run.returncode == 3, run.stderr
    assert "Run-time error '75': Path/File access error (kqhatch.pat: a folder" in run.stderr
    assert not run.dxf_path().exists()


# --- An output name that is a symbolic link ------------------------------------


@posix_only
@pytest.mark.parametrize("relative", [False, True])
def test_an_output_link_writes_its_target_and_stays_a_link(tmp_path, relative):
    folder = tmp_path / "program"
    install(folder, "LR\t100\t\n")
    drawings = tmp_path / "drawings"
    drawings.mkdir()
    target = drawings / "log.dxf"
    target.write_bytes(OLD_DRAWING)
    link = folder / "log.dxf"
    link.symlink_to(os.path.relpath(target, folder) if relative else target)
    run = run_in(folder, ["log.dxf"])
    assert run.returncode == 0, run.stderr
    assert link.is_symlink()
    assert drawn_lines(run.read("log.dxf")) == 1
    assert target.read_bytes().startswith(b"  0\nSECTION")
    assert [path.name for path in drawings.iterdir()] == ["log.dxf"]  # no temporary left


@posix_only
def test_a_link_to_a_file_not_there_yet_creates_that_file(tmp_path):
    folder = tmp_path / "program"
    install(folder, "LR\t100\t\n")
    target = tmp_path / "drawings" / "new.dxf"
    target.parent.mkdir()
    (folder / "new.dxf").symlink_to(target)
    run = run_in(folder, ["new.dxf"])
    assert run.returncode == 0, run.stderr
    assert (folder / "new.dxf").is_symlink() and target.is_file()


# --- Out of memory anywhere -------------------------------------------------------


@needs_shim
@pytest.mark.parametrize("where", ["kqhatch.pat", "old.dxf."])
def test_memory_running_out_is_reported_and_loses_nothing(tmp_path, where):
    """While the patterns load, and while the drawing is written (once its
    temporary file exists): the run-time error report, status 3, the old
    drawing left as it was and no temporary file."""
    folder = tmp_path / "program"
    install(folder, "LR\t100\t\n")
    (folder / "old.dxf").write_bytes(OLD_DRAWING)
    run = run_in(folder, ["old.dxf"],
                 env={"LD_PRELOAD": FAULT_SHIM, "PLOTDXF_FAIL_ALLOC_AFTER": where})
    assert run.returncode == 3, run.stderr
    assert "Run-time error '7': Out of memory" in run.stderr
    assert (folder / "old.dxf").read_bytes() == OLD_DRAWING
    assert sorted(path.name for path in folder.iterdir()) == sorted(
        [EXE_NAME, "kqhatch.pat", "tempdxf.txt", "old.dxf"])


@pytest.mark.skipif(ON_WINDOWS or SANITIZED, reason="a sanitizer reserves more address space")
def test_an_address_space_too_small_for_the_drawing_ends_with_the_report(tmp_path):
    """A real limit, no shim: a drawing of many entities in 200 MB."""
    folder = tmp_path / "program"
    install(folder, "S\t0\t0\t\n" + "LR\t1\t\nA\tsome text\t\n" * 1_500_000)
    limit = 200 * 1024 * 1024
    result = subprocess.run(
        ["prlimit", f"--as={limit}", str(folder / EXE_NAME)], cwd=tmp_path,
        stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
    stderr = result.stderr.decode("latin-1")
    # Inside the interpreter the trap reports it (status 1, the drawing so far
    # written); anywhere else the run-time error report (status 3). Never an abort.
    assert result.returncode in (1, 3), (result.returncode, stderr)
    assert "Out of memory" in stderr or ERROR_TEXT.format(7) in stderr, stderr


# --- No silent shortening -----------------------------------------------------------


def test_a_text_too_long_for_the_dxf_is_shortened_with_a_warning(convert):
    long_text = "".join(chr(ord("a") + i % 26) for i in range(300))
    # 250 characters exactly, and a short text cut by a NUL byte (not the
    # DXF's limit), draw no warning.
    run = convert(f"S\t100\t100\t\nA\tshort\t\nA\t{long_text}\t\nA\t{'x' * 250}\t\n"
                  "A\tab\0cd\t\n")
    assert run.returncode == 0, run.stderr
    [told] = [line for line in run.stderr.splitlines() if line.endswith("[text-too-long]")]
    assert "line 3 of tempdxf.txt" in told
    assert "a text of 300 characters" in run.stderr and "50 characters were dropped" in run.stderr
    texts = [entity.dxf.text for entity in run.read().modelspace().query("TEXT")]
    assert texts == ["short", long_text[:250], "x" * 250, "ab"]


def test_the_second_line_of_a_two_line_text_is_measured_too(convert):
    run = convert("A\tfirst\\N" + "y" * 260 + "\t\n")
    assert run.returncode == 0, run.stderr
    assert "line 1 of tempdxf.txt: a text of 260 characters" in run.stderr
    assert "10 characters were dropped" in run.stderr


# --- Readers: cases where a one-line slip would go unseen --------------------------


@pytest.mark.parametrize("value, overflows", [
    ("3.4028235e38", False),             # above the largest float: rounds down to it
    ("3.4028235677973362e38", False),    # just below the midpoint to 2^128
    ("3.4028235677973366e38", True),     # the midpoint itself rounds to even: 2^128
    ("-3.4028235677973362e38", False),
    ("-3.4028236e38", True),
])
def test_a_single_precision_argument_overflows_from_the_rounding_midpoint_on(
        convert, value, overflows):
    run = convert(f"SH\t{value}\t\nSH\t600\t\nLR\t600\t\n")
    if overflows:
        assert run.returncode == 1 and ERROR_TEXT.format(6) in run.stderr, run.stderr
        assert drawn_lines(run.read()) == 0
    else:
        assert run.returncode == 0, run.stderr
        assert drawn_lines(run.read()) == 1


def test_stop_without_a_tab_does_not_end_the_run_when_lines_follow(convert):
    # "STOP" without a TAB changes no field: LR runs again, then LU runs.
    run = convert("LR\t600\t\nSTOP\nLU\t600\t\nSTOP\t\nLD\t600\t\n")
    assert run.returncode == 0, run.stderr
    lines = list(run.read().modelspace().query("LINE"))
    directions = [(round(line.dxf.end.x - line.dxf.start.x), round(line.dxf.end.y - line.dxf.start.y))
                  for line in lines]
    assert directions == [(1, 0), (1, 0), (0, 1)]


def test_a_line_end_split_between_two_read_blocks_is_one_line_end(convert):
    # Unknown commands as padding, so that the CR of the line before LU is the
    # last byte of the first block and its LF the first byte of the second.
    head = b"S\t0\t0\t\r\n"
    filler = b"NOTE\t" + b"." * 90 + b"\t\r\n"
    body = head + filler * ((READ_BLOCK - len(head)) // len(filler))
    last = b"NOTE\t"
    pad = READ_BLOCK - len(body) - len(last) - 2  # then TAB and CR; the LF starts block 2
    body += last + b"." * pad + b"\t\r"
    assert len(body) == READ_BLOCK
    run = convert(body + b"\nLU\t600\t\r\n")
    assert run.returncode == 0, run.stderr
    assert drawn_lines(run.read()) == 1
