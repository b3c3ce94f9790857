#!/usr/bin/env python3
"""Writes the bundled example into examples/: three substrate progress curves of one enzyme.

    make_example.py [OUTPUT_DIR]

Michaelis-Menten consumption dS/dt = -Vmax*S/(Km + S) has the closed-form solution
S(t) = Km*W((S0/Km)*exp((S0 - Vmax*t)/Km)), W the principal branch of Lambert's W.
Km = 0.8 mM, Vmax = 0.05 mM/s, S0 = 0.5, 1 and 2 mM, a point every 5 s from 0 to 60 s,
normal measurement noise of 0.003 mM from a fixed seed.
"""

import math
import os
import random
import sys

KM = 0.8
VMAX = 0.05
INITIAL = [(0.5, "s0_0.5mM.txt"), (1.0, "s0_1mM.txt"), (2.0, "s0_2mM.txt")]
TIMES = [5 * i for i in range(13)]
NOISE = 0.003
SEED = 20261208


def lambert_w(x):
    """Principal branch for x >= 0, by Halley's iteration."""
    w = math.log1p(x) if x < 3.0 else math.log(x) - math.log(math.log(x))
    for _ in range(100):
        ew = math.exp(w)
        f = w * ew - x
        step = f / (ew * (w + 1.0) - (w + 2.0) * f / (2.0 * w + 2.0))
        w -= step
        if abs(step) <= 1e-16 * (1.0 + abs(w)):
            break
    return w


def substrate(s0, km, vmax, t):
    return km * lambert_w((s0 / km) * math.exp((s0 - vmax * t) / km))


def curve_text(s0, km, vmax, times, noise, rng, digits):
    lines = ["# substrate progress curve, S0 = %g mM; columns: time (s), substrate (mM)" % s0,
             "%g" % s0]
    for t in times:
        value = substrate(s0, km, vmax, t)
        if noise:
            value += rng.gauss(0.0, noise)
        lines.append("%g %.*f" % (t, digits, value))
    return "\n".join(lines) + "\n"


PARAMS = """\
# Velkor example: one enzyme, three initial substrate concentrations.
# Concentrations in mM, times in s. The settings below are read and echoed only.
integration_steps 1000
max_iterations 200
max_error 1e-6
# index, lower bound, guess, upper bound. Index 0 is Km (fitted, start at the midpoint 1.1 mM),
# index 1 is Vmax (held at the midpoint 0.05 mM/s).
const 0 0.2 1.0 2.0
const 1 0.03 0.05 0.07
"""

CURVES = "".join("plot %s\n" % name for _, name in INITIAL)

# The second program's rate law has a third constant: it is held at its midpoint too.
PARAMS_B = PARAMS + "const 2 0.5 1.0 1.5\n"


def write_example(folder):
    rng = random.Random(SEED)
    os.makedirs(folder, exist_ok=True)
    for s0, name in INITIAL:
        with open(os.path.join(folder, name), "w") as f:
            f.write(curve_text(s0, KM, VMAX, TIMES, NOISE, rng, 4))
    with open(os.path.join(folder, "params.txt"), "w") as f:
        f.write(PARAMS + CURVES)
    with open(os.path.join(folder, "params-b.txt"), "w") as f:
        f.write(PARAMS_B + CURVES)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "..", "..", "examples")
    write_example(sys.argv[1] if len(sys.argv) > 1 else default)
