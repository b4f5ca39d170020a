"""The manual pages, data/plotdxf.1 and data/plotdxf-view.1: groff formats
them without a warning and man shows them. The one check of the options'
documents: each program's --help, the option table of its README section and
its manual page list the same options."""

import os
import re
import shutil
import subprocess

import pytest

from conftest import BINARY, ON_WINDOWS, SOURCE_DIR

PAGES = {"plotdxf": BINARY, "plotdxf-view": BINARY.parent / "plotdxf-view"}
# The README section whose option table is each program's.
README_SECTIONS = {"plotdxf": "## Converting a command file", "plotdxf-view": "## Viewing a drawing"}
needs_groff = pytest.mark.skipif(shutil.which("groff") is None, reason="needs groff")
OPTION = re.compile(r"(?<![\w-])(-[a-zA-Z]\b|--[a-z][a-z-]+)")


def formatted(page):
    """The page as man shows it, as plain text."""
    done = subprocess.run(["groff", "-man", "-Tutf8", "-ww", "-P-cbou",
                           str(SOURCE_DIR / "data" / f"{page}.1")],
                          capture_output=True, check=True, timeout=60)
    assert done.stderr == b"", done.stderr.decode()  # no warning of any kind
    return done.stdout.decode()


@needs_groff
@pytest.mark.parametrize("page", PAGES)
def test_groff_formats_the_page_without_warnings(page):
    text = formatted(page)
    assert re.search(rf"^NAME\n +{re.escape(page)} - ", text, re.M)
    for section in ("SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS"):
        assert re.search(rf"^{section}$", text, re.M), section


@pytest.mark.skipif(shutil.which("man") is None, reason="needs man-db")
@pytest.mark.parametrize("page", PAGES)
def test_man_shows_the_page(page):
    done = subprocess.run(["man", "-l", str(SOURCE_DIR / "data" / f"{page}.1")],
                          capture_output=True, timeout=60,
                          env=dict(os.environ, MANPAGER="cat", PAGER="cat", MANWIDTH="80"))
    assert done.returncode == 0, done.stderr
    assert page.upper() in done.stdout.decode()


@needs_groff
@pytest.mark.skipif(ON_WINDOWS, reason="compares with the Linux programs' --help")
@pytest.mark.parametrize("page", PAGES)
def test_help_readme_and_page_list_the_same_options(page):
    program = PAGES[page]
    if not program.exists():
        pytest.skip(f"{program} is not built")
    usage = subprocess.run([str(program), "--help"], capture_output=True, check=True,
                           timeout=60).stdout.decode()
    options = formatted(page).split("\nOPTIONS\n", 1)[1].split("\nEXIT STATUS\n", 1)[0]
    readme = (SOURCE_DIR / "README.md").read_text(encoding="utf-8")
    section = readme.split(README_SECTIONS[page] + "\n", 1)[1].split("\n## ", 1)[0]
    table = [row.split(" | ")[0] for row in section.splitlines() if row.startswith("| `")]
    in_help = set(OPTION.findall(usage))
    assert in_help == set(OPTION.findall(options)), "the manual page"
    assert in_help == set(OPTION.findall(" ".join(table))), "the README's table"
