"""The explicit command line: the program installed in a folder of its own,
started from a work folder with -i/-o and the other options; relative names
are the work folder's, and nothing is read from or written into the program
folder but kqhatch.pat."""

import re
from dataclasses import dataclass
from pathlib import Path

import ezdxf
import pytest
from ezdxf import recover

from conftest import EXE_NAME, ON_WINDOWS, SOURCE_DIR, install, start, to_bytes, windows_path

SQUARE = "S\t600\t600\t\nRE\t600\t600\t\nSTOP\t\n"
PROGRAM_FILES = {EXE_NAME, "kqhatch.pat"}


def shown(path):
    """A file as the program names it in messages: by its absolute path."""
    return windows_path(path) if ON_WINDOWS else str(path)


@dataclass
class Run:
    returncode: int
    stdout: bytes
    stderr: str


class Explicit:
    """plotdxf in tmp_path/program, started from tmp_path/work."""

    def __init__(self, tmp_path):
        self.program = tmp_path / "program"
        self.work = tmp_path / "work"
        install(self.program)
        self.work.mkdir()

    def write(self, name, commands):
        path = self.work / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(to_bytes(commands))
        return path

    def run(self, *args, stdin=None, cwd=None):
        kwargs = {"input": stdin, "stdin": None} if stdin is not None else {}
        done = start(self.program, args, cwd=cwd or self.work, **kwargs)
        assert {p.name for p in self.program.iterdir()} == PROGRAM_FILES, \
            "the explicit form writes nothing into the program folder"
        return Run(done.returncode, done.stdout,
                   done.stderr.decode("utf-8", "replace").replace("\r\n", "\n"))

    def files(self):
        return sorted(str(p.relative_to(self.work)) for p in self.work.rglob("*") if p.is_file())


@pytest.fixture
def cli(tmp_path):
    return Explicit(tmp_path)


