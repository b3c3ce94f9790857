#!/usr/bin/env python3
"""The report's warnings about a censored tail and a held constant, against calculations
made here from the input files and the closed-form Michaelis-Menten solution.

    check_warnings.py tail-data           writes params.txt and three curves into this folder
    check_warnings.py tail PARAMS         the censored_tail and not_positive warnings
    check_warnings.py held PARAMS yes|no  the held_constant warning, given or not

Run in the report's folder (report.json). One line per fault.
"""

import json
import math
import re
import sys

from check_values import dot, least_squares, model, read_params, substrate

faults = []


def expect(ok, message):
    if not ok:
        faults.append(message)


def curve_lines(path):
    """S0, and per point (file line, time, concentration); every line of the file counts."""
    rows = [(k, w) for k, w in enumerate(map(str.split, open(path)), 1)
            if w and not w[0].startswith("#")]
    return float(rows[0][1][0]), [(k, float(w[0]), float(w[1])) for k, w in rows[1:]]


def shows(text, value, digits):
    """Whether text is value rounded to that many significant digits."""
    unit = 10 ** (math.floor(math.log10(abs(value))) - digits + 1)
    return text is not None and abs(float(text) - value) <= 0.5 * unit * (1 + 1e-9)


# ---- censored tail ----
# Michaelis-Menten (Km 0.8 mM, Vmax 0.05 mM/s, held at its midpoint) with a fixed pattern of
# noise of about 0.0025 mM, written to 4 decimals. tail.txt runs on long after the substrate
# is gone, so its last points scatter around 0; gap.txt has a reading written as 0 in its
# middle; zeros.txt ends with readings written as 0 only.
KM, VMAX = 0.8, 0.05
NOISE = [0.003, -0.002, 0.001, -0.003, 0.002, -0.001, 0.0025, -0.0015]
PARAMS = """\
const 0 0.2 1.0 2.0
const 1 0.03 0.05 0.07
plot tail.txt
plot gap.txt
plot zeros.txt
"""


def write_curve(name, s0, times, value):
    with open(name, "w") as f:
        f.write("# S0 = %g mM; time (s), substrate (mM)\n%g\n" % (s0, s0))
        for i, t in enumerate(times):
            c = s0 if i == 0 else value(i, substrate(s0, KM, VMAX, t))
            f.write("%g %.4f\n" % (t, c))


def write_tail_data():
    open("params.txt", "w").write(PARAMS)
    write_curve("tail.txt", 0.5, range(0, 155, 5), lambda i, s: s + NOISE[i % len(NOISE)])
    write_curve("gap.txt", 2.0, range(0, 65, 5),
                lambda i, s: 0.0 if i == 6 else s + NOISE[i % len(NOISE)])
    write_curve("zeros.txt", 1.0, range(0, 160, 10),
                lambda i, s: 0.0 if s < 0.01 else s + NOISE[i % len(NOISE)])


def check_tail(params):
    r = json.load(open("report.json"))
    names, mid = read_params(params)
    km, vmax = r["km"], r["held"]["vmax"]
    expect(vmax == mid[1], "held Vmax %r, the midpoint is %r" % (vmax, mid[1]))
    curves = {name: curve_lines(name) for name in names}
    # The residual sd of the held fit, s = sqrt(RSS / (n - 1)), over the compared points.
    residuals = [c - substrate(s0, km, vmax, t - points[0][1])
                 for s0, points in curves.values() for _, t, c in points[1:] if c > 0]
    level = 2 * math.sqrt(sum(x * x for x in residuals) / (len(residuals) - 1))
    warned = {}
    for w in r["warnings"]:
        warned.setdefault((w["file"], w["kind"]), []).append(w)
    told = set()
    for name, (s0, points) in curves.items():
        simulated = [substrate(s0, km, vmax, t - points[0][1]) for _, t, _ in points]
        # The tail: from the first point after which the simulation stays below the level.
        start = len(points)
        while start > 1 and simulated[start - 1] < level:
            start -= 1
        tail = points[start:]
        out = [p for p in tail if p[2] <= 0]
        kept = len(tail) - len(out)
        given = warned.get((name, "censored_tail"), [])
        if not (out and kept):
            expect(not given, "%s: censored_tail warning %r" % (name, given))
            lost = [p for p in points[1:] if p[2] <= 0]
            positive = warned.get((name, "not_positive"), [])
            expect(not lost or (len(positive) == 1 and positive[0]["line"] == lost[0][0]),
                   "%s: not_positive warnings %r, points at or below 0 on lines %r"
                   % (name, positive, [p[0] for p in lost]))
            continue
        told.add(name)
        line, t = points[start][0], "%.10g" % points[start][1]
        want = ("From point %d (line %d, time %s) on, the fitted substrate stays below twice the "
                "residual sd (" % (start, line, t))
        message = given[0]["message"] if len(given) == 1 else ""
        expect(len(given) == 1 and given[0]["line"] == out[0][0] and message.startswith(want),
               "%s: censored_tail warnings %r, expected one on line %d starting %r"
               % (name, given, out[0][0], want))
        m = re.search(r"residual sd \((\S+)\)", message)
        expect(m and math.isclose(float(m.group(1)), level, rel_tol=1e-8),
               "%s: level %r, recomputed %r" % (name, m and m.group(1), level))
        expect("%d points of them at or below 0 are left out, while the %d points above 0"
               % (len(out), kept) in message, "%s: counts in %r" % (name, message))
        cut = "cut the curve after point %d (time %s, line %d), dropping lines %d to %d." % (
            start, t, line, tail[1][0], tail[-1][0])
        expect(message.endswith(cut), "%s: %r does not end %r" % (name, message, cut))
        expect((name, "not_positive") not in warned, "%s: also not_positive" % name)
    # The data set is made so that exactly one curve has a censored tail.
    expect(told == {"tail.txt"}, "censored tails recomputed in %r" % sorted(told))


