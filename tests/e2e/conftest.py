"""End-to-end fixtures: the built plotdxf copied with a command file into a
fresh folder, started from another folder, and its DXF read back by ezdxf.

The Windows build runs the same suite under Wine (tools/windows-check):

- PLOTDXF_RUNNER: the command that runs the program, such as "wine"
- PLOTDXF_EXE: the program's file name in its folder, such as "plotdxf.exe"
- PLOTDXF_LAUNCHER: plotdxf_command_line_runner.exe; when given, the program
  is started through it with a command line written as a Windows caller
  writes it: the program's quoted path, a blank, and the text after it.
"""

import os
import shlex
import shutil
import subprocess
from dataclasses import dataclass
from pathlib import Path, PurePath

import ezdxf
import pytest
from ezdxf import recover

SOURCE_DIR = Path(os.environ.get("PLOTDXF_SOURCE_DIR", Path(__file__).resolve().parents[2]))
BINARY = Path(os.environ.get("PLOTDXF_BIN", SOURCE_DIR / "build" / "plotdxf"))
RUNNER = shlex.split(os.environ.get("PLOTDXF_RUNNER", ""))
EXE_NAME = os.environ.get("PLOTDXF_EXE", "plotdxf")
LAUNCHER = os.environ.get("PLOTDXF_LAUNCHER")
ON_WINDOWS = EXE_NAME.lower().endswith(".exe")


def windows_path(path):
    """The name Wine gives a Linux path: drive Z: is the Linux root."""
    return "Z:" + str(PurePath(path)).replace("/", "\\")


def start(folder, args=(), *, cwd, command_text=None, program=None, timeout=120, **kwargs):
    """Runs the program in `folder` from the folder `cwd`.

    POSIX hands `args` over as they are. Through the launcher the command line
    is the quoted `program` (the Windows name of the program in `folder`
    unless given), a blank and `command_text`, which defaults to `args`
    joined by single blanks: what the POSIX build makes of its arguments."""
    kwargs.setdefault("capture_output", True)
    kwargs.setdefault("stdin", subprocess.DEVNULL)
    executable = Path(folder) / EXE_NAME
    if LAUNCHER is None:
        assert command_text is None and program is None, "needs PLOTDXF_LAUNCHER"
        return subprocess.run([*RUNNER, str(executable), *args], cwd=cwd, timeout=timeout,
                              **kwargs)
    if command_text is None:
        command_text = " ".join(args)
    command_line = f'"{program or windows_path(executable)}"'
    if command_text:
        command_line += " " + command_text
    env = dict(os.environ, PLOTDXF_COMMAND_LINE=command_line)
    return subprocess.run([*RUNNER, LAUNCHER], cwd=cwd, env=env, timeout=timeout, **kwargs)


@dataclass
class Conversion:
    folder: Path  # the program folder
    returncode: int
    stdout: str
    stderr: str

    def dxf_path(self, name="temp.dxf"):
        return self.folder / name

    def read(self, name="temp.dxf"):
        """Reads the DXF, asserting the independent reader's audit is clean."""
        path = self.dxf_path(name)
        assert path.exists(), f"{path} was not written; stderr: {self.stderr}"
        return read_dxf(path)


def read_dxf(path):
    """Reads a DXF, asserting the independent reader's audit is clean."""
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    assert not auditor.errors, [str(e.message) for e in auditor.errors]
    assert not auditor.fixes, [str(f.message) for f in auditor.fixes]
    _, recovered = recover.readfile(path)
    assert not recovered.errors, [str(e.message) for e in recovered.errors]
    return doc


def to_bytes(commands):
    """Command files are 8-bit text with CR LF line ends; str input uses
    '\\n' for line ends and is encoded as Windows-1252."""
    if isinstance(commands, bytes):
        return commands
    return commands.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp1252")


def install(folder, commands=None, hatch=None, binary=BINARY, name=EXE_NAME):
    """Puts the program, its hatch patterns and the command file into `folder`."""
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copy2(binary, folder / name)
    if hatch is None:
        shutil.copy2(SOURCE_DIR / "data" / "kqhatch.pat", folder / "kqhatch.pat")
    elif hatch is not False:
        (folder / "kqhatch.pat").write_bytes(to_bytes(hatch))
    if commands is not None:
        (folder / "tempdxf.txt").write_bytes(to_bytes(commands))


@pytest.fixture
def convert(tmp_path):
    """convert(commands, args=[], hatch=None, command_text=None) -> Conversion;
    `command_text` is the Windows build's command line after the program name."""
    counter = [0]

    def run(commands=None, args=(), hatch=None, timeout=120, command_text=None):
        counter[0] += 1
        folder = tmp_path / f"program{counter[0]}"
        install(folder, commands, hatch)
        elsewhere = tmp_path / f"caller{counter[0]}"
        elsewhere.mkdir()
        result = start(folder, args, cwd=elsewhere, command_text=command_text, timeout=timeout)
        assert not any(elsewhere.iterdir()), "nothing may be written in the caller's folder"
        return Conversion(folder, result.returncode, result.stdout.decode("latin-1"),
                          result.stderr.decode("latin-1"))

    return run
