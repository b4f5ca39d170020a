"""The page as SVG opens in a browser as it shows in the viewer: headless
Chromium (Debian's `chromium`) draws plotdxf-view's SVG of the boring log,
and the picture matches plotdxf-view's PNG of it.

The browser antialiases every line and glyph where the PNG does not, so the
two are compared as the eye sees them at arm's length: the mean darkness of
each cell of 10 x 10 pixels (a tenth of an inch). Tolerance: no cell differs
by more than a quarter of full black, the cells differ by 3 % of full black
on average, and the whole page's ink agrees within 10 %. A blank page, or the
log moved by a tenth of an inch, fails all three by far.

Chromium is needed only here (`tools/install-deps --tests` installs it): the
test says why it is skipped when it is missing, except in CI (CI=true),
where it must be there."""

import os
import shutil
import subprocess

import pytest

from conftest import ON_WINDOWS, SOURCE_DIR
from test_examples_current import VIEWER, read_png, render

CELL = 10
MOST_CELL_DIFFERENCE = 0.25
MOST_MEAN_DIFFERENCE = 0.03
MOST_INK_DIFFERENCE = 0.10

CHROMIUM = shutil.which("chromium")
if CHROMIUM is None and os.environ.get("CI") == "true":
    pytest.fail("CI installs chromium for this test (tools/install-deps --tests); it is missing",
                pytrace=False)
pytestmark = [
    pytest.mark.skipif(ON_WINDOWS or not VIEWER.exists(), reason="no plotdxf-view beside the converter"),
    pytest.mark.skipif(CHROMIUM is None,
                       reason="chromium (a test-only dependency) is not installed: "
                              "tools/install-deps --tests installs it"),
]


def darkness_cells(path):
    """(columns, rows, darkness 0..1 of each cell) of a PNG, row by row."""
    width, height, rgba = read_png(path)
    columns, rows = width // CELL, height // CELL
    cells = [0.0] * (columns * rows)
    for y in range(rows * CELL):
        row = (y // CELL) * columns
        line = y * width * 4
        for x in range(columns * CELL):
            i = line + x * 4
            grey = (rgba[i] * 299 + rgba[i + 1] * 587 + rgba[i + 2] * 114) / 255000
            cells[row + x // CELL] += 1 - grey
    return columns, rows, [c / (CELL * CELL) for c in cells]


def difference(first, second):
    """(largest cell difference, mean cell difference, relative ink difference)."""
    assert first[:2] == second[:2], f"sizes differ: {first[:2]} and {second[:2]}"
    a, b = first[2], second[2]
    differences = [abs(x - y) for x, y in zip(a, b)]
    ink = sum(a)
    return max(differences), sum(differences) / len(differences), abs(sum(b) - ink) / ink


def matches(first, second):
    largest, mean, ink = difference(first, second)
    return largest <= MOST_CELL_DIFFERENCE and mean <= MOST_MEAN_DIFFERENCE and ink <= MOST_INK_DIFFERENCE


def browser_picture(tmp_path, svg):
    """Chromium's screenshot of the SVG shown at 850 x 1100 CSS pixels."""
    page = tmp_path / "page.html"
    page.write_text(f'<html><body style="margin:0;background:white">'
                    f'<img src="{svg.name}" width="850" height="1100"></body></html>')
    shot = tmp_path / "browser.png"
    home = tmp_path / "browser-home"  # the browser's profile and caches stay in here
    home.mkdir()
    env = dict(os.environ, HOME=str(home), XDG_CONFIG_HOME=str(home), XDG_CACHE_HOME=str(home))
    result = subprocess.run(
        [CHROMIUM, "--headless", "--disable-gpu", "--no-sandbox", "--hide-scrollbars",
         f"--user-data-dir={home / 'profile'}", f"--screenshot={shot}", "--window-size=850,1100",
         page.as_uri()],
        cwd=tmp_path, env=env, capture_output=True, stdin=subprocess.DEVNULL, timeout=180)
    assert shot.exists(), result.stderr.decode("latin-1")
    return shot


def test_the_svg_in_a_browser_matches_the_png(tmp_path):
    example = SOURCE_DIR / "examples" / "boring_log.txt"
    (tmp_path / "png").mkdir()
    (tmp_path / "svg").mkdir()
    png = render(tmp_path / "png", example)
    svg = render(tmp_path / "svg", example, form="svg")
    assert svg.read_bytes().startswith(b"<?xml")
    viewer = darkness_cells(png)
    browser = darkness_cells(browser_picture(tmp_path / "svg", svg))
    largest, mean, ink = difference(viewer, browser)
    assert matches(viewer, browser), (
        f"largest cell difference {largest:.3f}, mean {mean:.4f}, ink {ink:.3f} (allowed "
        f"{MOST_CELL_DIFFERENCE}, {MOST_MEAN_DIFFERENCE}, {MOST_INK_DIFFERENCE})")

    # The comparison tells a wrong picture from a right one.
    columns, rows, cells = viewer
    blank = (columns, rows, [0.0] * len(cells))
    moved = (columns, rows, [cells[i - 1] if i % columns else 0.0 for i in range(len(cells))])
    assert not matches(viewer, blank)
    assert not matches(viewer, moved)
