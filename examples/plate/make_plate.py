#!/usr/bin/env python3
"""Writes plate.csv: a made-up plate-reader export of substrate progress curves (standard library only).

The substrate absorbs at 340 nm (absorbance = F * S + blank, F = 0.00622 per uM, a 1 cm path);
its course is the closed-form Michaelis-Menten solution

    S(t) = Km * W((S0 / Km) * exp((S0 - Vmax * t) / Km))

(W the Lambert W function) with Km = 60 uM and Vmax = 4 uM/min, plus measurement noise of sd
0.002 absorbance units. As plate readers write it: Latin-1, ';' between columns, a decimal comma,
metadata lines above the table, times as H:MM:SS from the first read 30 s after mixing, a
temperature column, a buffer-only blank well, a well without substrate (0 uM) and one well
not read at one time (an empty cell).

    python3 make_plate.py [OUTPUT]      # default: plate.csv beside this script
"""
import math
import os
import random
import sys

KM = 60.0  # uM
VMAX = 4.0  # uM/min
F = 0.00622  # absorbance per uM
BLANK = 0.045  # absorbance of the buffer
NOISE = 0.002
S0S = [0, 25, 50, 100, 200, 400]  # uM
READS = 40  # every 30 s from 0:00:30 to 0:20:00


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


def substrate(s0, t):
    if s0 == 0:
        return 0.0
    return KM * lambert_w((s0 / KM) * math.exp((s0 - VMAX * t) / KM))


def clock(seconds):
    return "%d:%02d:%02d" % (seconds // 3600, seconds % 3600 // 60, seconds % 60)


def decimal_comma(x, digits):
    return ("%.*f" % (digits, x)).replace(".", ",")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "plate.csv")
    rng = random.Random(340)
    lines = [
        "Plate reader export;;;;;;;;",
        "Plate: Velkor example;;;;;;;;",
        "Reading: absorbance 340 nm, 1 cm;;;;;;;;",
        ";;;;;;;;",
        "Time;T\u00b0 340;Blank;" + ";".join("%g \u00b5M" % s0 for s0 in S0S),
    ]
    for read in range(1, READS + 1):
        seconds = 30 * read
        minutes = seconds / 60.0
        cells = [clock(seconds), decimal_comma(25.0 + 0.1 * (read % 3), 1),
                 decimal_comma(BLANK + rng.gauss(0, NOISE), 4)]
        for s0 in S0S:
            signal = F * substrate(s0, minutes) + BLANK + rng.gauss(0, NOISE)
            cells.append(decimal_comma(signal, 4))
        if read == 17:
            cells[3 + S0S.index(100)] = ""  # the reader skipped this well once
        lines.append(";".join(cells))
    with open(out, "w", encoding="latin-1", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
