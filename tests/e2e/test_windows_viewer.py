"""The Windows screen view, run under Wine by tools/windows-check: the page it
renders headless against the Linux viewer's, and the real window on an X
server (Xvfb), driven with xdotool and looked at in screenshots.

- PLOTDXF_WINDOWS_VIEW_BIN: plotdxf-view.exe
- PLOTDXF_LINUX_VIEW_BIN: the Linux plotdxf-view built from the same tree
- DISPLAY: the X server Wine shows windows on
- PLOTDXF_SCREENSHOTS: a folder to keep the screenshots in (optional)
"""

import os
import re
import resource
import shutil
import signal
import subprocess
import time
from pathlib import Path

import pytest

np = pytest.importorskip("numpy")
Image = pytest.importorskip("PIL.Image")

from conftest import BINARY, RUNNER, SOURCE_DIR, install, read_dxf, to_bytes, windows_path

VIEW_BIN = os.environ.get("PLOTDXF_WINDOWS_VIEW_BIN")
LINUX_VIEW_BIN = os.environ.get("PLOTDXF_LINUX_VIEW_BIN")
SCREENSHOTS = os.environ.get("PLOTDXF_SCREENSHOTS")
VIEW_EXE = "plotdxf-view.exe"
BORING_LOG = SOURCE_DIR / "examples" / "boring_log.txt"

pytestmark = pytest.mark.skipif(not (VIEW_BIN and RUNNER),
                                reason="needs PLOTDXF_WINDOWS_VIEW_BIN and Wine")

needs_display = pytest.mark.skipif(
    not os.environ.get("DISPLAY") or not shutil.which("xdotool") or not shutil.which("import"),
    reason="needs an X server (DISPLAY), xdotool and ImageMagick")

# Wine's scroll bars are this thick (its default SM_CXVSCROLL and SM_CYHSCROLL).
BAR = 16
# Ink: darker than mid-grey.
INK_LEVEL = 128


def ink(picture):
    """The dark pixels of an RGB or grey picture as a boolean array."""
    grey = picture if picture.ndim == 2 else picture.mean(axis=2)
    return grey < INK_LEVEL


def grown(mask):
    """`mask` with every pixel's eight neighbours set too."""
    out = mask.copy()
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            out |= np.roll(np.roll(mask, dy, 0), dx, 1)
    return out


def unmatched_ink(a, b):
    """Ink pixels of either picture with no ink of the other within one pixel."""
    a, b = ink(a), ink(b)
    return int(((a & ~grown(b)) | (b & ~grown(a))).sum())


def read_png(path):
    return np.asarray(Image.open(path).convert("RGB")).astype(np.int16)


# --- The page headless -----------------------------------------------------------

def render_windows(tmp_path, commands, *args):
    folder = tmp_path / "windows"
    install(folder, commands, binary=Path(VIEW_BIN), name=VIEW_EXE)
    return subprocess.run([*RUNNER, str(folder / VIEW_EXE), *args], cwd=folder,
                          capture_output=True, stdin=subprocess.DEVNULL, timeout=120)


EXAMPLES = sorted((SOURCE_DIR / "examples").glob("*.txt"))


