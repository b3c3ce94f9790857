#!/usr/bin/env python3
"""The values of a finished fit report, against expectations made here from its input files.

    check_values.py outputs PROGRAM PARAMS [TIME_UNIT CONC_UNIT]
    check_values.py statistics PARAMS

Run in the report's folder (report.json, report.tsv, report.gp, its summary in `stdout`).
outputs: the program and units of the command line, every point of the table against the
curve files, the simulated and drawn curves against the rate law solved here, the summary's
interval against the JSON. statistics (a Michaelis-Menten problem the law fits): the runs test
of the residual signs and the fit of Km and Vmax together, recomputed. One line per fault.
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


def model(points, km, vmax):
    """At each point (S0, time, measured): S, dS/dKm, dS/dVmax (from the implicit solution),
    and the sum of squares."""
    rows = []
    for s0, t, y in points:
        s = substrate(s0, km, vmax, t)
        rows.append((s, -s * math.log(s / s0) / (s + km), -t * s / (s + km), y - s))
    return rows, sum(r[3] ** 2 for r in rows)


def dot(rows, a, b):
    return sum(r[a] * r[b] for r in rows)


# ---- outputs ----


def check_outputs(program, params, time_unit, conc_unit):
    r = json.load(open("report.json"))
    expect(r["program"] == program, "JSON program %r, expected %r" % (r["program"], program))
    expect(r["parameter_file"] == params, "JSON parameter_file %r" % r["parameter_file"])
    units = {"time": time_unit, "concentration": conc_unit}
    expect(r["units"] == units, "JSON units %r, expected %r" % (r["units"], units))
    script = open("report.gp").read()
    for variable, label in [("time_label", "time"), ("value_label", "concentration")]:
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


# ---- statistics ----


def runs_test(curves):
    """Runs of residual signs within each curve, pooled: R, n+, n-, E, Var, z, p = Phi(z)."""
    t = {"runs": 0, "positive": 0, "negative": 0, "expected_runs": 0.0, "variance": 0.0}
    for residuals in curves:
        signs = [x > 0 for x in residuals if x != 0 and not math.isnan(x)]
        if not signs:
            continue
        plus, n = sum(signs), len(signs)
        minus = n - plus
        t["runs"] += 1 + sum(a != b for a, b in zip(signs, signs[1:]))
        t["positive"] += plus
        t["negative"] += minus
        t["expected_runs"] += 1 + 2 * plus * minus / n
        if n > 1:
            t["variance"] += 2 * plus * minus * (2 * plus * minus - n) / (n * n * (n - 1))
    t["z"] = (t["runs"] - t["expected_runs"]) / math.sqrt(t["variance"] or math.nan)
    t["p_value"] = 0.5 * (1 + math.erf(t["z"] / math.sqrt(2)))
    return t


def least_squares(points, km, vmax):
    """Gauss-Newton on Km and Vmax, each step halved until it lowers the sum of squares."""
    rows, rss = model(points, km, vmax)
    for _ in range(100):
        a, b, d = dot(rows, 1, 1), dot(rows, 1, 2), dot(rows, 2, 2)
        gk, gv = dot(rows, 1, 3), dot(rows, 2, 3)
        dk, dv = (d * gk - b * gv) / (a * d - b * b), (a * gv - b * gk) / (a * d - b * b)
        for _ in range(40):
            trial, trial_rss = model(points, km + dk, vmax + dv)
            if trial_rss <= rss:
                break
            dk, dv = dk / 2, dv / 2
        km, vmax, rows, rss = km + dk, vmax + dv, trial, trial_rss
        if abs(dk) <= 1e-14 * km and abs(dv) <= 1e-14 * vmax:
            break
    return km, vmax, rows, rss


def profile(points, constant, value, other):
    """RSS with constant (0 Km, 1 Vmax) at value, minimised over the other by Gauss-Newton."""
    for _ in range(100):
        rows, rss = model(points, *((value, other) if constant == 0 else (other, value)))
        column = 2 - constant
        step = dot(rows, column, 3) / dot(rows, column, column)
        other += step
        if abs(step) <= 1e-14 * abs(other):
            break
    return model(points, *((value, other) if constant == 0 else (other, value)))[1]


def profile_end(points, best, constant, se, level, side):
    """Where the profile crosses the level: a bracket widened outwards, then bisection."""
    def above(c):
        return profile(points, constant, c, best[1 - constant]) - level

    inner, outer = best[constant], best[constant] + side * 3 * se
    while above(outer) < 0:
        inner, outer = outer, outer + side * 3 * se
    for _ in range(60):
        middle = 0.5 * (inner + outer)
        inner, outer = (middle, outer) if above(middle) < 0 else (inner, middle)
    return 0.5 * (inner + outer)


# F(0.95; 1, n - 2) from a printed table of the F distribution.
F_TABLE = {33: 4.139, 34: 4.130, 35: 4.121}


def check_statistics(params):
    r = json.load(open("report.json"))
    free = r["free_fit"]
    names, mid = read_params(params)
    table = read_table("report.tsv")
    by_curve = [[row for row in table if row[0] == str(k)] for k in range(1, len(names) + 1)]

    # The runs test of the held fit, from the table's residuals of its compared points.
    want = runs_test([[float(row[5]) for row in rows if row[6] == "1"] for rows in by_curve])
    for key, value in want.items():
        ok = r["residual_test"][key] == value if isinstance(value, int) else close(
            r["residual_test"][key], value, 1e-9)
        expect(ok, "residual_test %s %r, recomputed %r" % (key, r["residual_test"][key], value))
    for fit, test in [("held", r["residual_test"]), ("free", free["residual_test"])]:
        expect(test["p_value"] >= 0.05, "the %s fit's residual test flags the example" % fit)
    kinds = {w["kind"] for w in r["warnings"]}
    expect(not kinds & {"residual_pattern", "held_constant"}, "warnings of kinds %r" % kinds)

    # The free fit, on the table's compared points (time counted from point 0).
    points = []
    for name, rows in zip(names, by_curve):
        s0, file_points = read_curve(name)
        points += [(s0, float(row[2]) - file_points[0][0], float(row[3]))
                   for row in rows if row[6] == "1"]
    n = len(points)
    km, vmax, rows, rss = least_squares(points, mid[0], mid[1])
    a, b, d = dot(rows, 1, 1), dot(rows, 1, 2), dot(rows, 2, 2)
    s2 = rss / (n - 2)
    se = (math.sqrt(s2 * d / (a * d - b * b)), math.sqrt(s2 * a / (a * d - b * b)))
    # The report's simulated values differ from the closed form's by less than 1e-12 here, so
    # the tolerances follow from how it reaches its numbers. Its direction-set minimiser stops
    # when a cycle lowers RSS by less than 1e-6 of it: RSS within 1e-6 of the minimum, the
    # constants within sqrt(1e-6 (n - 2)) ~ 0.006 standard errors of the optimum. Standard
    # errors and correlation come from a Jacobian at that point, which moves them by about
    # 0.01 se/Km (se/Km = 0.008 here): 1e-4.
    for key, value, s in [("km", km, se[0]), ("vmax", vmax, se[1])]:
        expect(abs(free[key] - value) < 0.01 * s, "free %s %r, recomputed %r"
               % (key, free[key], value))
    checks = [("sum_of_squares", rss, 1e-6), ("km_standard_error", se[0], 1e-4),
              ("vmax_standard_error", se[1], 1e-4), ("correlation", -b / math.sqrt(a * d), 1e-4)]
    for key, value, rel in checks:
        expect(close(free[key], value, rel), "free %s %r, recomputed %r" % (key, free[key], value))

    # The profile intervals at RSS_min (1 + F / (n - 2)). The report resolves their ends to 16
    # bits, 2^-15 of the end; the table's 4 digits of F move them by ~1e-4 standard errors.
    if n - 2 not in F_TABLE:
        return expect(False, "no tabulated F(0.95; 1, %d)" % (n - 2))
    level = rss * (1 + F_TABLE[n - 2] / (n - 2))
    for constant, key in [(0, "km_ci95"), (1, "vmax_ci95")]:
        ends = [profile_end(points, (km, vmax), constant, se[constant], level, side)
                for side in (-1, 1)]
        expect(all(got is not None and abs(got - end) < 2 ** -15 * abs(end)
                   for got, end in zip(free[key], ends)),
               "free %s %r, recomputed %r" % (key, free[key], ends))


if __name__ == "__main__":
    if sys.argv[1] == "outputs":
        check_outputs(*(sys.argv[2:6] + ["", ""])[:4])
    else:
        check_statistics(sys.argv[2])
    print("\n".join(faults), end="\n" if faults else "")
    sys.exit(1 if faults else 0)
