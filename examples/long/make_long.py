#!/usr/bin/env python3
"""Writes progress.csv: made-up progress curves as a long table, one row per point (standard library only).

Three substrate concentrations (0.5, 1 and 2 mM), two replicates each; a point every 5 s over
60 s; the closed-form Michaelis-Menten solution S(t) = Km * W((S0 / Km) * exp((S0 - Vmax * t) / Km))
(W the Lambert W function) with Km = 0.8 mM and Vmax = 0.05 mM/s, plus noise of sd 0.003 mM.
The rows are shuffled, as a database or a pandas export may leave them.

    python3 make_long.py [OUTPUT]      # default: progress.csv beside this script
"""
import math
import os
import random
import sys

KM = 0.8  # mM
VMAX = 0.05  # mM/s
NOISE = 0.003
CURVES = [("low", 0.5), ("mid", 1.0), ("high", 2.0)]


def lambert_w(x):
    """Principal branch for x >= 0, by Halley's iteration."""
    w = math.log1p(x) if x < 1e3 else math.log(x) - math.log(math.log(x))
    for _ in range(100):
        e = math.exp(w)
        f = w * e - x
        step = f / (e * (w + 1) - (w + 2) * f / (2 * w + 2))
        w -= step
        if abs(step) <= 1e-15 * max(1.0, abs(w)):
            break
    return w


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "progress.csv")
    rng = random.Random(2)
    rows = []
    for name, s0 in CURVES:
        for replicate in (1, 2):
            for t in range(0, 65, 5):
                s = KM * lambert_w((s0 / KM) * math.exp((s0 - VMAX * t) / KM))
                rows.append("%s,%d,%g,%d,%.4f" % (name, replicate, s0, t, s + rng.gauss(0, NOISE)))
    rng.shuffle(rows)
    with open(out, "w") as f:
        f.write("curve,replicate,S0 (mM),time (s),concentration (mM)\n")
        f.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