@pytest.mark.skipif(not LINUX_VIEW_BIN, reason="PLOTDXF_LINUX_VIEW_BIN is not set")
@pytest.mark.parametrize("example", EXAMPLES, ids=[e.stem for e in EXAMPLES])
def test_the_png_agrees_with_the_linux_viewer_within_anti_aliasing(tmp_path, example):
    windows = render_windows(tmp_path, example.read_bytes(), "--png", "page.png")
    assert windows.returncode == 0, windows.stderr
    linux_folder = tmp_path / "linux"
    install(linux_folder, example.read_bytes(), binary=Path(LINUX_VIEW_BIN), name="plotdxf-view")
    linux = subprocess.run([str(linux_folder / "plotdxf-view"), "--png", "page.png"],
                           cwd=linux_folder, capture_output=True, timeout=120,
                           env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    assert linux.returncode == 0, linux.stderr

    ours = read_png(tmp_path / "windows" / "page.png")
    theirs = read_png(linux_folder / "page.png")
    assert ours.shape == theirs.shape == (1100, 850, 3)
    # Lines, fills and hatches land on the same pixels, give or take the one
    # pixel that rounding and anti-aliasing move an edge by. Text differs a
    # little more: GDI draws hinted glyphs at whole-pixel sizes, Qt unhinted
    # outlines, placed alike character by character.
    assert unmatched_ink(ours, theirs) <= 0.003 * ours.shape[0] * ours.shape[1]
    assert abs(int(ink(ours).sum()) - int(ink(theirs).sum())) <= 0.1 * ink(theirs).sum()


def test_a_pdf_without_the_system_pdf_printer_is_refused(tmp_path):
    run = render_windows(tmp_path, BORING_LOG.read_bytes(), "--pdf", "page.pdf")
    if (tmp_path / "windows" / "page.pdf").exists():
        pytest.skip("this Windows has the PDF printer")
    assert run.returncode == 2
    assert '"Microsoft Print to PDF" printer is not installed' in run.stderr.decode("latin-1")


def test_a_png_that_cannot_be_written_whole_keeps_the_old_picture(tmp_path):
    folder = tmp_path / "windows"
    install(folder, BORING_LOG.read_bytes(), binary=Path(VIEW_BIN), name=VIEW_EXE)
    old = b"\x89PNG\r\n\x1a\nthe old picture"  # a PNG: the one kind a PNG may replace
    (folder / "page.png").write_bytes(old)

    def small_files():
        # Writes past 4 KiB fail, as on a full disk (the Wine server, which
        # was started before, creates the files; this process writes them).
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (4096, resource.RLIM_INFINITY))

    run = subprocess.run([*RUNNER, str(folder / VIEW_EXE), "--png", "page.png"], cwd=folder,
                         capture_output=True, stdin=subprocess.DEVNULL, timeout=120,
                         preexec_fn=small_files)
    assert run.returncode == 2, run.stderr
    assert "the picture could not be written: " in run.stderr.decode("latin-1")
    assert (folder / "page.png").read_bytes() == old
    assert sorted(p.name for p in folder.iterdir()) == ["kqhatch.pat", "page.png",
                                                        "plotdxf-view.exe", "tempdxf.txt"]


# --- The window ----------------------------------------------------------------


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True,
                          timeout=30).stdout


# Wine's traces of what the program does with its menus and its status bar.
TRACES = {"WINEDEBUG": "+menu,+statusbar"}


