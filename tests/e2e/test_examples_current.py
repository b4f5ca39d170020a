"""The drawings and pictures checked in beside the examples are what the
programs make of them now: examples/NAME.dxf byte for byte (the DXF writer is
deterministic: no time stamps, no addresses, no random handles) and
examples/NAME.png pixel for pixel, but for a few antialiased edge pixels.

tools/render-examples makes them again after a change to the converter, the
hatch patterns, the screen view or an example."""

import os
import struct
import subprocess
import zlib
from pathlib import Path

import pytest

from conftest import BINARY, ON_WINDOWS, SOURCE_DIR, to_bytes

EXAMPLES = sorted((SOURCE_DIR / "examples").glob("*.txt"))
VIEWER = BINARY.parent / "plotdxf-view"
PICTURE_SIZE = "850x1100"  # what tools/render-examples asks for
# Share of the pixels that may differ: glyph edges antialiased a little
# differently by another build of the same sources (sanitizers, clang).
DIFFERING_PIXELS_ALLOWED = 0.0005
REGENERATE = ("run tools/render-examples and commit what it changes (with the fonts that "
              "tools/install-deps installs: the pictures' texts depend on them)")


def test_there_are_examples():
    assert len(EXAMPLES) >= 3
    for example in EXAMPLES:
        assert example.with_suffix(".dxf").exists(), f"{example.with_suffix('.dxf')}: {REGENERATE}"
        assert example.with_suffix(".png").exists(), f"{example.with_suffix('.png')}: {REGENERATE}"


def first_difference(made, expected):
    """The first line where two DXF files differ, for the failure message."""
    made_lines, expected_lines = made.splitlines(), expected.splitlines()
    for number, (line, wanted) in enumerate(zip(made_lines, expected_lines), 1):
        if line != wanted:
            return f"line {number}: {line!r} where the checked-in file has {wanted!r}"
    return f"{len(made_lines)} lines where the checked-in file has {len(expected_lines)}"


@pytest.mark.skipif(ON_WINDOWS, reason="the Windows build's sines differ in the last bits; "
                    "test_windows.py compares it with the Linux build")
@pytest.mark.parametrize("example", EXAMPLES, ids=lambda path: path.stem)
def test_the_checked_in_drawing_is_current(convert, example):
    name = example.stem + ".dxf"
    conversion = convert(example.read_bytes(), args=[name])
    assert conversion.returncode == 0, conversion.stderr
    conversion.read(name)  # the independent reader's audit is clean
    made = conversion.dxf_path(name).read_bytes()
    expected = example.with_suffix(".dxf").read_bytes()
    assert made == expected, (
        f"examples/{name} is not what plotdxf writes now ({first_difference(made, expected)}): "
        + REGENERATE)


def test_a_conversion_is_repeatable(convert):
    """The same command file gives the same bytes, whenever it is converted."""
    commands = EXAMPLES[0].read_bytes()
    first = convert(commands)
    second = convert(commands)
    assert first.dxf_path().read_bytes() == second.dxf_path().read_bytes()


# PNG reading: Pillow where it is installed, else the decoder below (8-bit
# grey, RGB, palette, grey + alpha and RGBA, not interlaced: what Qt writes).

def decode_png(data):
    """(width, height, RGBA bytes) of a PNG image, in pure Python."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG file"
    position, header, palette, compressed = 8, None, None, []
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        position += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = body
        elif kind == b"IDAT":
            compressed.append(body)
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and interlace == 0, f"unsupported PNG: depth {depth}, interlace {interlace}"
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    stride = width * channels
    raw = zlib.decompress(b"".join(compressed))
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        if kind == 1:  # Sub
            for i in range(channels, stride):
                row[i] = (row[i] + row[i - channels]) & 0xFF
        elif kind == 2:  # Up
            row = bytearray((a + b) & 0xFF for a, b in zip(row, previous))
        elif kind == 3:  # Average
            for i in range(stride):
                left = row[i - channels] if i >= channels else 0
                row[i] = (row[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:  # Paeth
            for i in range(stride):
                a = row[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(row))
        previous = row
    pixels = b"".join(rows)
    if colour == 6:
        return width, height, pixels
    rgba = bytearray(width * height * 4)
    if colour == 2:
        for channel in range(3):
            rgba[channel::4] = pixels[channel::3]
        rgba[3::4] = b"\xff" * (width * height)
    elif colour == 0:
        for channel in range(3):
            rgba[channel::4] = pixels
        rgba[3::4] = b"\xff" * (width * height)
    elif colour == 4:
        for channel in range(3):
            rgba[channel::4] = pixels[0::2]
        rgba[3::4] = pixels[1::2]
    else:
        for i, index in enumerate(pixels):
            rgba[4 * i:4 * i + 3] = palette[3 * index:3 * index + 3]
            rgba[4 * i + 3] = 255
    return width, height, bytes(rgba)


def read_png(path):
    """(width, height, RGBA bytes) of a PNG file."""
    try:
        from PIL import Image
    except ImportError:
        return decode_png(Path(path).read_bytes())
    with Image.open(path) as image:
        return image.width, image.height, image.convert("RGBA").tobytes()


def differing_pixels(first, second):
    if first == second:
        return 0
    return sum(1 for i in range(0, len(first), 4) if first[i:i + 4] != second[i:i + 4])


def test_the_png_decoder_reads_what_pillow_reads():
    pytest.importorskip("PIL")
    picture = EXAMPLES[0].with_suffix(".png")
    assert decode_png(picture.read_bytes()) == read_png(picture)


def render(tmp_path, example, form="png"):
    """plotdxf-view's picture of an example (PNG, or "pdf", "svg"), made in a
    fresh program folder."""
    folder = tmp_path / "program"
    folder.mkdir()
    for source, name in ((VIEWER, "plotdxf-view"), (SOURCE_DIR / "data" / "kqhatch.pat", "kqhatch.pat")):
        (folder / name).write_bytes(source.read_bytes())
        os.chmod(folder / name, 0o755)
    (folder / "tempdxf.txt").write_bytes(to_bytes(example.read_bytes()))
    runtime = tmp_path / "runtime"
    runtime.mkdir(mode=0o700)
    picture = tmp_path / f"{example.stem}.{form}"
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=str(runtime))
    result = subprocess.run([str(folder / "plotdxf-view"), f"--{form}", str(picture), "--size", PICTURE_SIZE],
                            cwd=tmp_path, env=env, capture_output=True, stdin=subprocess.DEVNULL,
                            timeout=300)
    assert result.returncode == 0, result.stderr.decode("latin-1")
    return picture


@pytest.mark.skipif(ON_WINDOWS or not VIEWER.exists(), reason="no plotdxf-view beside the converter")
@pytest.mark.parametrize("example", EXAMPLES, ids=lambda path: path.stem)
def test_the_checked_in_picture_is_current(tmp_path, example):
    made = render(tmp_path, example)
    expected = example.with_suffix(".png")
    made_width, made_height, made_pixels = read_png(made)
    width, height, pixels = read_png(expected)
    assert (made_width, made_height) == (width, height), (
        f"{expected.name} is {width}x{height}, plotdxf-view makes {made_width}x{made_height}: "
        + REGENERATE)
    differing = differing_pixels(made_pixels, pixels)
    assert differing <= DIFFERING_PIXELS_ALLOWED * width * height, (
        f"examples/{expected.name} differs from what plotdxf-view draws now in {differing} of "
        f"{width * height} pixels (the new picture is {made}): " + REGENERATE)