# ---- held constant ----


def compared_points(names):
    points = []
    for name in names:
        s0, rows = curve_lines(name)
        points += [(s0, t - rows[0][1], c) for _, t, c in rows[1:] if c > 0]
    return points


def held_fit(points, km, vmax):
    """Km by Gauss-Newton with Vmax held, and its standard error."""
    for _ in range(100):
        rows, rss = model(points, km, vmax)
        step = dot(rows, 1, 3) / dot(rows, 1, 1)
        km += step
        if abs(step) <= 1e-14 * km:
            break
    rows, rss = model(points, km, vmax)
    return km, math.sqrt(rss / (len(points) - 1) / dot(rows, 1, 1))


HELD = (r"the held fit's Km (\S+) \(with Vmax (\S+) held\) and the free fit's Km (\S+) ± (\S+) "
        r"disagree: Vmax is held at (\S+), but the free fit gives (\S+) ± (\S+), (\S+) standard "
        r"errors away; their 95 % intervals, (\S+) \.\. (\S+) and (\S+) \.\. (\S+), do not overlap")


def check_held(params, given):
    r = json.load(open("report.json"))
    free = r["free_fit"]
    names, mid = read_params(params)
    points = compared_points(names)
    n = len(points)
    held_km, held_se = held_fit(points, mid[0], mid[1])
    km, vmax, rows, rss = least_squares(points, mid[0], mid[1])
    a, b, d = dot(rows, 1, 1), dot(rows, 1, 2), dot(rows, 2, 2)
    s2 = rss / (n - 2)
    se = (math.sqrt(s2 * d / (a * d - b * b)), math.sqrt(s2 * a / (a * d - b * b)))
    distance = abs(mid[1] - vmax) / se[1]
    # The minimisers stop within ~0.006 standard errors of their optima.
    expect(abs(r["km"] - held_km) < 0.01 * held_se, "held Km %r, recomputed %r"
           % (r["km"], held_km))
    expect(abs(free["km"] - km) < 0.01 * se[0] and abs(free["vmax"] - vmax) < 0.01 * se[1],
           "free fit %r, %r, recomputed %r, %r" % (free["km"], free["vmax"], km, vmax))
    held_low, held_high = r["km_ci95"]
    free_low, free_high = free["km_ci95"]
    apart = held_high < free_low or held_low > free_high
    warnings = [w["message"] for w in r["warnings"] if w["kind"] == "held_constant"]
    if given == "no":
        expect(distance < 2 and not apart, "Vmax %r is %.3g standard errors from %r, the Km "
               "intervals %r and %r: the case is no case" % (mid[1], distance, vmax,
                                                             r["km_ci95"], free["km_ci95"]))
        return expect(not warnings, "held_constant warnings %r" % warnings)
    expect(distance > 2 and apart, "Vmax %r is %.3g standard errors from %r, the Km intervals "
           "%r and %r: the case is no case" % (mid[1], distance, vmax, r["km_ci95"],
                                               free["km_ci95"]))
    m = len(warnings) == 1 and re.match(HELD, warnings[0])
    if not m:
        return expect(False, "held_constant warnings %r" % warnings)
    g = m.groups()
    want = [("%.6g" % r["km"], "held Km"), ("%.6g" % mid[1], "held Vmax"),
            ("%.6g" % free["km"], "free Km"), ("%.2g" % free["km_standard_error"], "its SE"),
            ("%.6g" % mid[1], "held Vmax"), ("%.6g" % free["vmax"], "free Vmax"),
            ("%.2g" % free["vmax_standard_error"], "its SE"), (g[7], "distance")] + \
        [("%.6g" % v, "interval end") for v in r["km_ci95"] + free["km_ci95"]]
    for text, (expected, what) in zip(g, want):
        expect(text == expected, "%s %r in the warning, the JSON gives %r" % (what, text, expected))
    for text, value, what in [(g[3], se[0], "free Km's SE"), (g[6], se[1], "free Vmax's SE"),
                              (g[7], distance, "distance")]:
        expect(shows(text, value, 2), "%s %r in the warning, recomputed %r" % (what, text, value))
    expect(float(g[7]) > 2, "distance %r in the warning" % g[7])


if __name__ == "__main__":
    if sys.argv[1] == "tail-data":
        write_tail_data()
    elif sys.argv[1] == "tail":
        check_tail(sys.argv[2])
    else:
        check_held(sys.argv[2], sys.argv[3])
    print("\n".join(faults), end="\n" if faults else "")
    sys.exit(1 if faults else 0)
