#!/usr/bin/env python3
"""Conversion benchmark: runs the real plotdxf (whole process) on generated
command files of 10,000, 100,000 and 1,000,000 lines and reports medians of
several runs, beside the formatting floor on the same number of DXF pairs.

    run_bench.py [--build build] [--sizes 10000,100000,1000000] [--runs 5]
"""

import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parent


MEASURE = None  # bench/measure of the build: times a process and reads its peak memory


def timed(argv, cwd):
    """Wall time and peak resident memory (bytes) of one process."""
    done = subprocess.run([str(MEASURE), *argv], cwd=cwd, capture_output=True)
    if done.returncode not in (0, 1):
        sys.exit(f"{argv[0]} failed ({done.returncode}): {done.stderr.decode('latin-1')}")
    seconds, kilobytes = done.stdout.split()[-2:]
    return float(seconds), int(kilobytes) * 1024


def count_dxf(path):
    """(group/value pairs, entities) of a DXF file."""
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    pairs = len(lines) // 2
    entities = 0
    in_entities = False
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i].strip(), lines[i + 1].strip()
        if code == b"2" and value == b"ENTITIES":
            in_entities = True
        elif code == b"0" and in_entities:
            if value == b"ENDSEC":
                break
            entities += 1
    return pairs, entities


def median_run(argv, cwd, runs):
    times, peaks = [], []
    for _ in range(runs):
        elapsed, peak = timed(argv, cwd)
        times.append(elapsed)
        peaks.append(peak)
    return statistics.median(times), max(peaks)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(SOURCE / "build"))
    parser.add_argument("--sizes", default="10000,100000,1000000")
    parser.add_argument("--runs", type=int, default=5)
    options = parser.parse_args()
    build = Path(options.build).resolve()
    floor = build / "bench" / "format_floor"
    global MEASURE
    MEASURE = build / "bench" / "measure"
    if not floor.exists() or not MEASURE.exists():
        sys.exit(f"{build}/bench is not built: build the project first (tools/build)")

    print(f"machine: {platform.processor() or platform.machine()}, {os.cpu_count()} cores, "
          f"{platform.system()} {platform.release()}")
    header = ("| lines | entities | time s | lines/s | entities/s | DXF MB | MB/s | peak MB "
              "| bytes/entity | floor s | ratio |")
    print(header)
    print("|" + "---|" * (header.count("|") - 1))
    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        shutil.copy2(build / "plotdxf", work / "plotdxf")
        shutil.copy2(build / "kqhatch.pat", work / "kqhatch.pat")
        for size in (int(s) for s in options.sizes.split(",")):
            subprocess.run([sys.executable, str(HERE / "generate_log.py"), str(size),
                            str(work / "tempdxf.txt")], check=True)
            runs = options.runs if size < 1000000 else max(3, options.runs // 2)
            seconds, peak = median_run([str(work / "plotdxf"), "out.dxf"], work, runs)
            pairs, entities = count_dxf(work / "out.dxf")
            megabytes = (work / "out.dxf").stat().st_size / 1e6
            floor_seconds, _ = median_run([str(floor), str(pairs), str(work / "floor.txt")],
                                          work, runs)
            print(f"| {size:,} | {entities:,} | {seconds:.3f} | {size / seconds:,.0f} "
                  f"| {entities / seconds:,.0f} | {megabytes:.1f} | {megabytes / seconds:.0f} "
                  f"| {peak / 1e6:.1f} | {peak / max(entities, 1):.0f} | {floor_seconds:.3f} "
                  f"| {seconds / floor_seconds:.2f} |")
        shutil.copy2(SOURCE / "examples" / "boring_log.txt", work / "tempdxf.txt")
        seconds, _ = median_run([str(work / "plotdxf"), "log.dxf"], work, 21)
        print(f"\none-page boring log (examples/boring_log.txt), process start included: "
              f"{seconds * 1000:.1f} ms (median of 21)")


if __name__ == "__main__":
    main()
