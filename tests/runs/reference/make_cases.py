#!/usr/bin/env python3
"""(Re)writes every whole-run case under tests/runs/cases from the reference model.

    make_cases.py [--into DIR]

With --into, the case folders go into DIR (created when missing) instead, and the tree is
left alone: tests/runs/check_cases.sh compares such a fresh copy with the checked-in cases.

Each case folder gets `program`, `args`, `input/`, an optional `setup` and `expected/`
(stdout, stderr, status, and out.dat when the run leaves one). The expected files are
produced by running velkor_reference.py the way tests/runs/run_case.sh runs the program:
in a fresh directory holding a copy of input/, after `setup`.

Before writing, the fits that carry a claim are checked independently of the printed
digits: the noise-free synthetic problem must give its true Km to 1e-3 relative, and the
bundled example's Km must lie within three standard errors of 0.8 mM.
"""

import argparse
import io
import math
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
CASES = os.path.join(ROOT, "tests", "runs", "cases")
EXAMPLES = os.path.join(ROOT, "examples")
REFERENCE = os.path.join(HERE, "velkor_reference.py")

sys.path.insert(0, HERE)
import make_example  # noqa: E402
import velkor_reference  # noqa: E402


def example_files():
    files = {}
    for name in sorted(os.listdir(EXAMPLES)):
        path = os.path.join(EXAMPLES, name)
        if os.path.isfile(path) and name.endswith(".txt"):
            with open(path) as f:
                files[name] = f.read()
    return files


# A problem without curves keeps a run short: every fit evaluates the objective three times
# (flat at the start point), each evaluation printing a not-a-number quality figure.
NO_CURVES = """\
integration_steps 1000
max_iterations 200
max_error 1e-6
const 0 0.2 1.0 2.0
const 1 0.03 0.05 0.07
"""

NO_CURVES_B = NO_CURVES + "const 2 0.5 1.0 1.5\n"

MISSING_CURVE = NO_CURVES + "plot missing.txt\n"

# Another no-curve problem whose settings echo tells which file was read.
OTHER_NO_CURVES = NO_CURVES.replace("max_iterations 200", "max_iterations 77")

# Noise-free closed-form data: Km = 0.5, Vmax = 0.02 (the midpoint of its range), S0 = 1.
SYNTHETIC_KM = 0.5
SYNTHETIC_CURVE = make_example.curve_text(1.0, SYNTHETIC_KM, 0.02, [2 * i for i in range(11)],
                                          0.0, None, 10)
SYNTHETIC_PARAMS = """\
const 0 0.1 0.7 1.3
const 1 0.01 0.02 0.03
plot curve.txt
"""

# The reader's formats in one run: CR LF line ends, a last line without line end, a keyword
# on a hash line, keywords in another case, several keywords on one line, a repeated index,
# the order message at equal and at reversed bounds; in the curve file comment, indented
# comment and blank lines, words after the numbers, a point without concentration.
FORMAT_PARAMS = ("# max_error 0.5 counts: hash lines are not comments here\r\n"
                 "Integration_steps 7\r\n"
                 "integration_steps 100 max_iterations 50\r\n"
                 "\r\n"
                 "junk const 0 1 1 1\r\n"
                 "const 0 5 3 1\r\n"
                 "const 0 0.5 1.0 1.5  const 1 0.05 0.06 0.07\r\n"
                 "plot curve.txt")
FORMAT_CURVE = ("# substrate, run 3\r\n"
                "2.5\r\n"
                "\r\n"
                "0.0 2.5\r\n"
                "10 1.9\r\n"
                "20 1.4 extra words\r\n"
                "   # indented comment\r\n"
                "30\r\n"
                "40 0.9 # a hash after the numbers\r\n")


