"""End-to-end fixtures: the built plotdxf copied with a command file into a
fresh folder, started from another folder, and its DXF read back by ezdxf."""

import os
import shutil
import subprocess
from dataclasses import dataclass
from pathlib import Path

import ezdxf
import pytest
from ezdxf import recover

SOURCE_DIR = Path(os.environ.get("PLOTDXF_SOURCE_DIR", Path(__file__).resolve().parents[2]))
BINARY = Path(os.environ.get("PLOTDXF_BIN", SOURCE_DIR / "build" / "plotdxf"))


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


@pytest.fixture
def convert(tmp_path):
    """convert(commands, args=[], hatch=None) -> Conversion."""
    counter = [0]

    def run(commands=None, args=(), hatch=None, timeout=120):
        counter[0] += 1
        folder = tmp_path / f"program{counter[0]}"
        folder.mkdir()
        shutil.copy2(BINARY, folder / "plotdxf")
        if hatch is None:
            shutil.copy2(SOURCE_DIR / "data" / "kqhatch.pat", folder / "kqhatch.pat")
        elif hatch is not False:
            (folder / "kqhatch.pat").write_bytes(to_bytes(hatch))
        if commands is not None:
            (folder / "tempdxf.txt").write_bytes(to_bytes(commands))
        elsewhere = tmp_path / f"caller{counter[0]}"
        elsewhere.mkdir()
        result = subprocess.run(
            [str(folder / "plotdxf"), *args],
            cwd=elsewhere,
            capture_output=True,
            timeout=timeout,
            stdin=subprocess.DEVNULL,
        )
        assert not any(elsewhere.iterdir()), "nothing may be written in the caller's folder"
        return Conversion(folder, result.returncode, result.stdout.decode("latin-1"),
                          result.stderr.decode("latin-1"))

    return run
