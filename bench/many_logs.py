#!/usr/bin/env python3
"""Many small conversions: 200 generated one-page boring logs converted by
one plotdxf call (plotdxf --output-dir DIR FILE...) against 200 calls of one
log each (plotdxf -i FILE), whole processes, medians of several rounds.

    many_logs.py [--build build] [--logs 200] [--rounds 5]
"""

import argparse
import filecmp
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parent
PAGE_LINES = 400  # one page of generate_log.py


def elapsed(commands, cwd):
    """Wall time of running `commands` one after another."""
    start = time.perf_counter()
    for argv in commands:
        done = subprocess.run(argv, cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True)
        if done.returncode != 0:
            sys.exit(f"{argv[:3]}... failed ({done.returncode}): {done.stderr.decode()}")
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(SOURCE / "build"))
    parser.add_argument("--logs", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=5)
    options = parser.parse_args()
    plotdxf = str(Path(options.build).resolve() / "plotdxf")

    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        logs = [f"log{n}.txt" for n in range(options.logs)]
        for n, name in enumerate(logs):
            subprocess.run([sys.executable, str(HERE / "generate_log.py"), str(PAGE_LINES),
                            str(work / name), "--seed", str(n)], check=True)
        (work / "one").mkdir()
        (work / "each").mkdir()
        one_call = [[plotdxf, "--output-dir", "one", *logs]]
        each = [[plotdxf, "-i", name, "-o", f"each/{Path(name).stem}.dxf"] for name in logs]
        one_times, each_times = [], []
        for _ in range(options.rounds):
            one_times.append(elapsed(one_call, work))
            each_times.append(elapsed(each, work))
        same = all(filecmp.cmp(work / "one" / f"{Path(n).stem}.dxf",
                               work / "each" / f"{Path(n).stem}.dxf", shallow=False)
                   for n in logs)
        one, many = statistics.median(one_times), statistics.median(each_times)
        print(f"{options.logs} one-page logs ({PAGE_LINES} lines each), medians of "
              f"{options.rounds} rounds:")
        print(f"  one call:  {one:.3f} s ({one / options.logs * 1000:.2f} ms a log)")
        print(f"  {options.logs} calls: {many:.3f} s ({many / options.logs * 1000:.2f} ms a log)")
        print(f"  one call is {many / one:.1f} times as fast; drawings byte for byte the same: "
              f"{'yes' if same else 'NO'}")
        if not same:
            sys.exit(1)


if __name__ == "__main__":
    main()
