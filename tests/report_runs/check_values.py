#!/usr/bin/env python3
"""The values of a finished fit report, against expectations made here from its input files.

    check_values.py outputs PROGRAM PARAMS [TIME_UNIT CONC_UNIT]

Run in the report's folder (report.json, report.tsv, report.gp, its summary in `stdout`).
outputs: the program and units of the command line, every point of the table against the
curve files, the simulated and drawn curves against the rate law solved here, the summary's
interval against the JSON. One line per fault.
"""

import csv
import json
import math
import re
import sys

faults = []


def expect(ok, message):
    if not ok:
        faults.append(message)


def close(a, b, rel):
    return a is not None and b is not None and math.isclose(a, b, rel_tol=rel)


# ---- The input files, read as the README describes them ----

ARGUMENTS = {"integration_steps": 1, "max_iterations": 1, "max_error": 1, "const": 4, "plot": 1}


def read_params(path):
    """Curve file names, and the midpoints of the constants' ranges."""
    plots, mid = [], {}
    for line in open(path):
        words, i = line.split(), 0
        while i < len(words):
            n = ARGUMENTS.get(words[i], 0)
            args = words[i + 1:i + 1 + n]
            if words[i] == "plot" and args:
                plots.append(args[0])
            elif words[i] == "const" and len(args) == 4:
                mid[int(args[0])] = (float(args[1]) + float(args[3])) / 2
            i += 1 + n
    return plots, mid


def read_curve(path):
    """S0 and the points (time, concentration); '#' lines and blank lines skipped."""
    rows = [w for w in map(str.split, open(path)) if w and not w[0].startswith("#")]
    return float(rows[0][0]), [(float(w[0]), float(w[1])) for w in rows[1:]]


def read_table(path):
    rows = list(csv.reader(open(path, newline=""), delimiter="\t"))
    expect(rows[0] == ["curve", "file", "time", "measured", "simulated", "residual", "compared"],
           "report.tsv: header %r" % rows[0])
    return rows[1:]


# ---- Michaelis-Menten, solved here ----
# S(t) of dS/dt = -Vmax S / (Km + S) satisfies S + Km ln S = S0 + Km ln S0 - Vmax t. In
# u = ln S the left side is convex and increasing, so Newton's method from u = ln S0 (where
# it is too high by Vmax t) comes down onto the root without overshooting.


def substrate(s0, km, vmax, t):
    target, u = s0 + km * math.log(s0) - vmax * t, math.log(s0)
    for _ in range(200):
        step = (math.exp(u) + km * u - target) / (math.exp(u) + km)
        u -= step
        if abs(step) <= 1e-15 * (1.0 + abs(u)):
            break
    return math.exp(u)


# ---- outputs ----


def check_outputs(program, params, time_unit, conc_unit):
    r = json.load(open("report.json"))
    expect(r["program"] == program, "JSON program %r, expected %r" % (r["program"], program))
    expect(r["parameter_file"] == params, "JSON parameter_file %r" % r["parameter_file"])
    units = {"time": time_unit, "concentration": conc_unit}
    expect(r["units"] == units, "JSON units %r, expected %r" % (r["units"], units))
    script = open("report.gp").read()
    for variable, label in [("time_label", "time"), ("conc_label", "concentration")]:
        unit = time_unit if variable == "time_label" else conc_unit
        want = label + (" (%s)" % unit if unit else "")
        m = re.search(r"^%s = '(.*)'$" % variable, script, re.M)
        expect(m and m.group(1) == want, "report.gp: %s %r, expected %r"
               % (variable, m and m.group(1), want))

    # The simulation at the report's constants, time counted from point 0; velkor-b's rate is
    # 0 at the start (u = S0 - S = 0), so its curves stay at S0. The integrator (step 0.01,
    # fourth order) errs by less than 1e-12 of S0 on these curves and the picture's blocks
    # keep 10 digits: 1e-8 of S0 holds both.
    km, vmax = r["km"], r["held"].get("vmax")

    def law(s0, t):
        return substrate(s0, km, vmax, t) if program == "velkor" else s0

    # Every point of every curve file, in order; compared when after point 0 with a
    # concentration above 0 (the simulation reaches every point of the files given here).
    names, _ = read_params(params)
    curves = [read_curve(name) for name in names]
    table = read_table("report.tsv")
    want = [(str(k), name, t, c, int(i > 0 and c > 0))
            for k, (name, (_, points)) in enumerate(zip(names, curves), 1)
            for i, (t, c) in enumerate(points)]
    got = [(row[0], row[1], float(row[2]), float(row[3]), int(row[6])) for row in table]
    expect(len(got) == len(want), "report.tsv: %d rows for %d points" % (len(got), len(want)))
    wrong = [(g, w) for g, w in zip(got, want) if g != w]
    expect(not wrong, "report.tsv row %r, the curve file gives %r" % (wrong or [(None, None)])[0])
    expect(r["points_compared"] == sum(w[4] for w in want),
           "JSON points_compared %r" % r["points_compared"])
    for row in table:
        s0, points = curves[int(row[0]) - 1]
        simulated, s = float(row[4]), law(s0, float(row[2]) - points[0][0])
        if abs(simulated - s) > 1e-8 * s0 or float(row[5]) != float(row[3]) - simulated:
            expect(False, "report.tsv row %r: the rate law gives %r" % (row, s))
            break

    # The drawn curve of every curve that has a point, from point 0's time to the last point's.
    for k, (s0, points) in enumerate(curves, 1):
        m = re.search(r"^\$fitted%d << EOD\n(.*?)^EOD$" % k, script, re.M | re.S)
        if points and not m:
            expect(False, "report.gp: no $fitted%d block for %d point(s)" % (k, len(points)))
        if not points or not m:
            continue
        rows = [tuple(map(float, line.split())) for line in m.group(1).splitlines()]
        t0, t_last = points[0][0], points[-1][0]
        expect(close(rows[0][0], t0, 1e-9) and close(rows[0][1], s0, 1e-9),
               "$fitted%d starts at %r, not (%r, %r)" % (k, rows[0], t0, s0))
        expect(abs(rows[-1][0] - t_last) < 0.01,
               "$fitted%d ends at time %r, the last point at %r" % (k, rows[-1][0], t_last))
        off = [(t, s) for t, s in rows if abs(s - law(s0, t - t0)) > 1e-8 * s0]
        expect(not off, "$fitted%d leaves the rate law at (time, value) %r" % (k, off[:1]))

    # The summary's interval is the JSON's km_ci95, to 6 significant digits.
    m = re.search(r"^95 % interval of \S+ +(.*)$", open("stdout").read(), re.M)
    shown = m and m.group(1)
    if r["km_ci95"] == [None, None] and r["km_standard_error"] is None:
        expect(shown == "undefined", "summary interval %r, expected undefined" % shown)
        return
    ends = re.fullmatch(r"(\S+) \.\. (\S+) \(profile\)", shown or "")
    for k, end in enumerate(r["km_ci95"]):
        text = ends and ends.group(k + 1)
        ok = text == "unbounded" if end is None else text and close(float(text), end, 6e-6)
        expect(ok, "summary interval %r, JSON km_ci95 %r" % (shown, r["km_ci95"]))


if __name__ == "__main__":
    check_outputs(*(sys.argv[2:6] + ["", ""])[:4])
    print("\n".join(faults), end="\n" if faults else "")
    sys.exit(1 if faults else 0)
