"""Damaged and hostile command files: each gives its documented error (or
none), never a crash or a hang, and the drawing built so far is written,
readable, and alone in the folder (no temporary file left behind)."""

import random
import stat

import pytest

from conftest import EXE_NAME, SOURCE_DIR, start

COMMANDS = [
    "SH", "SV", "A", "AN", "AL", "AC", "AR", "AP", "AD", "AF", "ARCR", "C", "DrawBMP", "EF",
    "FPF", "LA", "LC", "LT", "LW", "LR", "LL", "LD", "LU", "LTO", "LRTO", "PD", "PL", "PR", "PU",
    "PTO", "PRTO", "PF", "PFPC", "PFC", "PFS", "PFW", "RE", "RF", "RFPC", "RFC", "RFS", "RFW", "S",
    "SA", "SR", "SL", "SD", "SU", "TRI", "TRIF", "TRID", "TRIFD", "Z", "ZC", "ZXY", "STOP"]
DRAWING_COMMANDS = ["A", "AN", "ARCR", "C", "EF", "LA", "LR", "LL", "LD", "LU", "LTO", "LRTO",
                    "PD", "PL", "PR", "PU", "PTO", "PRTO", "RE", "RF", "RFC", "RFS", "RFW", "S",
                    "SA", "SR", "SL", "SD", "SU", "TRI", "TRID"]
ERROR_LINE = "Error {} in DXF startdrawing"


def error_number(run):
    for number in (5, 6, 9, 11, 53, 62):
        if ERROR_LINE.format(number) in run.stderr:
            return number
    return 0


def check_written(run, name="temp.dxf"):
    """The run ended normally, its drawing reads back clean, and nothing but
    the drawing was added to the program folder."""
    assert run.returncode in (0, 1), run.stderr
    assert "Run-time error" not in run.stderr and "Sanitizer" not in run.stderr
    doc = run.read(name)
    leftovers = {p.name for p in run.folder.iterdir()} - {EXE_NAME, "kqhatch.pat",
                                                         "tempdxf.txt", name}
    assert not leftovers
    return doc


# Lines that draw nothing, past the bytes a file's kind is told from: what
# follows them reaches the interpreter whatever it is.
PAST_THE_KIND = b"LC\t\r\n" * 1100


def test_binary_garbage(convert):
    rng = random.Random(7)
    for size in (100, 100_000):
        garbage = bytes(rng.randrange(256) for _ in range(size))
        run = convert(garbage)
        assert run.returncode == 2 and run.stderr.rstrip().endswith(
            "tempdxf.txt: is a binary file, not a command file"), run.stderr
        assert not (run.folder / "temp.dxf").exists()
        check_written(convert(PAST_THE_KIND + garbage))


def test_garbage_with_tabs_and_line_ends(convert):
    rng = random.Random(11)
    alphabet = b"\t\t\t\r\r\n" + bytes(range(256))
    names = [c.encode() for c in COMMANDS]
    lines = []
    for _ in range(3000):
        fields = [rng.choice(names)] + [bytes(rng.choice(alphabet) for _ in range(rng.randrange(6)))
                                        for _ in range(rng.randrange(5))]
        lines.append(b"\t".join(fields) + b"\t")
    check_written(convert(PAST_THE_KIND + b"\r\n".join(lines)))


def test_nul_bytes_in_fields(convert):
    doc = check_written(convert(b"S\t600\x00\t6\x0000\t\r\nA\tab\x00cd\t\r\nLR\t\x00\t\r\n"))
    texts = [e.dxf.text for e in doc.modelspace().query("TEXT")]
    assert texts == ["ab"]  # texts reach the library zero-terminated


def test_a_line_of_50_megabytes_is_read_up_to_the_bound(convert):
    # Its end, the closing TAB with it, is dropped with a warning; the next line is read.
    run = convert(("A\t" + "x" * 50_000_000 + "\t\r\nA\tnext\t\r\n").encode())
    assert run.returncode == 0
    assert ("plotdxf: warning: line 1 of tempdxf.txt: the line is longer than 65536 bytes: the "
            "49934467 bytes after them are dropped [long-line]") in run.stderr.splitlines()
    [entity] = check_written(run).modelspace().query("TEXT")
    assert entity.dxf.text == "next"


def test_a_file_of_only_tabs(convert):
    check_written(convert(b"\t" * 100_000))
    check_written(convert(b"\t\t\t\r\n" * 1000))