def case_list():
    example = example_files()
    no_curves = {"params.txt": NO_CURVES}
    cases = [
        # name, program, words, input files, setup
        ("velkor-no-arguments", "velkor", [], {}, None),
        ("velkor-b-no-arguments", "velkor-b", [], {}, None),
        ("velkor-help", "velkor", ["-h"], no_curves, None),
        ("velkor-help-long", "velkor", ["--help"], no_curves, None),
        ("velkor-help-and-file", "velkor", ["-h", "-f", "params.txt"], no_curves, None),
        ("velkor-missing-parameter-file", "velkor", ["-f", "nosuch.txt"], {}, None),
        ("velkor-no-curves", "velkor", ["-f", "params.txt"], no_curves, None),
        ("velkor-b-no-curves", "velkor-b", ["-f", "params.txt"], {"params.txt": NO_CURVES_B},
         None),
        ("velkor-three-constants", "velkor", ["-f", "params.txt"], {"params.txt": NO_CURVES_B},
         None),
        ("velkor-b-two-constants", "velkor-b", ["-f", "params.txt"], no_curves, None),
        ("velkor-missing-curve-file", "velkor", ["-f", "params.txt"],
         {"params.txt": MISSING_CURVE}, None),
        ("velkor-file-formats", "velkor", ["-f", "params.txt"],
         {"params.txt": FORMAT_PARAMS, "curve.txt": FORMAT_CURVE}, None),
        ("velkor-example", "velkor", ["-f", "params.txt"], example, None),
        ("velkor-b-example", "velkor-b", ["-f", "params-b.txt"], example, None),
        ("velkor-synthetic-exact", "velkor", ["-f", "params.txt"],
         {"params.txt": SYNTHETIC_PARAMS, "curve.txt": SYNTHETIC_CURVE}, None),
        ("velkor-surplus-and-unregistered", "velkor",
         ["params.txt", "-x", "100", "--maxiterations", "5", "-f", "params.txt", "extra"],
         no_curves, None),
        ("velkor-surplus-around-file", "velkor", ["params.txt", "-f", "other.txt", "extra"],
         {"params.txt": NO_CURVES, "other.txt": OTHER_NO_CURVES}, None),
        ("velkor-surplus-without-file", "velkor", ["params.txt"], no_curves, None),
        ("velkor-silent-options", "velkor",
         ["-t", "100", "--iterations", "100", "-e", "0.01", "--admissible_error=0.01", "-v",
          "-f", "params.txt"], no_curves, None),
        ("velkor-file-long-equals", "velkor", ["--file=params.txt"], no_curves, None),
        ("velkor-file-long-separate", "velkor", ["--file", "params.txt"], no_curves, None),
        ("velkor-file-attached", "velkor", ["-fparams.txt"], no_curves, None),
        ("velkor-file-short-equals", "velkor", ["-f=params.txt"], no_curves, None),
        ("velkor-flag-group-vf", "velkor", ["-vf", "params.txt"], no_curves, None),
        ("velkor-file-last-word", "velkor", ["-f"], no_curves, None),
        ("velkor-file-twice", "velkor", ["-f", "a.txt", "-f", "b.txt"],
         {"a.txt": NO_CURVES, "b.txt": OTHER_NO_CURVES}, None),
        ("velkor-file-takes-dash-h", "velkor", ["--file", "-h"], no_curves, None),
        ("velkor-file-empty-value", "velkor", ["-f="], no_curves, None),
        ("velkor-out-dat-directory", "velkor", ["-f", "params.txt"], no_curves,
         "mkdir out.dat\n"),
        ("velkor-b-out-dat-directory", "velkor-b", ["-f", "params.txt"],
         {"params.txt": NO_CURVES_B}, "mkdir out.dat\n"),
    ]
    return cases


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as f:
        f.write(text)


def run_reference(program, words, files, setup):
    work = tempfile.mkdtemp(prefix="velkor-ref.")
    try:
        for name, text in files.items():
            write(os.path.join(work, name), text)
        if setup:
            subprocess.run(["bash", "-c", setup], cwd=work, check=True)
        done = subprocess.run([sys.executable, REFERENCE, program] + words, cwd=work,
                              stdin=subprocess.DEVNULL, capture_output=True)
        out_dat = os.path.join(work, "out.dat")
        trace = None
        if os.path.isfile(out_dat):
            with open(out_dat, "rb") as f:
                trace = f.read()
        return done.stdout, done.stderr, done.returncode, trace
    finally:
        shutil.rmtree(work)


def write_case(into, name, program, words, files, setup):
    folder = os.path.join(into, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "expected"))
    write(os.path.join(folder, "program"), program + "\n")
    write(os.path.join(folder, "args"), " ".join(shlex.quote(w) for w in words) + "\n"
          if words else "")
    for file_name, text in files.items():
        write(os.path.join(folder, "input", file_name), text)
    if setup:
        write(os.path.join(folder, "setup"), setup)
    stdout, stderr, status, trace = run_reference(program, words, files, setup)
    expected = os.path.join(folder, "expected")
    with open(os.path.join(expected, "stdout"), "wb") as f:
        f.write(stdout)
    with open(os.path.join(expected, "stderr"), "wb") as f:
        f.write(stderr)
    write(os.path.join(expected, "status"), "%d\n" % status)
    if trace is not None:
        with open(os.path.join(expected, "out.dat"), "wb") as f:
            f.write(trace)


