"""The examples of docs/user-guide.md are real command files: each ```commands
block is converted by the built plotdxf and must succeed with a DXF that the
independent reader accepts, or, for a block marked error=N, stop with that
error. In the blocks "→" stands for a TAB; lines end with CR LF in the file.

Every command of the command table must appear in at least one example."""

import re
from pathlib import Path

import pytest

from conftest import SOURCE_DIR

GUIDE = SOURCE_DIR / "docs" / "user-guide.md"
COMMAND_TABLE = SOURCE_DIR / "interpreter" / "command_file.cpp"
TAB_MARK = "\u2192"  # →

# The command table, in dispatch order, and STOP.
COMMANDS = [
    "SH", "SV", "A", "AN", "AL", "AC", "AR", "AP", "AD", "AF", "ARCR", "C", "DrawBMP", "EF",
    "FPF", "LA", "LC", "LT", "LW", "LR", "LL", "LD", "LU", "LTO", "LRTO", "PD", "PL", "PR", "PU",
    "PTO", "PRTO", "PF", "PFPC", "PFC", "PFS", "PFW", "RE", "RF", "RFPC", "RFC", "RFS", "RFW",
    "S", "SA", "SR", "SL", "SD", "SU", "TRI", "TRIF", "TRID", "TRIFD", "Z", "ZC", "ZXY", "STOP",
]

FENCE = re.compile(r"^```(?P<info>[^`]*)$")
COMMANDS_INFO = re.compile(r"^commands(?:\s+error=(?P<error>\d+))?\s*$")


class Example:
    def __init__(self, line, lines, error):
        self.line = line  # line number of the opening fence in the guide
        self.lines = lines  # the block's lines, "→" still in them
        self.error = error  # expected error number, None for a clean conversion

    @property
    def id(self):
        names = "-".join(dict.fromkeys(l.split(TAB_MARK, 1)[0] for l in self.lines))[:40]
        return f"line{self.line}" + (f"-{names}" if names else "-empty")

    def command_file(self):
        """The file the block stands for: TABs, CR LF line ends, Windows-1252."""
        if not self.lines:
            return b""
        text = "".join(line.replace(TAB_MARK, "\t") + "\r\n" for line in self.lines)
        return text.encode("cp1252")

    def names(self):
        return {line.split(TAB_MARK, 1)[0] for line in self.lines if TAB_MARK in line}


def examples():
    found = []
    block = None
    for number, line in enumerate(GUIDE.read_text(encoding="utf-8").splitlines(), start=1):
        fence = FENCE.match(line)
        if block is None:
            if fence:
                info = COMMANDS_INFO.match(fence["info"].strip())
                # Fences of other kinds are tracked so their contents are skipped.
                block = [number, [], info is not None,
                         int(info["error"]) if info and info["error"] else None]
        elif fence and not fence["info"].strip():
            start, lines, is_commands, error = block
            if is_commands:
                found.append(Example(start, lines, error))
            block = None
        else:
            block[1].append(line)
    assert block is None, f"unclosed code block at line {block[0]} of {GUIDE}"
    return found


EXAMPLES = examples()


def code_table_names():
    """Names in the dispatcher's table, so a new command cannot go undocumented."""
    if not COMMAND_TABLE.exists():
        return set()
    return set(re.findall(r'^\s*\{"(\w+)",', COMMAND_TABLE.read_text(), flags=re.M))


def test_the_guide_has_examples():
    assert len(EXAMPLES) >= 40
    assert any(e.error is None for e in EXAMPLES)
    assert any(e.error is not None for e in EXAMPLES)


@pytest.mark.parametrize("example", EXAMPLES, ids=lambda e: e.id)
def test_every_line_of_an_example_ends_with_a_tab(example):
    for offset, line in enumerate(example.lines, start=1):
        assert line.endswith(TAB_MARK), (
            f"line {example.line + offset} of the guide does not end with a TAB: {line!r}")


@pytest.mark.parametrize("example", EXAMPLES, ids=lambda e: e.id)
def test_example_converts_as_the_guide_says(convert, example):
    run = convert(example.command_file())
    if example.error is None:
        assert run.returncode == 0, run.stderr
        assert run.stderr == ""
    else:
        assert f"Error {example.error} in DXF startdrawing" in run.stderr, run.stderr
        assert run.returncode == 1, run.stderr
    run.read()  # the drawing is written in both cases and passes the reader's audit


def test_every_command_has_an_example():
    shown = set().union(*(e.names() for e in EXAMPLES if e.error is None))
    table = set(COMMANDS) | code_table_names()
    missing = sorted(table - shown)
    assert not missing, f"commands without a working example in the guide: {missing}"