def read(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    assert not auditor.errors and not auditor.fixes
    return doc


def texts(path):
    """The texts as a reader shows them: ezdxf's recovering loader decodes the
    "\\U+XXXX" escapes (its plain loader leaves them as written)."""
    read(path)
    doc, _ = recover.readfile(path)
    return [e.dxf.text for e in doc.modelspace().query("TEXT")]


def classic_drawing(tmp_path, commands):
    """The bytes the classic handshake makes of `commands`."""
    folder = tmp_path / "classic"
    install(folder, commands)
    (tmp_path / "classic-caller").mkdir()
    done = start(folder, ["out.dxf"], cwd=tmp_path / "classic-caller")
    assert done.returncode == 0, done.stderr
    return (folder / "out.dxf").read_bytes()


# --- Input and output ---------------------------------------------------------

def test_input_and_output_are_named_relative_to_the_current_folder(cli, tmp_path):
    cli.write("logs/a.txt", SQUARE)
    (cli.work / "out").mkdir()
    run = cli.run("-i", "logs/a.txt", "-o", "out/a.dxf")
    assert (run.returncode, run.stderr) == (0, "")
    assert cli.files() == ["logs/a.txt", "out/a.dxf"]
    assert (cli.work / "out/a.dxf").read_bytes() == classic_drawing(tmp_path, SQUARE)
    assert run.stdout == b""


def test_the_default_drawing_is_the_command_file_with_dxf_beside_it(cli):
    cli.write("logs/boring.log.txt", SQUARE)
    cli.write("other/x", SQUARE)
    run = cli.run("-i", "logs/boring.log.txt", "--input", "other/x")
    assert (run.returncode, run.stderr) == (0, "")
    assert cli.files() == ["logs/boring.log.dxf", "logs/boring.log.txt", "other/x", "other/x.dxf"]
    read(cli.work / "logs/boring.log.dxf")


def test_standard_input_and_standard_output(cli, tmp_path):
    expected = classic_drawing(tmp_path, SQUARE)
    piped = cli.run("-i", "-", stdin=to_bytes(SQUARE))
    assert (piped.returncode, piped.stderr) == (0, "")
    assert piped.stdout == expected  # standard input's drawing goes to standard output
    cli.write("a.txt", SQUARE)
    to_stdout = cli.run("-i", "a.txt", "-o", "-")
    assert to_stdout.stdout == expected
    to_file = cli.run("-i", "-", "-o", "from-stdin.dxf", stdin=to_bytes(SQUARE))
    assert (cli.work / "from-stdin.dxf").read_bytes() == expected
    assert cli.files() == ["a.txt", "from-stdin.dxf"]
    assert to_file.stdout == b""


def test_an_unreadable_command_file_writes_nothing_and_is_status_2(cli):
    run = cli.run("-i", "missing.txt")
    assert run.returncode == 2
    assert run.stderr.startswith(f"plotdxf: {shown(cli.work / 'missing.txt')}: cannot be read")
    (cli.work / "folder.txt").mkdir()
    run = cli.run("-i", "folder.txt")
    assert run.returncode == 2
    assert f"{shown(cli.work / 'folder.txt')}: is a folder" in run.stderr
    assert cli.files() == []


def test_an_unwritable_drawing_is_status_2_and_named_absolutely(cli):
    cli.write("a.txt", SQUARE)
    run = cli.run("-i", "a.txt", "-o", "no/such/folder/a.dxf")
    assert run.returncode == 2
    assert run.stderr.startswith(
        f"plotdxf: the drawing {shown(cli.work / 'no/such/folder/a.dxf')} could not be written: ")


def test_the_pattern_file_can_be_named(cli):
    cli.write("a.txt", "S\t600\t600\t\nFPF\tWELL_FILL\t\nRF\t600\t600\t\nSTOP\t\n")
    # Written on Linux: a line feed alone ends a line of the pattern file too.
    cli.write("mine.pat", "*ONE\n2\n45,0,0,0,.1,0,0\n135,0,0,0,.1,0,0\n")
    run = cli.run("-i", "a.txt", "--patterns", "mine.pat", "-o", "mine.dxf")
    assert (run.returncode, run.stderr) == (0, "")
    [hatch] = read(cli.work / "mine.dxf").modelspace().query("HATCH")
    assert len(hatch.pattern.lines) == 2
    run = cli.run("-i", "a.txt", "--patterns", "none.pat")
    assert run.returncode == 3
    assert "Run-time error '53'" in run.stderr and shown(cli.work / "none.pat") in run.stderr
    assert not (cli.work / "a.dxf").exists()


# --- Reading: line ends, encodings, warnings ----------------------------------------

def test_a_line_feed_alone_ends_a_line(cli):
    commands = "S\t600\t600\t\nLR\t600\t\nA\tend\t\nSTOP\t\n"
    cli.write("crlf.txt", commands)
    (cli.work / "lf.txt").write_bytes(commands.encode())
    (cli.work / "cr.txt").write_bytes(commands.replace("\n", "\r").encode())
    run = cli.run("-i", "lf.txt", "crlf.txt", "cr.txt")
    assert (run.returncode, run.stderr) == (0, "")
    crlf = (cli.work / "crlf.dxf").read_bytes()
    assert (cli.work / "lf.dxf").read_bytes() == crlf
    assert (cli.work / "cr.dxf").read_bytes() == crlf
    assert texts(cli.work / "lf.dxf") == ["end"]


def test_utf8_with_a_byte_order_mark(cli, tmp_path):
    text = "Depth 5\u00b0 \u2014 \u03a9 caf\u00e9"  # degree, em dash, omega, e acute
    body = f"S\t600\t600\t\nA\t{text}\t\nSTOP\t\n".encode("utf-8")
    (cli.work / "bom.txt").write_bytes(b"\xef\xbb\xbf" + body)
    (cli.work / "plain.txt").write_bytes(body)
    run = cli.run("--encoding", "utf-8", "bom.txt", "-i", "plain.txt")
    assert (run.returncode, run.stderr) == (0, "")
    assert texts(cli.work / "bom.dxf") == [text]
    [plain] = read(cli.work / "bom.dxf").modelspace().query("TEXT")
    assert plain.dxf.text.startswith("Depth 5\u00b0 \u2014 ")  # the code page's own
    assert (cli.work / "plain.dxf").read_bytes() == (cli.work / "bom.dxf").read_bytes()
    raw = (cli.work / "bom.dxf").read_bytes()
    assert b"\xb0 \x97 \\U+03A9 caf\xe9" in raw  # the code page where it can, escapes beyond
    # Without the mark or the option the same bytes are Windows-1252.
    run = cli.run("-i", "plain.txt", "-o", "as-1252.dxf")
    assert run.returncode == 0
    assert run.stderr == (f"plotdxf: {shown(cli.work / 'plain.txt')}: line 2: warning: this line "
                          "is UTF-8, and the file is read as Windows-1252: each character beyond "
                          "ASCII becomes two or three (--encoding utf-8 reads it as UTF-8) "
                          "[utf8-read-as-cp1252]\n")
    assert texts(cli.work / "as-1252.dxf") == [text.encode("utf-8").decode("cp1252")]


def test_the_classic_form_reads_a_byte_order_mark_as_text_and_bytes_as_windows_1252(tmp_path):
    """The mark is part of the first line, whose command then matches nothing."""
    folder = tmp_path / "marked"
    install(folder, b"\xef\xbb\xbfA\tfirst\t\r\nA\tsix \xe2\x80\x94 5\xc2\xb0\t\r\nSTOP\t\r\n")
    (tmp_path / "caller").mkdir()
    done = start(folder, ["bom.dxf"], cwd=tmp_path / "caller")
    assert done.returncode == 0
    assert texts(folder / "bom.dxf") == ["six \u00e2\u20ac\u201d 5\u00c2\u00b0"]
    assert (folder / "bom.dxf").read_bytes() == classic_drawing(
        tmp_path, b"XA\tfirst\t\r\nA\tsix \xe2\x80\x94 5\xc2\xb0\t\r\nSTOP\t\r\n")


FAULTY = "S\t600\t600\t\nlr\t600\t\nLR\t300\t\nS\t100\t250\n\nSTOP\t\n"


def test_warnings_name_the_file_and_line_of_what_the_classic_reader_skips(cli, tmp_path):
    cli.write("faulty.txt", FAULTY)
    run = cli.run("-i", "faulty.txt")
    assert run.returncode == 0
    where = f"plotdxf: {shown(cli.work / 'faulty.txt')}: line"
    assert run.stderr.splitlines() == [
        f"{where} 2: warning: unknown command 'lr': the line is skipped [unknown-command]",
        f"{where} 4: warning: '250' after the last TAB is no field (every field ends with a "
        "TAB): it is ignored [text-after-tab]",
        f"{where} 5: warning: an empty line: 'S', the command before it, runs again [no-tab]",
    ]
    # Read as the classic reader reads it.
    assert (cli.work / "faulty.dxf").read_bytes() == classic_drawing(tmp_path, FAULTY)


def test_strict_makes_the_first_warning_an_error(cli):
    cli.write("faulty.txt", FAULTY)
    run = cli.run("--strict", "-i", "faulty.txt")
    assert run.returncode == 1
    assert run.stderr == (
        f"plotdxf: {shown(cli.work / 'faulty.txt')}: line 2: Invalid procedure call or argument: "
        f"unknown command 'lr' [unknown-command]; the drawing {shown(cli.work / 'faulty.dxf')} holds what the lines "
        "before it built\n")
    assert len(read(cli.work / "faulty.dxf").modelspace()) == 0  # line 1 only moved the pen
    cli.write("clean.txt", SQUARE)
    assert cli.run("--strict", "clean.txt").returncode == 0


@pytest.mark.parametrize("commands, warning", [
    ("S\t600\t-6000\t\nRE\t600\t600\t\n", "the drawing lies wholly off the 8.5 x 11 inch "
     "page [off-page]"),
    ("S\t-4000\t600\t\nRE\t6000\t600\t\n", "the drawing lies mostly off the 8.5 x 11 inch "
     "page: 33% of its extents are on it [off-page]"),
])
def test_a_warning_about_the_drawing_built_is_an_error_under_strict(cli, commands, warning):
    cli.write("off.txt", commands)
    told = f"plotdxf: {shown(cli.work / 'off.txt')}: warning: {warning}\n"
    run = cli.run("-i", "off.txt")
    assert (run.returncode, run.stderr) == (0, told)
    run = cli.run("--strict", "-i", "off.txt")
    assert run.returncode == 1
    assert run.stderr == told + (
        f"plotdxf: {shown(cli.work / 'off.txt')}: 1 warning about the drawing built, an error "
        f"under --strict; the drawing {shown(cli.work / 'off.dxf')} is written\n")
    assert len(read(cli.work / "off.dxf").modelspace()) == 1


def test_a_hundred_warnings_are_told_of_a_million_lines(cli):
    (cli.work / "many.txt").write_bytes(b"S\t600\t600\t\n" + b"LR 600\n" * 1_000_000)
    run = cli.run("-i", "many.txt", "-o", "-")
    lines = run.stderr.splitlines()
    assert run.returncode == 0 and len(lines) == 101
    assert lines[-1] == f"plotdxf: {shown(cli.work / 'many.txt')}: warning: 999900 more warnings were not told"


def test_an_interpreter_error_is_one_line_naming_file_line_and_drawing(cli):
    cli.write("a.txt", "S\t600\t600\t\nRE\t600\t600\t\nLT\t40000\t\nLR\t600\t\n")
    run = cli.run("-i", "a.txt")
    assert run.returncode == 1
    assert run.stderr == (
        f"plotdxf: {shown(cli.work / 'a.txt')}: line 3: Overflow; the drawing "
        f"{shown(cli.work / 'a.dxf')} holds what the lines before it built\n")
    assert len(read(cli.work / "a.dxf").modelspace()) == 1


# --- Several inputs ----------------------------------------------------------------

def test_several_inputs_each_on_its_own_and_the_worst_status(cli, tmp_path):
    cli.write("one.txt", "S\t600\t600\t\nLT\t2\t\nLW\t5\t\nFPF\tGW\t\nAD\t30\t\nA\tone\t\nSTOP\t\n")
    cli.write("bad.txt", "S\t600\t600\t\nLR\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\n")
    cli.write("two.txt", "RF\t300\t300\t\nA\ttwo\t\nSTOP\t\n")
    run = cli.run("-i", "one.txt", "-i", "missing.txt", "bad.txt", "two.txt")
    assert run.returncode == 2  # the worst: missing.txt wrote nothing
    lines = run.stderr.splitlines()
    assert len(lines) == 2  # one line per failing input
    assert lines[0].startswith(f"plotdxf: {shown(cli.work / 'missing.txt')}: cannot be read")
    assert lines[1].startswith(f"plotdxf: {shown(cli.work / 'bad.txt')}: line 2: ")
    assert cli.files() == ["bad.dxf", "bad.txt", "one.dxf", "one.txt", "two.dxf", "two.txt"]
    # Each drawing is what a run of its own makes: nothing carries over.
    for name in ("one", "two"):
        alone = classic_drawing(tmp_path / name, (cli.work / f"{name}.txt").read_bytes())
        assert (cli.work / f"{name}.dxf").read_bytes() == alone, name


def test_the_examples_in_one_call_into_an_output_folder(cli, tmp_path):
    examples = sorted((SOURCE_DIR / "examples").glob("*.txt"))
    cli.write("taken", "")
    run = cli.run("--output-dir", "taken/drawings", *map(str, examples))
    assert run.returncode == 2  # a file where a folder would be: nothing written
    [line] = run.stderr.splitlines()
    assert line.startswith(f"plotdxf: the folder {shown(cli.work / 'taken' / 'drawings')} "
                           "could not be made: ")
    run = cli.run("--output-dir", "drawings/site", "--verbose", *map(str, examples))
    assert run.returncode == 0  # the folder is made
    folder = cli.work / "drawings" / "site"
    assert run.stderr.splitlines() == [
        f"plotdxf: {shown(e)}: written to {shown(folder / (e.stem + '.dxf'))}" for e in examples]
    for example in examples:
        made = (folder / (example.stem + ".dxf")).read_bytes()
        assert made == classic_drawing(tmp_path / example.stem, example.read_bytes())


# --- The command line itself -----------------------------------------------------

def project_version():
    cmake = (SOURCE_DIR / "CMakeLists.txt").read_text()
    return re.search(r"project\(plotdxf VERSION (\S+)", cmake).group(1)


@pytest.mark.parametrize("option", ["-h", "--help"])
def test_help_shows_both_forms_and_the_exit_statuses(cli, option):
    cli.write("tempdxf.txt", SQUARE)
    run = cli.run(option, "-o", "x.dxf")
    assert (run.returncode, run.stderr) == (0, "")
    usage = run.stdout.decode().replace("\r\n", "\n")
    assert usage.startswith("usage: plotdxf -i FILE [-o FILE]")
    assert "classic form" in usage.lower() and "Exit status" in usage
    for status in "0123":
        assert re.search(rf"^  {status}  ", usage, re.M), status
    assert cli.files() == ["tempdxf.txt"]


@pytest.mark.parametrize("option", ["-V", "--version"])
def test_version_is_the_project_version(cli, option):
    run = cli.run(option)
    assert (run.returncode, run.stderr) == (0, "")
    assert run.stdout.decode().strip() == f"plotdxf {project_version()}"


@pytest.mark.parametrize("args, named", [
    (["--bogus"], "--bogus"),
    (["-i", "a.txt", "-x"], "-x"),
    (["-o"], "--output"),
    (["-i"], "--input"),
    (["-i", "a.txt", "--encoding", "latin-9"], "--encoding"),
    (["-i", "a.txt", "--patterns"], "--patterns"),
])
def test_an_unknown_option_or_a_missing_value_is_one_line_and_status_2(cli, args, named):
    cli.write("a.txt", SQUARE)
    run = cli.run(*args)
    assert run.returncode == 2
    [line] = run.stderr.splitlines()
    assert line.startswith("plotdxf: ") and named in line and line.endswith("(see --help)")
    assert cli.files() == ["a.txt"]


@pytest.mark.parametrize("args, why", [
    (["-o", "x.dxf"], "no command file"),
    (["-i", "a.txt", "-i", "b.txt", "-o", "x.dxf"], "--output-dir"),
    (["-i", "-", "-i", "-"], "once"),
    (["-i", "a.txt", "-o", "x.dxf", "--output-dir", "."], "not both"),
    (["-i", "a.txt", "-o", "a.txt"], "would replace the command file"),
    (["-i", "x.dxf"], "would replace the command file"),
    (["-i", "a.txt", "-i", "sub/a.txt", "--output-dir", "."], "would both write"),
    (["--output-dir", ".", "-i", "-"], "standard input"),
])
def test_runs_that_would_share_a_file_are_refused_before_anything_is_written(cli, args, why):
    for name in ("a.txt", "b.txt", "sub/a.txt", "x.dxf"):
        cli.write(name, SQUARE)
    before = {name: (cli.work / name).read_bytes() for name in cli.files()}
    run = cli.run(*args, stdin=b"")
    assert run.returncode == 2
    assert why in run.stderr and run.stderr.endswith("(see --help)\n")
    assert {name: (cli.work / name).read_bytes() for name in cli.files()} == before


def test_the_classic_explanation_names_the_command_file_absolutely(tmp_path):
    folder = tmp_path / "classic"
    install(folder, "S\t600\t600\t\nLT\t40000\t\n")
    (tmp_path / "caller").mkdir()
    done = start(folder, [], cwd=tmp_path / "caller")
    stderr = done.stderr.decode("latin-1").replace("\r\n", "\n")
    assert stderr.splitlines() == [
        "plotdxf: Error 6 in DXF startdrawing.  Please contact Tarsel",
        f"plotdxf: the interpretation stopped at line 2 of {shown(folder / 'tempdxf.txt')} "
        "(Overflow); the drawing holds what the lines before it built"]
    assert done.returncode == 1
