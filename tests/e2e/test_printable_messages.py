"""Messages that are safe to print: a command name or file name holding
terminal orders (ESC[2J, ESC]0;...BEL), NUL, CR or bytes that are no UTF-8
reaches stderr escaped as \\xNN, in both programs and both forms; each
program names itself."""

import os
import subprocess

import pytest

from conftest import BINARY, ON_WINDOWS, install

VIEWER = BINARY.parent / "plotdxf-view"
pytestmark = pytest.mark.skipif(ON_WINDOWS, reason="names handed over as POSIX bytes")

# (the hostile part, as the message shows it, where it can be: a command name
# read as UTF-8, which no CR nor invalid byte reaches; a file name, which
# holds no NUL)
HOSTILE = [
    (b"\x1b[2J", "\\x1b[2J", "command name and file name"),
    (b"\x1b]0;owned\x07", "\\x1b]0;owned\\x07", "command name and file name"),
    (b"\x00", "\\x00", "command name"),
    (b"\xc2\x9b2J", "\\xc2\\x9b2J", "command name and file name"),
    (b"a\rb", "a\\x0db", "file name"),
    (b"\xff\xc3", "\\xff\\xc3", "file name"),
]
# Lines that draw nothing, past the bytes a command file's kind is told from.
PAST_THE_KIND = b"LC\t\r\n" * 1100


def run(program, args, cwd):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", PLOTDXF_UNATTENDED="1")
    done = subprocess.run([str(program), *args], cwd=cwd, env=env, capture_output=True,
                          stdin=subprocess.DEVNULL, timeout=120)
    return done.returncode, done.stderr


def assert_printable(errors, shown, program):
    assert all(byte >= 0x20 and byte != 0x7F for line in errors.splitlines()
               for byte in line), errors
    text = errors.decode("utf-8")  # no byte that is not UTF-8 either
    assert shown in text, text
    assert all(line.startswith(f"{program.name}: ") for line in text.splitlines()), text


@pytest.mark.parametrize("hostile, shown, where", HOSTILE)
def test_what_a_message_quotes_reaches_stderr_escaped(tmp_path, hostile, shown, where):
    program = tmp_path / "program"
    install(program, "LR\t300\t\r\n")
    work = tmp_path / "work"
    work.mkdir()
    (work / "log.txt").write_bytes(PAST_THE_KIND + b"X" + hostile + b"\t1\t\r\n")
    plotdxf = program / BINARY.name
    cases = []
    if "command name" in where:
        cases.append((plotdxf, [b"-i", b"log.txt", b"-o", b"/dev/null", b"--encoding", b"utf-8"],
                      0))
    if "file name" in where:
        name = b"missing/" + hostile
        cases += [
            (plotdxf, [b"-i", name + b".txt"], 2),
            (plotdxf, [name + b".dxf"], 2),  # the classic form's drawing
        ]
        if VIEWER.exists():
            install(program, binary=VIEWER, name="plotdxf-view")
            cases.append((program / "plotdxf-view", [b"-i", b"log.txt", b"--png", name], 2))
    for executable, args, status in cases:
        done_status, errors = run(executable, args, work)
        assert done_status == status, (args, errors)
        assert_printable(errors, shown, executable)
