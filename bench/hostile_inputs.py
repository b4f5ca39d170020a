#!/usr/bin/env python3
"""Writes the hostile inputs whose work the drawing's budget bounds, and with
--run times the built programs on them (/usr/bin/time -v: wall time and peak
memory), one line per case.

    hostile_inputs.py FOLDER [--run BUILD] [--cases NAME,...]

Each case is a command file (and, for tiny_dash, its pattern file) in FOLDER:

- tiny_dash: five pattern lines whose dashes are all shorter than the sliver
  length (0,0,0,0,0.00008,1e-12,0.0008) over two 8 inch squares: nothing to
  draw, a thousand million steps of dashes to find it out.
- star_masks: one dense hatch under 64 white stars of 249 corners each.
- squares: 10,000 hatched 2 inch squares (FPF GW, then RF 1200 1200).
- repeats: one RF line, then 100,000 empty lines, each repeating it.
- million_repeats: one RF line, then a million empty lines (the line form).
"""

import argparse
import math
import pathlib
import re
import subprocess

TINY_DASH_PATTERN = "*WELL_FILL, tiny dashes\r\n5\r\n" + "0,0,0,0,0.00008,1e-12,0.0008\r\n" * 5


def tiny_dash():
    return ("FPF\tWELL_FILL\t\nS\t0\t0\t\nRF\t4800\t4800\t\n"
            "S\t0\t4800\t\nRF\t4800\t4800\t\n")


def star_masks():
    lines = ["FPF\tWELL_FILTER\t", "S\t300\t300\t", "RF\t4500\t6000\t"]
    for k in range(64):
        cx, cy = 2550 + 3 * k, 3300 + 2 * k
        for i in range(249):
            radius = 2200 if i % 2 == 0 else 20
            angle = 2 * math.pi * i / 249
            x, y = cx + radius * math.cos(angle), cy + radius * math.sin(angle)
            lines.append(f"{'S' if i == 0 else 'PTO'}\t{x:.2f}\t{y:.2f}\t")
        lines.append("PFS\t0\t")
    return "\n".join(lines) + "\n"


def squares():
    return "FPF\tGW\t\n" + "RF\t1200\t1200\t\n" * 10_000


def repeats(count):
    return "FPF\tGW\t\nRF\t1200\t1200\t\n" + "\n" * count


CASES = {
    "tiny_dash": tiny_dash,
    "star_masks": star_masks,
    "squares": squares,
    "repeats": lambda: repeats(100_000),
    "million_repeats": lambda: repeats(1_000_000),
}

# What each case is run as: (label, program, arguments after the command file).
RUNS = {
    "tiny_dash": [("HATCH form", "plotdxf", ["-o", "out.dxf"]),
                  ("line form", "plotdxf", ["--hatch-lines", "-o", "out.dxf"]),
                  ("viewer --png", "plotdxf-view", ["--png", "out.png"])],
    "star_masks": [("line form", "plotdxf", ["--hatch-lines", "-o", "out.dxf"])],
    "squares": [("viewer --svg", "plotdxf-view", ["--svg", "out.svg"]),
                ("viewer --pdf", "plotdxf-view", ["--pdf", "out.pdf"])],
    "repeats": [("viewer --png", "plotdxf-view", ["--png", "out.png"]),
                ("viewer --svg", "plotdxf-view", ["--svg", "out.svg"]),
                ("viewer --pdf", "plotdxf-view", ["--pdf", "out.pdf"])],
    "million_repeats": [("line form", "plotdxf", ["--hatch-lines", "-o", "out.dxf"])],
}


def measure(build, folder, name, label, program, arguments):
    command = ["/usr/bin/time", "-v", str(build / program), "-i", f"{name}.txt"]
    if name == "tiny_dash":
        command += ["--patterns", "tiny_dash.pat"]
    run = subprocess.run(command + arguments, cwd=folder, capture_output=True, text=True,
                         errors="replace")
    wall = re.search(r"Elapsed \(wall clock\) time.*: (?:(\d+):)?(\d+):([\d.]+)", run.stderr)
    seconds = int(wall[1] or 0) * 3600 + int(wall[2]) * 60 + float(wall[3])
    peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", run.stderr)[1])
    output = folder / arguments[-1]
    size = output.stat().st_size if output.exists() else 0
    said = [line for line in run.stderr.splitlines()
            if "warning" in line or "error" in line.lower()][:1]
    print(f"{name:16} {label:13} {seconds:7.2f} s {peak / 1024:8.0f} MB "
          f"{size / 1e6:9.1f} MB out  status {run.returncode}  {said[0][:90] if said else ''}",
          flush=True)
    if output.exists():
        output.unlink()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", type=pathlib.Path)
    parser.add_argument("--run", type=pathlib.Path, metavar="BUILD",
                        help="time plotdxf and plotdxf-view of this folder on each case")
    parser.add_argument("--cases", default=",".join(CASES))
    parser.add_argument("--only", help="run only the runs whose label holds this (--png, ...)")
    options = parser.parse_args()
    options.folder.mkdir(parents=True, exist_ok=True)
    chosen = options.cases.split(",")
    (options.folder / "tiny_dash.pat").write_bytes(TINY_DASH_PATTERN.encode())
    for name in chosen:
        (options.folder / f"{name}.txt").write_bytes(CASES[name]().encode())
    if options.run:
        for name in chosen:
            for label, program, arguments in RUNS[name]:
                if options.only and options.only not in label:
                    continue
                measure(options.run.resolve(), options.folder, name, label, program, arguments)


if __name__ == "__main__":
    main()
