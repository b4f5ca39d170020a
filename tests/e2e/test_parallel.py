"""In the explicit form two conversions never share a file, so any number may
run at once: twenty conversions of twenty different command files, started
together, give twenty right drawings, round after round."""

import subprocess

from ezdxf import recover

from conftest import EXE_NAME, LAUNCHER, RUNNER, install, start, to_bytes

COUNT = 20
ROUNDS = 3


def commands(number):
    """A log of its own: its number as text and a line as long as the number."""
    return (f"S\t600\t600\t\nAL\t\nA\tlog {number}\t\nLR\t{60 * number}\t\n"
            f"FPF\tGW\t\nRF\t{300 + number}\t300\t\nSTOP\t\n")


def check(path, number):
    doc, auditor = recover.readfile(path)
    assert not auditor.has_errors, path
    msp = doc.modelspace()
    assert [e.dxf.text for e in msp.query("TEXT")] == [f"log {number}"], path
    [line] = msp.query("LINE")
    assert round(line.dxf.end.x - line.dxf.start.x, 6) == round(number / 10, 6), path


def test_twenty_conversions_at_once_give_twenty_right_drawings(tmp_path):
    program = tmp_path / "program"
    install(program)
    work = tmp_path / "work"
    work.mkdir()
    for number in range(COUNT):
        (work / f"log{number}.txt").write_bytes(to_bytes(commands(number)))
    for round_ in range(ROUNDS):
        for old in work.glob("*.dxf"):
            old.unlink()
        if LAUNCHER is None:
            processes = [subprocess.Popen([*RUNNER, str(program / EXE_NAME), "-i",
                                           f"log{number}.txt"], cwd=work,
                                          stdin=subprocess.DEVNULL, stderr=subprocess.PIPE)
                         for number in range(COUNT)]
            results = [(p.wait(timeout=300), p.stderr.read()) for p in processes]
            for p in processes:
                p.stderr.close()
        else:  # through the launcher, one after another is all it can do
            results = [(r.returncode, r.stderr) for r in (
                start(program, ["-i", f"log{number}.txt"], cwd=work) for number in range(COUNT))]
        assert results == [(0, b"")] * COUNT, f"round {round_}"
        for number in range(COUNT):
            check(work / f"log{number}.dxf", number)
        assert sorted(p.name for p in program.iterdir()) == sorted([EXE_NAME, "kqhatch.pat"])