class Viewer:
    """plotdxf-view.exe shown on the X server, its message boxes written to
    stderr and answered OK (PLOTDXF_UNATTENDED)."""

    def __init__(self, folder, env=None, args=()):
        self.folder = folder
        self.stderr_path = folder.parent / f"{folder.name}.stderr"
        self.stderr = open(self.stderr_path, "wb")
        environment = dict(os.environ, PLOTDXF_UNATTENDED="1", **(env or {}))
        self.process = subprocess.Popen([*RUNNER, str(folder / VIEW_EXE), *args], cwd=folder,
                                        env=environment, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.stderr)
        self.window = self._wait_for_window()
        xdotool("windowfocus", "--sync", self.window)
        geometry = dict(line.split("=") for line in
                        xdotool("getwindowgeometry", "--shell", self.window).split())
        self.x, self.y = int(geometry["X"]), int(geometry["Y"])
        self.resized(int(geometry["WIDTH"]), int(geometry["HEIGHT"]))

    def resized(self, width, height):
        """The window is now width x height: where its parts are."""
        self.width, self.height = width, height
        self.client_top = self._client_top()
        self.bottom = self._status_bar_top() - self.client_top

    def title(self):
        return xdotool("getwindowname", self.window).strip()

    def _wait_for_window(self):
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            found = xdotool("search", "--onlyvisible", "--name", "Screen View$").split()
            if found:
                assert len(found) == 1, "one window at a time"
                time.sleep(1)  # the first paint
                return found[0]
            assert self.process.poll() is None, self.messages()
            time.sleep(0.2)
        pytest.fail("the window did not open: " + self.messages())

    def _client_top(self):
        """The client area's first row in the window: the top of the vertical
        bar's arrow button, the first thing drawn below the menu bar in the
        column through the bar's middle."""
        column = self.shot()[:, self.width - BAR // 2]
        return int(np.argmax(column.mean(axis=1) < 250))

    def _status_bar_top(self):
        """The status bar's first row in the window: its edge, the first row
        from the bottom up that differs from the bar's plain face."""
        column = self.shot()[:, 1].mean(axis=1)
        face = column[-2]
        return int(self.height - 2 - np.argmax(column[::-1][1:] != face))

    def shot(self, name=None):
        """The window's pixels, menus open over it included, as an RGB array."""
        png = subprocess.run(["import", "-window", "root", "-crop",
                              f"{self.width}x{self.height}+{self.x}+{self.y}", "png:-"],
                             capture_output=True, check=True, timeout=30).stdout
        path = self.folder.parent / "shot.png"
        path.write_bytes(png)
        if SCREENSHOTS and name:
            Path(SCREENSHOTS).mkdir(parents=True, exist_ok=True)
            shutil.copy(path, Path(SCREENSHOTS) / f"{name}.png")
        return read_png(path)

    def drawing_area(self, picture):
        """The part of a shot the drawing is painted in: the client area less
        the bars and the status bar."""
        return picture[self.client_top:self.client_top + self.bottom - BAR, 0:self.width - BAR]

    def status(self):
        """What the status bar's parts say, from Wine's trace of the texts
        they were given: [message, incomplete mark, pointer's place]."""
        parts = ["", "", ""]
        for part, text in re.findall(r'STATUSBAR_SetTextT part (\d), text L"(.*)"',
                                     self.messages()):
            parts[int(part)] = re.sub(r"\\(.)", r"\1", text)  # as the trace escapes it
        return parts

    def boxes(self):
        """The program's message boxes said on stderr, Wine's lines left out."""
        return "".join(line + "\n" for line in self.messages().splitlines()
                       if line.startswith("plotdxf"))

    def at(self, x, y):
        """Screen position of client pixel (x, y)."""
        return self.x + x, self.y + self.client_top + y

    def key(self, *keys, settle=1.0):
        xdotool("key", "--delay", 150, *keys)
        time.sleep(settle)

    def click(self, x, y, settle=1.0):
        xdotool("mousemove", *self.at(x, y), "click", 1)
        time.sleep(settle)

    def messages(self):
        self.stderr.flush()
        return self.stderr_path.read_bytes().decode("latin-1").replace("\r\n", "\n")

    def wait(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.stderr.close()


@pytest.fixture
def viewer(tmp_path):
    """viewer(commands, env=None) -> Viewer of `commands` in a fresh program folder."""
    shown = []

    def show(commands=None, env=None, folder=None, args=()):
        folder = folder or tmp_path / "program"
        # None: the boring log; False: no tempdxf.txt at all.
        if commands is None:
            commands = BORING_LOG.read_bytes()
        install(folder, commands or None, binary=Path(VIEW_BIN), name=VIEW_EXE)
        shown.append(Viewer(folder, env, args))
        return shown[-1]

    yield show
    for window in shown:
        window.close()


def menus_built(trace):
    """[(menu caption, [item captions, "-" for a separator])] from Wine's menu
    trace, in the order the program built them."""
    items, menus = [], []
    for line in trace.splitlines():
        found = re.search(r'InsertMenuW hMenu \w+, pos -1, flags (\w+), id \w+, str (?:L"(.*)")?',
                          line)
        if not found:
            continue
        flags, caption = int(found.group(1), 16), found.group(2)
        if flags & 0x10:  # MF_POPUP: a menu of the bar, holding the items before it
            menus.append((caption, items))
            items = []
        elif flags & 0x800:  # MF_SEPARATOR
            items.append("-")
        elif caption is not None:  # not a bitmap of the system's own menus
            items.append(caption.replace("\\t", "\t"))
    return menus


@needs_display
def test_the_window_opens_with_the_boring_log_and_the_classic_menu(viewer):
    window = viewer(env=TRACES)
    assert window.title() == "tempdxf.txt - Screen View"
    page = window.drawing_area(window.shot("01-opened"))
    # The whole page is in view: the frame's corners, the title and the columns.
    assert ink(page).mean() > 0.02
    rows_with_ink = np.flatnonzero(ink(page).any(axis=1))
    assert rows_with_ink[0] < page.shape[0] * 0.15 and rows_with_ink[-1] > page.shape[0] * 0.85

    menus = menus_built(window.messages())
    assert menus[:2] == [
        ("&File", ["&Open...\tCtrl+O", "&Reload\tF5", "-",
                   "Export to &DXF", "Export &As...", "-", "Print &Setup", "&Print",
                   "Print &to PDF...", "-", "&Exit Screen View"]),
        ("&Zoom", ["Zoom &Window\tCtrl+W", "Zoom &Last\tCtrl+L", "Zoom &Page\tCtrl+P", "-",
                   "Zoom &In", "Zoom &Out", "Zoom Li&mits"]),
    ]
    # Alt+F opens the File menu under the bar with its first item selected,
    # in the system's selection colour; Escape closes it again.
    window.key("alt+f", settle=1.5)
    assert selected(window.shot("02-file-menu")[window.client_top:window.client_top + 40]) > 100
    window.key("Escape", "Escape")
    assert selected(window.shot()[window.client_top:window.client_top + 40]) == 0


def selected(picture):
    """How many pixels have the blue of a selected menu item."""
    red, blue = picture[:, :, 0], picture[:, :, 2]
    return int((blue - red > 100).sum())


def best_shift(before, after, largest=80):
    """The horizontal shift of `after` against `before` that matches best."""
    a, b = ink(before), ink(after)
    scores = {}
    for shift in range(-largest, largest + 1):
        if shift >= 0:
            scores[shift] = (a[:, shift:] != b[:, :b.shape[1] - shift]).sum()
        else:
            scores[shift] = (a[:, :shift] != b[:, -shift:]).sum()
    return min(scores, key=scores.get)


@needs_display
def test_an_arrow_of_the_horizontal_bar_pans_a_twentieth_of_the_view(viewer):
    window = viewer()
    before = window.drawing_area(window.shot())
    width = window.width - BAR
    # The right arrow: the horizontal bar's right end, left of the corner square.
    window.click(width - BAR // 2, window.bottom - BAR // 2)
    after = window.drawing_area(window.shot("03-panned-right"))
    # The drawing moved left by a twentieth of the drawing area's width.
    assert best_shift(before, after) in (int(width / 20), int(width / 20) + 1)
    # The left arrow brings it back.
    window.click(BAR // 2, window.bottom - BAR // 2)
    assert unmatched_ink(window.drawing_area(window.shot()), before) == 0


GRID_INCHES = 0.5


def grid_commands():
    """Vertical and horizontal lines every half inch over the page."""
    lines = ["LW\t1\t"]
    for x in range(300, 5100, 300):
        lines += [f"S\t{x}\t300\t", "LU\t6000\t"]
    for y in range(300, 6600, 300):
        lines += [f"S\t300\t{y}\t", "LR\t4800\t"]
    return "\n".join(lines) + "\n"


def line_spacing(picture):
    """The median distance in pixels between the grid's vertical lines."""
    columns = np.flatnonzero(ink(picture).mean(axis=0) > 0.5)
    starts = columns[np.insert(np.diff(columns) > 1, 0, True)]
    return float(np.median(np.diff(starts)))


@needs_display
def test_zoom_window_zooms_to_the_band_and_zoom_last_goes_back(viewer):
    window = viewer(grid_commands())
    before = window.drawing_area(window.shot("04-grid"))
    spacing = line_spacing(before)
    height, width = before.shape[:2]

    window.key("ctrl+w")
    # A band a third of the area's width and height, from its middle.
    left, top = width // 3, height // 3
    right, bottom = left + width // 3, top + height // 3
    xdotool("mousemove", *window.at(left, top), "mousedown", 1)
    for step in range(1, 5):
        xdotool("mousemove", *window.at(left + (right - left) * step // 4,
                                        top + (bottom - top) * step // 4))
        time.sleep(0.2)
    time.sleep(0.5)
    dragging = window.drawing_area(window.shot("05-rubber-band"))
    # The band inverts what it crosses: white under its edges turns black.
    band_top = ink(dragging)[top, left + 5:right - 5]
    assert band_top.mean() > 0.9
    xdotool("mouseup", 1)
    time.sleep(1.5)
    zoomed = window.drawing_area(window.shot("06-zoomed"))
    # The band fills the view: three times as large (the band has the view's shape).
    assert line_spacing(zoomed) == pytest.approx(3 * spacing, rel=0.05)
    # Nothing of the band is left.
    assert ink(zoomed).mean() < 0.2

    window.key("ctrl+l", settle=1.5)
    assert unmatched_ink(window.drawing_area(window.shot("07-zoom-last")), before) == 0


@needs_display
def test_print_without_a_printer_says_so(viewer):
    window = viewer()
    window.key("alt+f", "p", settle=3)
    said = window.messages()
    if "Printing, Click OK to Continue..." in said and "printer" not in said.split("...")[-1]:
        pytest.skip("this Wine has a printer")
    assert said == ("Printing, Click OK to Continue...\n"
                    "plotdxf-view: No printer is available, and no PDF printer either: the page was "
                    "not printed.\n")
    assert window.process.poll() is None, "the window stays"


@needs_display
def test_export_writes_the_converters_drawing_and_exit_ends_the_program(viewer, tmp_path):
    # The tests' own folder stands in for \\temp of the current drive.
    classic_temp = tmp_path / "classic-temp"
    classic_temp.mkdir()
    window = viewer(env={"PLOTDXF_TEST_CLASSIC_TEMP": windows_path(classic_temp)})
    window.key("alt+f", "d", settle=3)
    # Export writes ztest.dxf into the classic temp folder, and names it.
    exported = classic_temp / "ztest.dxf"
    assert window.messages() == f"plotdxf-view: FILE CREATED:  {windows_path(exported)}\n"
    read_dxf(exported)  # audited clean by ezdxf

    # The converter makes the same drawing of the same command file.
    converter = tmp_path / "converter"
    install(converter, BORING_LOG.read_bytes(), binary=BINARY, name=BINARY.name)
    subprocess.run([*RUNNER, str(converter / BINARY.name), "out.dxf"], cwd=converter,
                   check=True, capture_output=True, stdin=subprocess.DEVNULL, timeout=120,
                   env=dict(os.environ, PLOTDXF_UNATTENDED="1"))
    assert exported.read_bytes() == (converter / "out.dxf").read_bytes()

    window.key("alt+f", "e", settle=0)
    assert window.wait() == 0
    assert "Run-time error" not in window.messages()
    assert not xdotool("search", "--onlyvisible", "--name", "Screen View$").split()


@needs_display
def test_export_without_a_temp_folder_on_the_drive_says_the_file_was_not_created(viewer):
    # The program's folder is on drive Z:, the machine's root.
    if Path("/temp").exists():
        pytest.skip("this machine has a /temp folder")
    window = viewer()
    window.key("alt+f", "d", settle=3)
    assert window.messages().startswith("plotdxf-view: FILE NOT CREATED:  \\temp\\ztest.dxf\n"), \
        window.messages()
    assert window.process.poll() is None, "the window stays"


@needs_display
def test_the_wheel_zooms_about_the_pointer_by_a_gentle_step(viewer):
    window = viewer(grid_commands())
    before = window.drawing_area(window.shot())
    spacing = line_spacing(before)
    height, width = before.shape[:2]
    # Three notches away from the user: 1.2 a notch, 1.728 in all.
    xdotool("mousemove", *window.at(width // 2, height // 2), "click", "--repeat", 3,
            "--delay", 200, 4)
    time.sleep(1.5)
    assert line_spacing(window.drawing_area(window.shot("08-wheel-in"))) == pytest.approx(
        1.2 ** 3 * spacing, rel=0.05)
    xdotool("click", "--repeat", 3, "--delay", 200, 5)
    time.sleep(1.5)
    assert line_spacing(window.drawing_area(window.shot())) == pytest.approx(spacing, rel=0.05)


@needs_display
def test_resizing_lays_out_the_bars_and_the_drawing_area_again(viewer):
    window = viewer(grid_commands())
    before = window.drawing_area(window.shot())
    xdotool("windowsize", window.window, 500, 400)
    time.sleep(1.5)
    window.resized(500, 400)
    after = window.drawing_area(window.shot("09-resized"))
    # The page is fitted to the new area: the height decides in both shapes.
    assert line_spacing(after) == pytest.approx(
        line_spacing(before) * after.shape[0] / before.shape[0], rel=0.05)
    # The horizontal bar lies along the new bottom edge: its right arrow pans.
    window.click(after.shape[1] - BAR // 2, after.shape[0] + BAR // 2)
    panned = window.drawing_area(window.shot())
    assert best_shift(after, panned) in (int(after.shape[1] / 20), int(after.shape[1] / 20) + 1)


# --- Open, reload and a CAD user's habits ----------------------------------------

def vertical_lines(picture):
    """The columns where the grid's vertical lines begin."""
    columns = np.flatnonzero(ink(picture).mean(axis=0) > 0.5)
    return list(columns[np.insert(np.diff(columns) > 1, 0, True)])


def wait_for(condition, timeout=15):
    deadline = time.monotonic() + timeout
    while not condition():
        assert time.monotonic() < deadline, "timed out"
        time.sleep(0.3)


@needs_display
def test_the_file_named_on_the_command_line_is_shown_and_read_again_when_rewritten(viewer,
                                                                                   tmp_path):
    log = tmp_path / "logs" / "grid.txt"
    log.parent.mkdir()
    log.write_bytes(to_bytes(grid_commands()))
    window = viewer(commands=False, env=TRACES, args=[windows_path(log)])
    assert window.title() == "grid.txt - Screen View"
    # Zoomed in by a notch of the wheel: the view a reload must keep.
    xdotool("mousemove", *window.at(200, 200), "click", 4)
    time.sleep(1.5)
    before = window.drawing_area(window.shot("10-before-reload"))

    # The logging program writes the file again, with a heavy line across.
    log.write_bytes(to_bytes(grid_commands() + "LW\t20\t\nS\t300\t3000\t\nLR\t4800\t\n"))
    wait_for(lambda: window.status()[0].startswith("Reloaded grid.txt: it changed on disk ("))
    time.sleep(0.5)
    after = window.drawing_area(window.shot("11-reloaded"))
    assert unmatched_ink(before, after) > 1000  # the new line
    assert vertical_lines(after) == vertical_lines(before)  # the view is kept
    assert window.process.poll() is None

    # Written again with a line it cannot read: the status bar marks the
    # drawing incomplete, naming the line, until a sound one is shown; a
    # reload by itself opens no box.
    log.write_bytes(to_bytes(grid_commands() + "LR\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\n"))
    wait_for(lambda: window.status()[1])
    bad_line = grid_commands().count("\n") + 1
    assert window.status()[1] == (f"Incomplete drawing: stopped at line {bad_line} of "
                                  f"{windows_path(log)} (Subscript out of range: a ninth field)")
    assert window.boxes() == ""
    window.shot("12-incomplete")
    log.write_bytes(to_bytes(grid_commands()))
    wait_for(lambda: not window.status()[1])
    assert window.title() == "grid.txt - Screen View"
    # F5 reads it again by hand, the view kept.
    window.key("F5", settle=1.5)
    assert window.status()[0] == ""  # the last reload's note is gone with the command
    assert vertical_lines(window.drawing_area(window.shot())) == vertical_lines(before)


@needs_display
def test_ctrl_o_opens_the_system_dialog_and_shows_the_file_chosen(viewer, tmp_path):
    window = viewer(env=TRACES)
    other = tmp_path / "other.txt"
    other.write_bytes(to_bytes(grid_commands()))

    def dialogs():
        return xdotool("search", "--onlyvisible", "--name", "^Open Command File$").split()

    def focus_dialog():
        # No window manager here gives the new window the keyboard: we do.
        wait_for(dialogs)
        time.sleep(1)
        xdotool("windowfocus", "--sync", dialogs()[0])

    window.key("ctrl+o", settle=0)
    focus_dialog()
    window.shot("13-open-dialog")
    # The name box takes the first Escape (it puts back its text), the dialog the second.
    window.key("Escape")
    window.key("Escape", settle=1.5)
    assert not dialogs()
    assert window.title() == "tempdxf.txt - Screen View"

    window.key("ctrl+o", settle=0)
    focus_dialog()
    # The name box has the focus: a full name there opens that file.
    xdotool("type", "--delay", 20, windows_path(other))
    window.key("Return", settle=0)
    wait_for(lambda: window.title() == "other.txt - Screen View")
    time.sleep(1)
    assert line_spacing(window.drawing_area(window.shot("14-opened"))) > 10


@needs_display
def test_escape_cancels_an_armed_zoom_window(viewer):
    window = viewer(grid_commands(), env=TRACES)
    before = window.drawing_area(window.shot())
    window.key("ctrl+w")
    assert window.status()[0] == "Drag a window around what to zoom into (Esc cancels)"
    window.key("Escape")
    assert window.status()[0] == ""
    # A drag now draws no band and zooms nowhere.
    height, width = before.shape[:2]
    xdotool("mousemove", *window.at(width // 3, height // 3), "mousedown", 1)
    xdotool("mousemove", *window.at(width // 2, height // 2))
    time.sleep(0.5)
    assert unmatched_ink(window.drawing_area(window.shot()), before) == 0
    xdotool("mouseup", 1)
    time.sleep(1)
    assert unmatched_ink(window.drawing_area(window.shot()), before) == 0


@needs_display
def test_the_middle_button_drags_the_view_and_the_keys_pan(viewer):
    window = viewer(grid_commands(), env=TRACES)
    before = window.drawing_area(window.shot())
    height, width = before.shape[:2]
    xdotool("mousemove", *window.at(200, 200), "mousedown", 2)
    for step in range(1, 4):
        xdotool("mousemove", *window.at(200 + 20 * step, 200))
        time.sleep(0.2)
    xdotool("mouseup", 2)
    time.sleep(1)
    dragged = window.drawing_area(window.shot("15-middle-drag"))
    # The point under the pointer went with it: the drawing moved 60 pixels right.
    assert best_shift(before, dragged) == -60
    # The place under the pointer is shown in inches, and moves with the view.
    place = window.status()[2]
    assert re.fullmatch(r"X \d+\.\d{3} in   Y \d+\.\d{3} in", place)

    # The right arrow pans a twentieth of the view, as the bar's arrow does.
    window.key("Right")
    keyed = window.drawing_area(window.shot())
    assert best_shift(dragged, keyed) in (int(width / 20), int(width / 20) + 1)
    assert window.status()[2] != place
    # Page Down and Page Up go down and back up a page.
    window.key("Next")
    assert unmatched_ink(window.drawing_area(window.shot()), keyed) > 0
    window.key("Prior")
    assert unmatched_ink(window.drawing_area(window.shot()), keyed) == 0

    # Off the window, the place is cleared.
    xdotool("mousemove", window.x + window.width + 100, window.y + 100)
    time.sleep(1)
    assert window.status()[2] == ""
