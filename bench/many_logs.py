#!/usr/bin/env python3
"""Many small conversions: 200 generated one-page boring logs converted by
one plotdxf call (plotdxf --output-dir DIR FILE...) against 200 calls of one
log each (plotdxf -i FILE), whole processes, medians of several rounds: wall
time, and the processor time of the processes (user + system), which other
load on the machine does not inflate.

    many_logs.py [--build build] [--logs 200] [--rounds 5]
"""

import argparse
import filecmp
import resource
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parent
PAGE_LINES = 400  # one page of generate_log.py


def processor_time():
    used = resource.getrusage(resource.RUSAGE_CHILDREN)
    return used.ru_utime + used.ru_stime


def elapsed(commands, cwd):
    """(wall time, processor time) of running `commands` one after another."""
    start, start_cpu = time.perf_counter(), processor_time()
    for argv in commands:
        done = subprocess.run(argv, cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True)
        if done.returncode != 0:
            sys.exit(f"{argv[:3]}... failed ({done.returncode}): {done.stderr.decode()}")
    return time.perf_counter() - start, processor_time() - start_cpu


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
        print(f"{options.logs} one-page logs ({PAGE_LINES} lines each), medians of "
              f"{options.rounds} rounds:")
        print("| | wall s | ms a log | processor s | ms a log |")
        print("|---|---|---|---|---|")
        for name, times in (("one call", one_times), (f"{options.logs} calls", each_times)):
            wall = statistics.median(t[0] for t in times)
            cpu = statistics.median(t[1] for t in times)
            print(f"| {name} | {wall:.3f} | {wall / options.logs * 1000:.2f} | {cpu:.3f} "
                  f"| {cpu / options.logs * 1000:.2f} |")
        wall_ratio = statistics.median(t[0] for t in each_times) / statistics.median(
            t[0] for t in one_times)
        cpu_ratio = statistics.median(t[1] for t in each_times) / statistics.median(
            t[1] for t in one_times)
        print(f"one call is {wall_ratio:.1f} times as fast (wall), {cpu_ratio:.1f} times "
              f"(processor); drawings byte for byte the same: {'yes' if same else 'NO'}")
        if not same:
            sys.exit(1)


if __name__ == "__main__":
    main()
