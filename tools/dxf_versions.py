#!/usr/bin/python3
"""Checks the drawings written in each DXF version, for tools/readers-check.

Usage: dxf_versions.py FOLDER --versions R12,2000,... NAME...

FOLDER holds NAME-VERSION.dxf for every drawing and version, and
NAME-VERSION.png, the page LibreCAD printed of it (absent when it printed
none). For each version:

- ezdxf: reads the file and its audit finds no error;
- LibreCAD: the page shows a drawing (some ink, not all ink);
- GDAL/OGR: takes in every text (where ezdxf puts it), line and hatch or fill
  (tools/reader_counts.py);
- texts: the file holds the very texts of the 2004 file, "\\U+XXXX" read as
  the character it names; from DXF 2007 on as UTF-8, with no such escape.

Prints a table, version by reader, and then what went wrong; exits 1 when
anything did.
"""

import argparse
import collections
import logging
import os
import re
import sys

import ezdxf
import numpy
from PIL import Image

import reader_counts

REFERENCE = "2004"
UTF8_FROM = ("2007", "2010", "2013", "2018")
INK = 200  # grey levels below this are ink


def unescape(text):
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


def texts_of(doc):
    """The model space's TEXT strings, the blocks' too (once per INSERT)."""
    texts = []
    for entity in doc.modelspace():
        inner = doc.blocks.get(entity.dxf.name) if entity.dxftype() == "INSERT" else [entity]
        texts += [unescape(e.dxf.text) for e in inner if e.dxftype() == "TEXT"]
    return collections.Counter(texts)


class Result:
    """One reader's verdict on one version: counts added up over the drawings."""

    def __init__(self):
        self.counts, self.problems, self.failed = collections.Counter(), [], 0

    def fail(self, name, problem):
        self.failed += 1
        self.problems.append(f"{name}: {problem}")

    def cell(self, summary):
        """"ok" or "FAIL (drawings)", then the counts put into summary."""
        verdict = "ok" if not self.failed else f"FAIL ({self.failed})"
        return f"{verdict}: {summary.format_map(self.counts)}"


def check_ezdxf(result, name, path):
    try:
        doc = ezdxf.readfile(path)
    except Exception as error:  # any way of failing to read is the finding
        result.fail(name, f"ezdxf cannot read it: {type(error).__name__}: {error}")
        return None
    auditor = doc.audit()
    result.counts["errors"] += len(auditor.errors)
    result.counts["fixes"] += len(auditor.fixes)
    if auditor.has_errors:
        result.fail(name, "audit: " + "; ".join(e.message for e in auditor.errors[:3]))
    return doc


def check_page(result, name, png):
    if not os.path.exists(png):
        result.fail(name, "LibreCAD printed no page")
        return
    ink = (numpy.asarray(Image.open(png).convert("L")) < INK).mean()
    if 0.0005 < ink < 0.9:
        result.counts["pages"] += 1
    else:
        result.fail(name, f"LibreCAD's page is {'blank' if ink <= 0.0005 else 'all ink'}")


def check_ogr(result, name, path, version):
    taken = reader_counts.read_ogr(path, utf8=version in UTF8_FROM)
    if taken is None:
        result.fail(name, "OGR cannot open it")
        return
    texts, lines, hatches = taken
    result.counts.update(texts=len(texts), lines=lines, hatches=hatches)
    try:
        drawing = reader_counts.Drawing(path)
    except Exception:
        result.fail(name, "ezdxf cannot read it: nothing to compare with")
        return
    problems = (reader_counts.text_problems(drawing, texts, "anchor", reader_counts.anchor_check) +
                reader_counts.count_problem("lines", lines, drawing.shapes()) +
                reader_counts.count_problem("hatches", hatches, drawing.fills()))
    if problems:
        result.fail(name, "; ".join(problems[:3]))


def check_texts(result, name, path, version, doc, reference):
    if reference is None:
        result.fail(name, f"ezdxf cannot read the {REFERENCE} file: no texts to compare with")
        return
    result.counts["of"] += sum(reference.values())
    if doc is None:
        result.fail(name, "ezdxf cannot read it")
        return
    texts = texts_of(doc)
    kept = sum((texts & reference).values())
    result.counts["kept"] += kept
    if texts != reference:
        lost = list((reference - texts).elements())[:2]
        result.fail(name, f"{kept} of {sum(reference.values())} texts kept" +
                    (f", lost {lost}" if lost else ", others added"))
    if version in UTF8_FROM:
        raw = open(path, "rb").read()
        try:
            raw.decode("utf-8")
        except UnicodeDecodeError as error:
            result.fail(name, f"not UTF-8: {error}")
            return
        escaped = [t for t in doc.modelspace().query("TEXT") if "\\U+" in t.dxf.text]
        if escaped:
            result.fail(name, f"{len(escaped)} texts with \\U+ escapes, e.g. {escaped[0].dxf.text!r}")


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--versions", required=True)
    parser.add_argument("names", nargs="+")
    args = parser.parse_args(argv)
    versions = args.versions.split(",")
    # ezdxf measures texts with matplotlib, which warns of every font it lacks.
    logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)

    def path(name, version, extension="dxf"):
        return os.path.join(args.folder, f"{name}-{version}.{extension}")

    references = {}
    for name in args.names:
        try:
            references[name] = texts_of(ezdxf.readfile(path(name, REFERENCE)))
        except Exception:
            references[name] = None
    readers = [("ezdxf audit", "{errors} errors, {fixes} fixes"), ("LibreCAD", "{pages} pages"),
               ("GDAL/OGR", "{texts} texts, {lines} lines, {hatches} hatches"),
               ("texts", "{kept} of {of} kept")]
    rows, failed = [], False
    for version in versions:
        results = {reader: Result() for reader, _ in readers}
        for name in args.names:
            dxf = path(name, version)
            doc = check_ezdxf(results["ezdxf audit"], name, dxf)
            check_page(results["LibreCAD"], name, path(name, version, "png"))
            check_ogr(results["GDAL/OGR"], name, dxf, version)
            check_texts(results["texts"], name, dxf, version, doc, references[name])
        rows.append((version, [results[reader].cell(what) for reader, what in readers], results))
        failed = failed or any(r.failed for r in results.values())

    widths = [max(len(reader), *(len(row[1][i]) for row in rows))
              for i, (reader, _) in enumerate(readers)]
    print(f"  {'version':8}" + "  ".join(f"{r:{w}}" for (r, _), w in zip(readers, widths)))
    for version, cells, _ in rows:
        print(f"  {version:8}" + "  ".join(f"{c:{w}}" for c, w in zip(cells, widths)))
    for version, _, results in rows:
        for reader, result in results.items():
            for problem in result.problems[:3]:
                print(f"  {version} {reader}: {problem}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
