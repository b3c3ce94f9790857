#!/usr/bin/env python3
"""The values of a finished velkor-compare run, against calculations made here.

    check_compare.py PREFIX PARAMS

Run in the comparison's folder (PREFIX.json, PREFIX.tsv, its summary in `stdout`). The
ranking is recomputed from each law's sum of squares, n and k alone; the table is checked
row by row against the JSON; the verdict against the thresholds of ΔAICc; and the
Michaelis-Menten law's constants against a least-squares fit of its closed-form solution.
One line per fault.
"""

import csv
import json
import math
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "report_runs"))
from check_values import dot, least_squares, profile_end, read_curve, read_params  # noqa: E402

faults = []

# The laws compared and the number of constants each fits: every law but velkor-b's.
CONSTANTS = {"velkor": 2, "velkor-pi": 3, "velkor-ei": 3, "velkor-si": 3}
# F(0.95; 1, n - 2) from t(0.975; n - 2)^2, t from a printed table to 5 digits.
F_TABLE = {29: 2.04523 ** 2, 34: 2.03224 ** 2}


def expect(ok, message):
    if not ok:
        faults.append(message)


def aicc(rss, n, k):
    return n * math.log(rss / n) + 2 * k + 2 * k * (k + 1) / (n - k - 1)


def compared_points(params):
    """(S0, time from point 0, measured) of every point the fit compares: after point 0,
    measured above 0 (times increase in the problems given here, so every point is reached)."""
    names, _ = read_params(params)
    points = []
    for name in names:
        s0, rows = read_curve(name)
        points += [(s0, t - rows[0][0], c) for t, c in rows[1:] if c > 0]
    return points


def check_ranking(r, n):
    models = r["models"]
    expect(sorted(m["program"] for m in models) == sorted(CONSTANTS),
           "laws compared %r" % [m["program"] for m in models])
    expect(r["points_compared"] == n, "points_compared %r, the curve files give %d"
           % (r["points_compared"], n))
    want = {}
    for m in models:
        k = CONSTANTS.get(m["program"], len(m["constants"]))
        expect(m["k"] == k == len(m["constants"]), "%s: k %r" % (m["program"], m["k"]))
        expect(m["points_compared"] == n, "%s: n %r" % (m["program"], m["points_compared"]))
        want[m["program"]] = aicc(m["sum_of_squares"], n, k)
    order = sorted(want, key=want.get)
    expect([m["program"] for m in models] == order,
           "ranked %r, AICc orders %r" % ([m["program"] for m in models], order))
    expect(r["best"] == order[0], "best %r, lowest AICc %r" % (r["best"], order[0]))
    total = sum(math.exp(-(a - want[order[0]]) / 2) for a in want.values())
    for m in models:
        a = want[m["program"]]
        delta = a - want[order[0]]
        for key, value in [("aicc", a), ("delta_aicc", delta),
                           ("weight", math.exp(-delta / 2) / total)]:
            expect(math.isclose(m[key], value, rel_tol=1e-9, abs_tol=1e-9),
                   "%s: %s %r, recomputed %r" % (m["program"], key, m[key], value))
    return [(p, want[p] - want[order[0]]) for p in order]


def check_verdict(r, ranked, stdout):
    """The sentence against the recomputed ΔAICc of the second law: under 2 the two cannot be
    told apart, over 10 the evidence is decisive, between substantial."""
    laws = {m["program"]: m["law"] for m in r["models"]}
    (best, _), (second, delta) = ranked[0], ranked[1]
    shown = "%.3g" % delta
    weight = "%.3g" % r["models"][0]["weight"]
    if delta < 2:
        want = "The data cannot tell %s (%s) from %s (%s): their AICc differ by %s, less than 2." \
            % (laws[best], best, laws[second], second, shown)
    elif delta > 10:
        want = ("The data decisively support %s (%s): the next law, %s, is %s higher in AICc "
                "(over 10), and the best law's Akaike weight is %s." %
                (laws[best], best, laws[second], shown, weight))
    else:
        want = ("The data support %s (%s) over %s, by %s in AICc (between 2 and 10: substantial, "
                "not decisive); its Akaike weight is %s." %
                (laws[best], best, laws[second], shown, weight))
    expect(r["verdict"] == want, "verdict %r, expected %r" % (r["verdict"], want))
    expect(want in stdout.splitlines(), "the summary does not say %r" % want)
    # The summary's table lists the laws in the same order.
    listed = re.findall(r"^(\d+) +(\S+) +\d+ ", stdout, re.M)
    expect(listed == [(str(i), p) for i, (p, _) in enumerate(ranked, 1)],
           "summary ranks %r" % listed)


def number(text):
    return math.nan if text == "NaN" else float(text)


def same(a, b):
    return (a is None and math.isnan(b)) or a == b


