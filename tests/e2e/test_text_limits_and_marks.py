"""Texts at the DXF limits in both forms, what a UTF-8 byte-order mark means to
each form, the warnings of characters the reading loses, and the pattern
file's line ends."""

import pytest

from conftest import install, start
from test_command_line import Explicit, shown, texts

BOM = b"\xef\xbb\xbf"
OMEGA, ESCAPE = "\u03a9", b"\\U+03A9"
# 36 escapes fill 252 of a value's 255 bytes.
WIDE = OMEGA * 36 + "a" * 214
PATTERNS = (b"*FIRST\r\n1\r\n0,0,0,0,.1,0,0\r\n"
            b"*SECOND\r\n2\r\n45,0,0,0,.1,0,0\r\n135,0,0,0,.1,0,0\r\n")
HATCHED = b"S\t600\t600\t\r\nFPF\tWELL_FILL\t\r\nRF\t600\t600\t\r\nSTOP\t\r\n"


@pytest.fixture
def cli(tmp_path):
    return Explicit(tmp_path)


def classic(tmp_path, commands, hatch=None, name="classic"):
    folder = tmp_path / name
    install(folder, commands, hatch)
    (tmp_path / f"{name}-caller").mkdir()
    done = start(folder, ["out.dxf"], cwd=tmp_path / f"{name}-caller")
    return folder, done.returncode, done.stderr.decode("latin-1").replace("\r\n", "\n")


def hatch_lines(path):
    from ezdxf import recover
    doc, _ = recover.readfile(path)
    [hatch] = doc.modelspace().query("HATCH")
    return len(hatch.pattern.lines)


def text_values(path):
    """The raw values of the TEXT entities' group 1."""
    lines = path.read_bytes().split(b"\n")
    values, in_text = [], False
    for code, value in zip(lines[::2], lines[1::2]):
        if code.strip() == b"0":
            in_text = value == b"TEXT"
        elif in_text and code.strip() == b"1":
            values.append(value)
    return values


# --- Long texts of escapes ------------------------------------------------------

def test_a_text_of_escapes_then_letters_is_cut_at_its_bytes_in_the_option_form(cli):
    body = f"S\t600\t600\t\nA\t{WIDE}\t\nSTOP\t\n".encode("utf-8")
    (cli.work / "marked.txt").write_bytes(BOM + body)
    (cli.work / "asked.txt").write_bytes(body)
    marked = cli.run("-i", "marked.txt")
    asked = cli.run("--encoding", "utf-8", "-i", "asked.txt")
    for run in (marked, asked):
        assert run.returncode == 0, run.stderr
        assert "Sanitizer" not in run.stderr
    assert text_values(cli.work / "marked.dxf") == [ESCAPE * 36 + b"aaa"]
    assert texts(cli.work / "marked.dxf") == [OMEGA * 36 + "aaa"]
    assert (cli.work / "asked.dxf").read_bytes() == (cli.work / "marked.dxf").read_bytes()
    assert "211 characters were dropped" in marked.stderr


@pytest.mark.parametrize("text, value", [
    (OMEGA * 3 + "a" * 247, ESCAPE * 3 + b"a" * 234),
    ("a" * 100 + OMEGA * 30 + "b" * 120, b"a" * 100 + ESCAPE * 22),
    ("a" * 240 + OMEGA * 10, b"a" * 240 + ESCAPE * 2),
    ("a" * 249 + OMEGA, b"a" * 249),
    ("a" * 249 + "b" + OMEGA, b"a" * 249 + b"b"),
], ids=["start", "middle", "end", "across-bytes", "across-characters"])
def test_escapes_anywhere_in_a_long_text(cli, text, value):
    (cli.work / "t.txt").write_bytes(f"A\t{text}\t\nSTOP\t\n".encode("utf-8"))
    run = cli.run("--encoding", "utf-8", "-i", "t.txt")
    assert run.returncode == 0, run.stderr
    assert text_values(cli.work / "t.dxf") == [value]


def test_the_classic_form_reads_the_same_file_as_windows_1252(tmp_path):
    body = f"S\t600\t600\t\r\nA\t{WIDE}\t\r\nSTOP\t\r\n".encode("utf-8")
    folder, status, stderr = classic(tmp_path, BOM + body)
    assert status == 0 and "Sanitizer" not in stderr
    as_1252 = WIDE.encode("utf-8").decode("cp1252")
    assert texts(folder / "out.dxf") == [as_1252[:250]]


# --- The byte-order mark (the command file's: test_command_line.py) ---------------

def test_a_marked_pattern_file_keeps_the_classic_numbers(tmp_path, cli):
    folder, status, stderr = classic(tmp_path, HATCHED, hatch=BOM + PATTERNS)
    assert status == 0
    assert stderr == ("plotdxf: warning: line 1 of kqhatch.pat, the first pattern's '*' line, "
                      "starts with a UTF-8 byte-order mark: that pattern is not read, and every "
                      "later pattern's number is one less (save the file without the mark) "
                      "[pattern-file-bom]\n")
    assert hatch_lines(folder / "out.dxf") == 2  # the first "*" line is no pattern's
    (cli.work / "mine.pat").write_bytes(BOM + PATTERNS)
    (cli.work / "a.txt").write_bytes(HATCHED)
    run = cli.run("-i", "a.txt", "--patterns", "mine.pat")
    assert (run.returncode, run.stderr) == (0, "")
    assert hatch_lines(cli.work / "a.dxf") == 1  # the option form skips the mark


# --- Characters the reading loses -------------------------------------------------

LOSSY = b"S\t600\t600\t\nA\tbroken \xc3( here\t\nA\tcut\x00short\t\nSTOP\t\n"


def test_broken_utf8_and_nul_bytes_are_warned_of_in_the_option_form(cli, tmp_path):
    (cli.work / "lossy.txt").write_bytes(LOSSY)
    run = cli.run("--encoding", "utf-8", "-i", "lossy.txt")
    assert run.returncode == 0
    where = f"plotdxf: {shown(cli.work / 'lossy.txt')}: line"
    assert run.stderr.splitlines() == [
        f"{where} 2: warning: 1 byte is no UTF-8: it is read as '?' [invalid-utf8]",
        f"{where} 3: warning: a NUL byte in field 2: the field's text ends at it [nul-byte]",
    ]
    assert texts(cli.work / "lossy.dxf") == ["broken ?( here", "cut"]
    strict = cli.run("--strict", "--encoding", "utf-8", "-i", "lossy.txt", "-o", "strict.dxf")
    assert strict.returncode == 1 and "line 2: " in strict.stderr
    # The classic form reads the bytes as Windows-1252 and warns of the NUL byte.
    _, status, stderr = classic(tmp_path, LOSSY.replace(b"\n", b"\r\n"))
    assert (status, stderr) == (0, "plotdxf: warning: line 3 of tempdxf.txt: a NUL byte in "
                                   "field 2: the field's text ends at it [nul-byte]\n")


# --- The pattern file's line ends -------------------------------------------------

def test_a_classic_pattern_file_of_line_feeds_is_told_its_line_ends(tmp_path):
    folder, status, stderr = classic(tmp_path, HATCHED, hatch=PATTERNS.replace(b"\r\n", b"\n"))
    assert status == 3
    assert "Run-time error '62'" in stderr
    assert "the file ends before the pattern's line count (its lines end with a line feed " \
           "alone" in stderr
    assert not (folder / "out.dxf").exists()
    _, status, stderr = classic(tmp_path, HATCHED, hatch=b"*A\r\n", name="short")
    assert status == 3 and "line feed" not in stderr
