#!/usr/bin/env python3
"""A plate for the README's picture: one enzyme, eight initial concentrations from 2.5 to
500 µM (a 200-fold range), read every 2 min for an hour, as closed-form Michaelis-Menten
curves with measurement noise.

    python3 docs/make_plate.py FOLDER

writes FOLDER/params.txt and one curve file per well (plate_A1.txt ... plate_A8.txt); run
`velkor-report -f params.txt --time-unit min --conc-unit µM` in FOLDER. Standard library only;
the noise is seeded, so the same files come out every time.
"""
import math
import os
import random
import sys

KM = 40.0  # µM
VMAX = 5.0  # µM/min
STARTS = [2.5, 5, 10, 25, 50, 100, 250, 500]  # µM, wells A1 .. A8
TIMES = [2 * i for i in range(31)]  # min
# Each well read with a gain to suit its concentration: noise of 1.5 % of S0, and a floor.
RELATIVE_NOISE = 0.015
NOISE_FLOOR = 0.01  # µM


def lambert_w(log_x):
    """W(x) for x = exp(log_x) > 0, by Newton's method on w + ln w = ln x (no overflow)."""
    w = log_x - math.log(log_x) if log_x > 1 else math.exp(log_x)
    for _ in range(100):
        step = (w + math.log(w) - log_x) / (1 + 1 / w)
        w = max(w - step, w / 10)
        if abs(step) <= 1e-15 * w:
            break
    return w


def substrate(s0, t):
    """S(t) = Km W((S0/Km) exp((S0 - Vmax t)/Km)), the solution of dS/dt = -Vmax S/(Km + S)."""
    return KM * lambert_w(math.log(s0 / KM) + (s0 - VMAX * t) / KM)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "plate"
    os.makedirs(folder, exist_ok=True)
    noise = random.Random(1913)
    names = []
    for well, s0 in enumerate(STARTS, start=1):
        name = "plate_A%d.txt" % well
        names.append(name)
        sd = RELATIVE_NOISE * s0 + NOISE_FLOOR
        with open(os.path.join(folder, name), "w") as f:
            f.write("# well A%d, S0 = %g µM; time (min), substrate (µM)\n%g\n" % (well, s0, s0))
            f.write("0 %g\n" % s0)
            for t in TIMES[1:]:
                f.write("%g %.4g\n" % (t, max(substrate(s0, t) + noise.gauss(0, sd), 0.001)))
    with open(os.path.join(folder, "params.txt"), "w") as f:
        f.write("# A plate row: eight initial concentrations, 2.5 to 500 µM; times in min.\n"
                "integration_steps 1000\nmax_iterations 200\nmax_error 1e-6\n"
                "# Km (index 0) starts at the midpoint 60 µM; Vmax (1) is held at 5 µM/min.\n"
                "const 0 10 60 110\nconst 1 4 5 6\n")
        f.writelines("plot %s\n" % name for name in names)


if __name__ == "__main__":
    main()