def check_table(r, prefix):
    rows = list(csv.reader(open(prefix + ".tsv", newline=""), delimiter="\t"))
    header = ["rank", "program", "k", "points_compared", "sum_of_squares", "aicc", "delta_aicc",
              "weight", "residual_test_p", "constant", "value", "standard_error", "ci95_low",
              "ci95_high"]
    expect(rows[0] == header, "%s.tsv header %r" % (prefix, rows[0]))
    want = [[rank, m["program"], m["k"], m["points_compared"], m["sum_of_squares"], m["aicc"],
             m["delta_aicc"], m["weight"], m["residual_test_p"], name, value,
             m["standard_errors"][name]] + m["ci95"][name]
            for rank, m in enumerate(r["models"], 1) for name, value in m["constants"].items()]
    expect(len(rows) - 1 == len(want), "%s.tsv: %d rows for %d constants"
           % (prefix, len(rows) - 1, len(want)))
    for row, w in zip(rows[1:], want):
        got = [int(row[0]), row[1], int(row[2]), int(row[3])] + [number(x) for x in row[4:9]] + \
            [row[9]] + [number(x) for x in row[10:]]
        if not all(same(b, a) for a, b in zip(got, w)):
            expect(False, "%s.tsv row %r, the JSON gives %r" % (prefix, row, w))
            break


def check_michaelis_menten(r, params, points):
    """The law's constants against Gauss-Newton on the closed form, from the midpoints."""
    m = next(m for m in r["models"] if m["program"] == "velkor")
    _, mid = read_params(params)
    km, vmax, rows, rss = least_squares(points, mid[0], mid[1])
    n = len(points)
    a, b, d = dot(rows, 1, 1), dot(rows, 1, 2), dot(rows, 2, 2)
    s2 = rss / (n - 2)
    se = (math.sqrt(s2 * d / (a * d - b * b)), math.sqrt(s2 * a / (a * d - b * b)))
    # The fit stops where a Gauss-Newton step promises less than 1e-9 of RSS: within ~0.001
    # standard errors of the optimum; the standard errors come from a Jacobian of central
    # differences there (see check_values.py).
    for j, (name, value) in enumerate([("Km", km), ("Vmax", vmax)]):
        expect(abs(m["constants"][name] - value) < 0.01 * se[j],
               "velkor %s %r, least squares %r" % (name, m["constants"][name], value))
        expect(math.isclose(m["standard_errors"][name], se[j], rel_tol=1e-3),
               "velkor %s standard error %r, recomputed %r"
               % (name, m["standard_errors"][name], se[j]))
    expect(math.isclose(m["sum_of_squares"], rss, rel_tol=1e-6),
           "velkor sum of squares %r, least squares %r" % (m["sum_of_squares"], rss))
    # The profile intervals at RSS_min (1 + F / (n - 2)). The report resolves their ends to
    # 2^-15 of the end; a wrong level (a degree of freedom more or less, a Wald interval) moves
    # an end by 1e-2 of it or more, a profile not minimised over Vmax by 4e-5.
    if n - 2 not in F_TABLE:
        return expect(False, "no tabulated F(0.95; 1, %d)" % (n - 2))
    level = rss * (1 + F_TABLE[n - 2] / (n - 2))
    for j, name in enumerate(["Km", "Vmax"]):
        ends = [profile_end(points, (km, vmax), j, se[j], level, side) for side in (-1, 1)]
        expect(all(got is not None and abs(got - end) < 2 ** -15 * abs(end)
                   for got, end in zip(m["ci95"][name], ends)),
               "velkor %s ci95 %r, recomputed %r" % (name, m["ci95"][name], ends))


def check_nesting(r):
    """Each other law becomes Michaelis-Menten at a limit of its third constant (Kp or Ksi
    -> infinity, kd = 0), so its optimum cannot lie above Michaelis-Menten's; at that limit
    it is Michaelis-Menten's."""
    rss = {m["program"]: m["sum_of_squares"] for m in r["models"]}
    for program, value in rss.items():
        expect(value <= rss["velkor"] * (1 + 1e-6),
               "%s: sum of squares %r above Michaelis-Menten's %r, a limit of its law"
               % (program, value, rss["velkor"]))
    # A law whose third constant ran off to its limit is Michaelis-Menten there: the same Km
    # and Vmax, and standard errors larger only by sqrt((n - 2) / (n - 3)), s^2 counting one
    # constant more.
    mm = next(m for m in r["models"] if m["program"] == "velkor")
    n = mm["points_compared"]
    for m in r["models"]:
        third = [c for c in m["constants"] if c not in ("Km", "Vmax")]
        if not third or m["standard_errors"][third[0]] is not None:
            continue
        for name in ("Km", "Vmax"):
            se = mm["standard_errors"][name]
            expect(abs(m["constants"][name] - mm["constants"][name]) < 0.01 * se,
                   "%s: %s %r at the limit, Michaelis-Menten's %r"
                   % (m["program"], name, m["constants"][name], mm["constants"][name]))
            expect(math.isclose(m["standard_errors"][name] or 0.0,
                                se * math.sqrt((n - 2) / (n - 3)), rel_tol=1e-3),
                   "%s: %s standard error %r at the limit, from Michaelis-Menten's %r"
                   % (m["program"], name, m["standard_errors"][name],
                      se * math.sqrt((n - 2) / (n - 3))))


def main(prefix, params):
    r = json.load(open(prefix + ".json"))
    stdout = open("stdout").read()
    points = compared_points(params)
    expect(r["parameter_file"] == params, "parameter_file %r" % r["parameter_file"])
    ranked = check_ranking(r, len(points))
    check_verdict(r, ranked, stdout)
    check_table(r, prefix)
    check_michaelis_menten(r, params, points)
    check_nesting(r)
    print("\n".join(faults), end="\n" if faults else "")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
