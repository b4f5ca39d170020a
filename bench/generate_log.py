#!/usr/bin/env python3
"""Writes a realistic plot command file of any size: page after page of
boring logs (borders, depth ticks and labels, soil intervals with hatch
patterns, sample boxes, well construction, texts and numbers, line types,
circles, arcs and triangles). Seeded, so a size and a seed always give the
same file.

    generate_log.py LINES OUTPUT [--seed N]
"""

import argparse
import random

SOILS = ["GW", "GP", "GM", "GC", "SW", "SP", "SM", "SC", "ML", "MH", "CL", "CH", "PT"]
WELL = ["WELL_GROUT", "WELL_SEAL", "WELL_PACK", "WELL_FILL", "WELL_SCREEN"]
WORDS = ["SAND", "silty", "clay", "gravel", "brown", "gray", "moist", "wet", "dense",
         "loose", "stiff", "fine", "medium", "coarse", "trace", "with", "organics"]


def commands(rng):
    """Yields command lines forever, one page (about 400 lines) at a time."""
    while True:
        yield "LW\t2\t"
        yield "S\t300\t300\t"
        yield "RE\t4500\t6000\t"
        yield "LW\t1\t"
        yield "AP\t12\t"
        yield "AL\t"
        yield "S\t420\t6150\t"
        yield f"A\tLOG OF BORING B-{rng.randint(1, 99)}\\NProject {rng.randint(1000, 9999)}\t"
        yield "AR\t"
        yield "AP\t6\t"
        for depth in range(0, 41):
            y = 5400 - depth * 120
            yield f"S\t720\t{y}\t"
            yield f"LL\t{72 if depth % 5 == 0 else 36}\t"
            if depth % 5 == 0:
                yield f"S\t610\t{y + 24}\t"
                yield f"AN\t{depth}\t"
        depth = 0.0
        while depth < 40:
            thickness = rng.choice([1.5, 2.0, 3.0, 4.5, 5.0])
            bottom = min(40.0, depth + thickness)
            yield f"FPF\t{rng.choice(SOILS)}\t"
            yield f"S\t1500\t{round(5400 - bottom * 120)}\t"
            yield f"RF\t540\t{round((bottom - depth) * 120)}\t"
            yield "AL\t"
            yield f"S\t2160\t{round(5400 - depth * 120 - 48)}\t"
            yield "A\t" + " ".join(rng.choice(WORDS) for _ in range(rng.randint(3, 8))) + "\t"
            yield f"LT\t{rng.choice([1, 1, 2, 3])}\t"
            yield f"S\t2040\t{round(5400 - bottom * 120)}\t"
            yield "LR\t1680\t"
            yield "LT\t1\t"
            if rng.random() < 0.5:
                yield f"S\t840\t{round(5400 - bottom * 120)}\t"
                yield f"RFC\t180\t{round(min(1.5, bottom - depth) * 120)}\t" \
                      f"{rng.choice(['16777215', '0 0 0'])}\t"
                yield "AC\t"
                yield f"S\t1320\t{round(5400 - depth * 120 - 60)}\t"
                yield f"AN\t{rng.uniform(2, 60):.2f}\t"
            depth = bottom
        for i, pattern in enumerate(WELL):
            yield f"FPF\t{pattern}\t"
            yield f"S\t{3900 + (i % 2) * 60}\t{600 + i * 900}\t"
            yield f"PR\t{rng.randint(120, 240)}\t"
            yield f"PU\t{rng.randint(300, 800)}\t"
            yield "PL\t180\t"
            yield rng.choice(["PF\t", "PFW\t", "PFS\t0\t", "PFC\t0 0 0\t"])
        yield f"S\t{rng.randint(3600, 4500)}\t{rng.randint(600, 5400)}\t"
        yield f"C\t{rng.uniform(0.02, 0.1):.3f}\t"
        yield f"EF\t{rng.uniform(0.01, 0.04):.3f}\t"
        yield f"TRID\t{rng.uniform(0.03, 0.08):.3f}\t"
        yield f"ARCR\t{rng.randint(60, 400)}\t{rng.randint(-5, 5)}\t"
        yield f"LA\t{rng.randint(0, 359)}\t{rng.randint(60, 300)}\t"
        yield f"LRTO\t{rng.randint(-300, 300)}\t{rng.randint(-300, 300)}\t"
        yield "TRI\t0.05\t"
        yield f"SA\t{rng.randint(0, 359)}\t{rng.randint(60, 300)}\t"
        yield f"RFS\t{rng.randint(60, 200)}\t{rng.randint(60, 200)}\t{rng.choice([0, 1])}\t"
        yield f"RFW\t{rng.randint(60, 200)}\t{rng.randint(60, 200)}\t"
        yield "Z\t0\t0\t"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("lines", type=int)
    parser.add_argument("output")
    parser.add_argument("--seed", type=int, default=1)
    options = parser.parse_args()
    rng = random.Random(options.seed)
    source = commands(rng)
    with open(options.output, "wb") as out:
        chunk = []
        for _ in range(options.lines - 1):
            chunk.append(next(source))
            if len(chunk) >= 10000:
                out.write(("\r\n".join(chunk) + "\r\n").encode("cp1252"))
                chunk = []
        chunk.append("STOP\t")
        out.write(("\r\n".join(chunk) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()