@pytest.mark.parametrize("line, error", [
    ("SR\t1e400\t", 6), ("SR\t-1e400\t", 6), ("SR\t1e39\t", 6), ("C\t1e39\t", 6),
    ("AP\t5e38\t", 6), ("AD\t32768\t", 6), ("LT\t-32769\t", 6), ("LW\t2147483648\t", 6),
    ("ZXY\t3e38\t0\t\r\nSH\t1\t\r\nSR\t3e38\t", 6), ("FPF\tF81\t", 9), ("FPF\tF-21\t", 9),
    ("SR\t1e-400\t", 0), ("C\t1e-30\t", 0), ("LW\t-5\t", 0), ("AN\t1e38\t", 0),
])
def test_numbers_beyond_the_ranges(convert, line, error):
    run = convert(f"LR\t600\t\r\n{line}\r\nLR\t600\t\r\n".encode())
    assert error_number(run) == error
    doc = check_written(run)
    assert len(doc.modelspace().query("LINE")) == (1 if error else 2)


@pytest.mark.parametrize("name", COMMANDS)
def test_every_command_with_missing_and_non_numeric_fields(convert, name):
    commands = f"{name}\t\r\n{name}\tabc\tdef\tghi\t\r\n{name}\t-\t.\te\t\r\nLR\t600\t\r\n"
    check_written(convert(commands.encode()))


@pytest.mark.parametrize("scale", ["0", "-600"])
@pytest.mark.parametrize("name", DRAWING_COMMANDS)
def test_zero_and_negative_scales_before_every_drawing_command(convert, name, scale):
    args = {"RFC": "300\t300\t0 0 0", "RFS": "300\t300\t1"}.get(name, "300\t300")
    run = convert(f"FPF\tGW\t\r\nS\t600\t600\t\r\nSH\t{scale}\t\r\nSV\t{scale}\t\r\n"
                  f"{name}\t{args}\t\r\nPF\t\r\n".encode())
    if scale == "0":
        assert error_number(run) in (0, 11)
    else:
        assert error_number(run) == 0
    check_written(run)


def test_texts_with_every_control_character_and_every_high_byte(convert):
    controls = bytes(c for c in range(1, 32) if c not in (9, 13))
    high = bytes(range(128, 256))
    doc = check_written(convert(b"A\t<" + controls + b">\t\r\nA\t" + high + b"\t\r\n"))
    first, second = (e.dxf.text for e in doc.modelspace().query("TEXT"))
    assert first == "<" + " " * len(controls) + ">"
    assert len(second) == 128 and "\n" not in second


@pytest.mark.parametrize("pattern_file, error", [
    ("", 62),
    ("*A\r\n", 62),
    ("*A\r\n2\r\n0,0,0,0,.1,0,0\r\n", 62),
    ("*A\r\n1\r\n0,0,0,0,.1\r\n", 5),
    ("*A\r\n40000\r\n", 6),
    ("*A\r\n51\r\n" + "0,0,0,0,.1,0,0\r\n" * 51, 9),
    ("*A\r\n0\r\n" * 101, 9),
])
def test_each_hatch_file_error_ends_the_run_without_a_drawing(convert, pattern_file, error):
    run = convert("LR\t600\t\r\n", hatch=pattern_file)
    assert run.returncode == 3
    assert f"Run-time error '{error}'" in run.stderr
    assert "kqhatch.pat line" in run.stderr or error == 62
    assert not run.dxf_path().exists()


def test_read_only_output_file_is_kept(convert):
    run = convert("LR\t600\t\r\n", args=["locked.dxf"])
    target = run.dxf_path("locked.dxf")
    original = target.read_bytes()
    # Wine shows a file without write permission as read-only; test_windows.py
    # sets the attribute itself.
    target.chmod(stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
    (run.folder / "tempdxf.txt").write_bytes(b"LU\t600\t\r\n")
    rerun = start(run.folder, ["locked.dxf"], cwd=SOURCE_DIR, text=True)
    assert rerun.returncode == 2
    assert "locked.dxf" in rerun.stderr and "read-only" in rerun.stderr
    assert target.read_bytes() == original
    assert {p.name for p in run.folder.iterdir()} == {EXE_NAME, "kqhatch.pat", "tempdxf.txt",
                                                      "locked.dxf"}