def fitted_km(program, words, files):
    """Runs the reference in this process and returns the fitted constant 0 unrounded."""
    work = tempfile.mkdtemp(prefix="velkor-fit.")
    here = os.getcwd()
    saved = sys.stdout, sys.stderr
    try:
        for name, text in files.items():
            write(os.path.join(work, name), text)
        os.chdir(work)
        sys.stdout, sys.stderr = io.StringIO(), io.StringIO()
        velkor_reference.main(["velkor_reference.py", program] + words)
        return velkor_reference.ws.rate_constants[0]
    finally:
        sys.stdout, sys.stderr = saved
        os.chdir(here)
        shutil.rmtree(work)


def km_standard_error():
    """Linearised standard error of Km for the example's design and noise."""
    e = make_example
    total = 0.0
    for s0, _ in e.INITIAL:
        for t in e.TIMES[1:]:
            dk = 1e-6
            slope = (e.substrate(s0, e.KM + dk, e.VMAX, t) -
                     e.substrate(s0, e.KM - dk, e.VMAX, t)) / (2 * dk)
            total += slope * slope
    return e.NOISE / math.sqrt(total)


def closed_form_quality(curve_texts, km, vmax):
    """The quality figure of one evaluation, with the closed-form curve in place of the
    integrator (their difference at step 0.01 is far below the printed six digits)."""
    ss = ss_tot = 0.0
    for text in curve_texts:
        rows = [line.split() for line in text.splitlines() if line and line[0] != "#"]
        s0 = float(rows[0][0])
        times = [float(r[0]) for r in rows[1:]]
        v = [float(r[1]) for r in rows[1:]]
        n = len(v)
        mean = sum(v[:-1]) / n
        ss_tot += sum((x - mean) ** 2 for x in v[:-1])
        ss += sum((make_example.substrate(s0, km, vmax, t - times[0]) - v[i]) ** 2
                  for i, t in enumerate(times) if i > 0)
    return "%10.5e" % (1.0 - ss / ss_tot)


def first_quality_line(program, words, files):
    stdout = run_reference(program, words, files, None)[0]
    lines = stdout.decode().splitlines()
    return lines[lines.index("<----------Calculation Results ---------->") + 1]


def check_fits():
    files = {"params.txt": SYNTHETIC_PARAMS, "curve.txt": SYNTHETIC_CURVE}
    first = first_quality_line("velkor", ["-f", "params.txt"], files)
    assert first == closed_form_quality([SYNTHETIC_CURVE], 0.7, 0.02), first
    example = example_files()
    curves = [example[name] for _, name in make_example.INITIAL]
    first = first_quality_line("velkor", ["-f", "params.txt"], example)
    assert first == closed_form_quality(curves, 1.1, 0.05), first
    print("first quality figures agree with the closed-form curves")
    km = fitted_km("velkor", ["-f", "params.txt"],
                   {"params.txt": SYNTHETIC_PARAMS, "curve.txt": SYNTHETIC_CURVE})
    relative = abs(km - SYNTHETIC_KM) / SYNTHETIC_KM
    print("synthetic: fitted Km %.10g, true %g, relative error %.2e" % (km, SYNTHETIC_KM,
                                                                        relative))
    assert relative < 1e-3
    km = fitted_km("velkor", ["-f", "params.txt"], example_files())
    sigma = km_standard_error()
    print("example: fitted Km %.10g mM, true %g, standard error %.4f (%.2f sigma)" %
          (km, make_example.KM, sigma, abs(km - make_example.KM) / sigma))
    assert abs(km - make_example.KM) < 3 * sigma


def main():
    parser = argparse.ArgumentParser(description="Writes the whole-run cases from the "
                                     "reference model.")
    parser.add_argument("--into", metavar="DIR", default=CASES,
                        help="folder to write the case folders into (default: %(default)s)")
    into = os.path.abspath(parser.parse_args().into)
    check_fits()
    for case in case_list():
        write_case(into, *case)
        print("wrote", case[0])


if __name__ == "__main__":
    main()
