#!/usr/bin/env python3
"""Reference model of a whole velkor / velkor-b run, written independently of the C++ code.

    velkor_reference.py PROGRAM [WORD ...]

PROGRAM is velkor (two rate constants) or velkor-b (three). The words are the command
line after the program name. Runs in the current directory exactly like the program:
same standard output, standard error, "out.dat" and exit status.

Python floats are IEEE doubles; every sum and product below is formed in the order the
C++ program forms it, so the printed figures are bit-identical to a build with
-ffp-contract=off. Python raises on division by zero where IEEE gives an infinity or a
not-a-number, hence ieee_div(); the printf and iostream renderings of non-finite values
are mimicked by c_format() and stream_double().
"""

import math
import os
import struct
import sys

PLOTS = 16
POINTS = 256
SUBSTANCES = 1
MAX_VARIABLES = 30
MAX_EQUATIONS = 50

# ---------------------------------------------------------------------------------------
# IEEE arithmetic and C output formats


def _bits_to_double(bits):
    return struct.unpack("<d", struct.pack("<Q", bits))[0]


# x86's default quiet NaN (the result of 0/0, inf-inf, 0*inf) has its sign bit set.
DEFAULT_NAN = _bits_to_double(0xFFF8000000000000)


def sign_bit(x):
    return struct.unpack("<Q", struct.pack("<d", x))[0] >> 63 == 1


def ieee_div(a, b):
    if b != 0.0:
        return a / b
    if math.isnan(b):
        return a / b
    if math.isnan(a):
        return a
    if a == 0.0:
        return DEFAULT_NAN
    negative = sign_bit(a) != sign_bit(b)
    return -math.inf if negative else math.inf


def _non_finite_text(x):
    if math.isnan(x):
        return "-nan" if sign_bit(x) else "nan"
    return "-inf" if x < 0 else "inf"


def c_format(fmt, x):
    """printf of one double with a conversion like "%10.5e" or "%12.4e"."""
    if math.isfinite(x):
        return fmt % x
    width = int(fmt[1:].split(".")[0] or 0)
    return _non_finite_text(x).rjust(width)


def stream_double(x):
    """A double as std::ostream prints it by default (%g, six significant digits)."""
    if math.isfinite(x):
        return "%g" % x
    return _non_finite_text(x)


def truncate_to_int(x):
    """Conversion of `needed` to int; out-of-range and not-a-number give -1 (never reached)."""
    if math.isnan(x) or x >= 2147483648.0 or x <= -2147483649.0:
        return -1
    return int(x)


# ---------------------------------------------------------------------------------------
# Output of the process


class Exit(Exception):
    def __init__(self, status):
        self.status = status


def out(line):
    sys.stdout.write(line + "\n")


def err(line):
    sys.stderr.write(line + "\n")


# ---------------------------------------------------------------------------------------
# Problem records (zero-initialised at creation)


class RunSettings:
    def __init__(self):
        self.integration_steps = 0
        self.max_iterations = 0
        self.max_error = 0.0


class ConstantSet:
    def __init__(self, constants):
        self.constant_min = [0.0] * constants
        self.constant_max = [0.0] * constants


class Plot:
    def __init__(self):
        self.pointCount = 0
        self.initialConcentration = 0.0
        self.time = [0.0] * POINTS
        self.concentration = [0.0] * POINTS  # SUBSTANCES = 1


class PlotSet:
    def __init__(self):
        self.plotCount = 0
        self.plot = [Plot() for _ in range(PLOTS)]
        out("Plots initialized")


# ---------------------------------------------------------------------------------------
# A line read like a std::istringstream: words and numbers by stream extraction

WHITE = " \t\n\v\f\r"


class LineStream:
    def __init__(self, text):
        self.text = text
        self.pos = 0
        self.failed = False

    def _skip_white(self):
        while self.pos < len(self.text) and self.text[self.pos] in WHITE:
            self.pos += 1
        return self.pos < len(self.text)

    def word(self):
        """>> std::string: None when no word is left."""
        if self.failed or not self._skip_white():
            self.failed = True
            return None
        start = self.pos
        while self.pos < len(self.text) and self.text[self.pos] not in WHITE:
            self.pos += 1
        return self.text[start : self.pos]

    def _take(self, chars):
        start = self.pos
        while self.pos < len(self.text) and self.text[self.pos] in chars:
            self.pos += 1
        return self.text[start : self.pos]

    def integer(self, old):
        """>> int: old value when nothing is left, 0 after a failed conversion."""
        if self.failed or not self._skip_white():
            self.failed = True
            return old
        sign = ""
        if self.text[self.pos] in "+-":
            sign = self.text[self.pos]
            self.pos += 1
        digits = self._take("0123456789")
        if not digits:
            self.failed = True
            return 0
        value = int(sign + digits)
        if value > 2147483647:
            self.failed = True
            return 2147483647
        if value < -2147483648:
            self.failed = True
            return -2147483648
        return value

    def real(self, old):
        """>> double for reals in decimal notation with an optional exponent."""
        if self.failed or not self._skip_white():
            self.failed = True
            return old
        start = self.pos
        if self.text[self.pos] in "+-":
            self.pos += 1
        mantissa = self._take("0123456789")
        if self.pos < len(self.text) and self.text[self.pos] == ".":
            self.pos += 1
            mantissa += self._take("0123456789")
        if not mantissa:
            self.failed = True
            return 0.0
        if self.pos < len(self.text) and self.text[self.pos] in "eE":
            self.pos += 1
            if self.pos < len(self.text) and self.text[self.pos] in "+-":
                self.pos += 1
            if not self._take("0123456789"):
                self.failed = True
                return 0.0
        value = float(self.text[start : self.pos])
        if math.isinf(value):
            self.failed = True
            return math.copysign(sys.float_info.max, value)
        return value


def read_lines(name):
    """The lines of a file as std::getline gives them, or None when it cannot be opened."""
    if name == "" or os.path.isdir(name):
        return None
    try:
        with open(name, "rb") as f:
            data = f.read().decode("latin-1")
    except OSError:
        return None
    lines = data.split("\n")
    if lines[-1] == "":
        lines.pop()
    return lines


# ---------------------------------------------------------------------------------------
# Measured-curve file


def read_plot_file(slot, plots, name):
    plot = plots.plot[slot]
    lines = read_lines(name)
    if lines is None:
        err("ERROR!! Can't open file")
        lines = []
    out("--------Plot Data Begin--------")
    data_lines = 0
    excess_reported = False
    for line in lines:
        value = LineStream(line).word()
        if value is None or value.startswith("#"):
            out("----------")
            continue
        if data_lines == POINTS + 1:
            if not excess_reported:
                err("Number of points exceed POINTS in file " + name)
                excess_reported = True
            continue
        data_lines += 1
        stream = LineStream(line)
        temp = stream.real(0.0)
        if stream.failed:
            continue
        if data_lines == 1:
            out(stream_double(temp))
            plot.initialConcentration = temp
            continue
        i = data_lines - 2
        echo = stream_double(temp) + " "
        plot.time[i] = temp
        read = 0
        for _ in range(SUBSTANCES):
            temp = stream.real(temp)
            if stream.failed:
                continue
            echo += stream_double(temp) + " "
            plot.concentration[i] = temp
            read += 1
        if read != SUBSTANCES:
            err("Wrong number of substances in file " + name + " on line " + str(data_lines))
        out(echo)
    plot.pointCount = max(data_lines - 1, 0)
    out("--------Plot Data End--------")


# ---------------------------------------------------------------------------------------
# Parameter file


def read_parameter_file(name, settings, constants, plots, CONSTANTS):
    lines = read_lines(name)
    if lines is None:
        err("ERROR!! Can't open file with parameters")
        lines = []
    line_count = const_count = plot_count = 0
    intTemp, error = 0, 0.0
    ind, constant_min, constant, constant_max = 0, 0.0, 0.0, 0.0
    for line in lines:
        line_count += 1
        stream = LineStream(line)
        while True:
            keyWord = stream.word()
            if keyWord is None:
                break
            if keyWord == "integration_steps":
                intTemp = stream.integer(intTemp)
                settings.integration_steps = intTemp
                out("Integration steps: " + str(intTemp))
            elif keyWord == "max_iterations":
                intTemp = stream.integer(intTemp)
                settings.max_iterations = intTemp
                out("Max iterations: " + str(intTemp))
            elif keyWord == "max_error":
                error = stream.real(error)
                settings.max_error = error
                out("Max error: " + stream_double(error))
            elif keyWord == "const":
                ind = stream.integer(ind)
                constant_min = stream.real(constant_min)
                constant = stream.real(constant)
                constant_max = stream.real(constant_max)
                if constant_min > constant or constant > constant_max:
                    err("wrong order of constatnt ( index " + str(ind) + " ) min/max values")
                if 0 <= ind < CONSTANTS:
                    constants.constant_min[ind] = constant_min
                    constants.constant_max[ind] = constant_max
                else:
                    err("constant index out of range ( index %d ), bounds ignored" % ind)
                const_count += 1
                out("Constant # %d : %s %s %s" % (ind, stream_double(constant_min),
                                                  stream_double(constant),
                                                  stream_double(constant_max)))
            elif keyWord == "plot":
                plot_count += 1
                if plot_count > PLOTS:
                    err("Number of plots exceed PLOTS")
                plotName = stream.word() or ""
                out("Plot Name: " + plotName)
                if plot_count <= PLOTS:
                    read_plot_file(plot_count - 1, plots, plotName)
            if stream.failed:
                break
    out("Total lines: %d" % line_count)
    out("Total consts: %d" % const_count)
    out("CONSTANTS: %d" % CONSTANTS)
    out("Total plots: %d" % plot_count)
    if const_count != CONSTANTS:
        err("Wrong number of constants in parameters file")
    plots.plotCount = min(plot_count, PLOTS)


# ---------------------------------------------------------------------------------------
# Command line

USAGE = [
    "",
    "Velkor based on Nedler-Mead (Downhill Simplex) minimization method",
    "",
    "Usage: ",
    "",
    " -h  --help  \t           Prints this help ",
    " -f  --file \t               File with parameters ",
    " -e  --admissible_error \t   Admissible Error ",
    " -t  --maxiterations \t   Maximum number of iterations for minimization",
    " -x  --iterations \t       Number of iterations for RK integration",
    " -v              \t\t   Verbose mode ",
    "",
]

LONG_OPTIONS = [("help", "flag", 0), ("file", "value", 1), ("admissible_error", "value", 2),
                ("iterations", "value", 3)]
SHORT_OPTIONS = [("h", "flag", 0), ("f", "value", 1), ("e", "value", 2), ("t", "value", 3),
                 ("v", "flag", 4)]


def lookup(table, name):
    for entry_name, kind, slot in table:
        if entry_name == name:
            return kind, slot
    return None, None


def parse_command_line(words):
    """Returns (value slots, surplus words) as the option parser leaves them."""
    slots = [None] * 5
    surplus = []
    i = 0
    while i < len(words):
        word = words[i]
        needs_value = None
        if word.startswith("--"):
            text = word[2:]
            eq = text.find("=")
            if eq <= 0:
                kind, slot = lookup(LONG_OPTIONS, text)
                if kind == "value":
                    needs_value = slot
                elif kind == "flag":
                    slots[slot] = "true"
            else:
                kind, slot = lookup(LONG_OPTIONS, text[:eq])
                if kind == "value":
                    slots[slot] = text[eq + 1 :]
                elif kind == "flag":
                    slots[slot] = "true"
        elif word.startswith("-"):
            group = word[1:]
            for j, ch in enumerate(group):
                kind, slot = lookup(SHORT_OPTIONS, ch)
                if kind == "flag":
                    slots[slot] = "true"
                elif kind == "value":
                    if j == len(group) - 1:
                        needs_value = slot
                    else:
                        slots[slot] = group[j + 1 :].lstrip(" =")
                    break
        else:
            surplus.append(word)
        if needs_value is not None and i < len(words) - 1:
            i += 1
            slots[needs_value] = words[i]
        i += 1
    return slots, surplus


def print_usage():
    out("")
    for line in USAGE:
        out(line)
    out("")


def read_command_line(words, settings, constants, plots, CONSTANTS):
    slots, surplus = parse_command_line(words)
    if not words:
        print_usage()
        return
    if slots[0] == "true":
        print_usage()
    if slots[1] is not None:
        read_parameter_file(slots[1], settings, constants, plots, CONSTANTS)
    for word in surplus:
        out("arg = " + word)


# ---------------------------------------------------------------------------------------
# Fit workspace


class Workspace:
    initial_conc = [0.0]
    rate_constants = []
    constant_mid = []
    plot_set = None
    point_time = [[0.0] * POINTS for _ in range(PLOTS)]
    sim_value = [[0.0] * POINTS for _ in range(PLOTS)]
    step_size = [0.0] * PLOTS
    sum_of_squares = 0.0
    fit_quality = 0.0


ws = Workspace()

# ---------------------------------------------------------------------------------------
# Kinetic model


def model_rate_2(t, y, dydt):
    rc0 = ws.rate_constants[1]
    rc1 = ws.rate_constants[0]
    dydt[0] = ieee_div(-rc0 * y[0], rc1 + y[0])


def model_rate_3(t, y, dydt):
    rc0 = ws.rate_constants[1]
    rc1 = ws.rate_constants[0]
    rc2 = ws.rate_constants[2]
    u = ws.initial_conc[0] - y[0]
    dydt[0] = ieee_div(-rc0 * u, (ieee_div(y[0], rc2) + 1.0) * rc1 + u)


# ---------------------------------------------------------------------------------------
# Hamming's predictor-corrector with a four-step Runge-Kutta start-up


class Hamming:
    a0 = a1 = a2 = b0 = b1 = b2 = m = e = 0.0
    h = hp = 0.0
    Y1 = [0.0] * MAX_EQUATIONS
    Y2 = [0.0] * MAX_EQUATIONS
    Y3 = [0.0] * MAX_EQUATIONS
    F1 = [0.0] * MAX_EQUATIONS
    F2 = [0.0] * MAX_EQUATIONS
    D = [0.0] * MAX_EQUATIONS
    FN = [0.0] * MAX_EQUATIONS
    P = [0.0] * MAX_EQUATIONS


hs = Hamming()


def rk4_step(n, f, t, y_in, y_out):
    h = hs.h
    hh = 0.5 * h
    h6 = h / 6.0
    tm = t[0] + hh
    te = t[0] + h
    FN, P, D = hs.FN, hs.P, hs.D
    f(t[0], y_in, FN)
    for i in range(n):
        P[i] = hh * FN[i] + y_in[i]
    f(tm, P, D)
    for i in range(n):
        FN[i] = 2 * D[i] + FN[i]
        P[i] = hh * D[i] + y_in[i]
    f(tm, P, D)
    for i in range(n):
        FN[i] = 2 * D[i] + FN[i]
        P[i] = h * D[i] + y_in[i]
    f(te, P, D)
    for i in range(n):
        y_out[i] = (FN[i] + D[i]) * h6 + y_in[i]
    t[0] = te


def hamming_step(start, n, h, t, y, alpha, f):
    s = hs
    if start:
        s.a0 = 9 * (1 - alpha) / 8
        s.a1 = alpha
        s.a2 = (alpha - 1) / 8
        s.b0 = (9 - alpha) / 24
        s.b1 = (7 * alpha + 9) / 12
        s.b2 = (17 * alpha - 9) / 24
        q = 121 - 5 * alpha
        s.m = 112 / q
        s.e = (9 - 5 * alpha) / q
        s.h = h
        s.hp = 4.0 * h / 3.0
        rk4_step(n, f, t, y, s.Y3)
        rk4_step(n, f, t, s.Y3, s.Y2)
        f(t[0], s.Y2, s.F2)
        rk4_step(n, f, t, s.Y2, s.Y1)
        f(t[0], s.Y1, s.F1)
        rk4_step(n, f, t, s.Y1, y)
        for i in range(n):
            s.D[i] = 0.0
        return
    FN, P, D = s.FN, s.P, s.D
    f(t[0], y, FN)
    for i in range(n):
        P[i] = (2 * (FN[i] + s.F2[i]) - s.F1[i]) * s.hp + s.Y3[i]
        s.F2[i] = s.F1[i]
        s.F1[i] = FN[i]
        s.Y3[i] = s.Y2[i]
        s.Y2[i] = s.Y1[i]
        s.Y1[i] = y[i]
        y[i] = P[i] - s.m * D[i]
    t[0] = t[0] + s.h
    f(t[0], y, FN)
    for i in range(n):
        c = ((s.a0 * s.Y1[i] + s.a1 * s.Y2[i]) + s.a2 * s.Y3[i]) + (
            (s.b0 * FN[i] + s.b1 * s.F1[i]) + s.b2 * s.F2[i]) * s.h
        D[i] = P[i] - c
        y[i] = s.e * D[i] + c


# ---------------------------------------------------------------------------------------
# Least-squares objective


def fit_objective(x, model_rate):
    rc = x[0] * ws.constant_mid[0]
    if rc < 0.0:
        rc = 0.0
    ws.rate_constants[0] = rc
    ws.sum_of_squares = 0.0
    ss_tot = 0.0
    plots = ws.plot_set
    for p in range(plots.plotCount):
        plot = plots.plot[p]
        N = plot.pointCount
        if N == 0:  # a missing or empty curve file: nothing to integrate or compare
            continue
        v = plot.concentration
        t = [0.0]
        ws.step_size[p] = 0.01
        t_end = plot.time[N - 1]
        ws.initial_conc[0] = plot.initialConcentration
        c = [ws.initial_conc[0]]
        ws.sim_value[p][0] = c[0]
        total = 0.0
        for i in range(N - 1):
            total = total + v[i]
        mean = total / N
        for i in range(N - 1):
            d = v[i] - mean
            ss_tot = ss_tot + d * d
        k = 0
        needed = 0
        done = 0
        start = True
        while t[0] <= t_end:
            hamming_step(start, 1, ws.step_size[p], t, c, 0.0, model_rate)
            done += 4 if start else 1
            start = False
            if needed == 0 and k < N - 1:
                needed = truncate_to_int(
                    (ws.point_time[p][k + 1] - ws.point_time[p][k]) / ws.step_size[p] + 0.5)
            if needed <= 0 or done > needed:
                break  # the next point can never be reached: nothing more to observe
            if done == needed:
                ws.sim_value[p][k + 1] = c[0]
                if v[k + 1] > 0.0:
                    d = ws.sim_value[p][k + 1] - v[k + 1]
                    ws.sum_of_squares = ws.sum_of_squares + d * d
                k += 1
                needed = 0
                done = 0
            if k == N - 1:
                break  # every point sampled: further steps change nothing observable
    ws.fit_quality = 1.0 - ieee_div(ws.sum_of_squares, ss_tot)
    out(c_format("%10.5e", ws.fit_quality))
    return ws.sum_of_squares


# ---------------------------------------------------------------------------------------
# Line search

trial_point = [0.0] * MAX_VARIABLES


def trace_point(trace, x, n, fmt):
    for i in range(1, n + 1):
        trace.append(fmt % i + c_format("%12.4e", x[i - 1]) + "\n")


def line_search(n, x, d, value, objective, trace):
    def evaluate(t):
        for i in range(n):
            trial_point[i] = t * d[i] + x[i]
        ft = objective(trial_point)
        if trace is not None:
            trace.append("\n   *** Current point:\n\n")
            trace_point(trace, trial_point, n, "       x%2.2d = ")
            trace.append("\n       sum of squares:" + c_format("%12.4e", ft) + "\n")
        return ft

    def point_at(s):
        for i in range(n):
            trial_point[i] = s * d[i] + x[i]

    if trace is not None:
        trace.append("\nLinear search from the point:\n\n")
        trace_point(trace, x, n, "x%2.2d = ")
    fa = fb = fc = value[0]
    a = b = c = 0.0
    tol = 0.01
    retries = 0
    fallback_used = False
    interpolation_converged = False
    r = 1
    k = -2
    h = 1.0
    for i in range(n):
        if x[i] != 0.0 and abs(x[i]) < h:
            h = abs(x[i])
    h = 0.25 * h
    t = h
    ft = 0.0
    result_value = 0.0
    state = "bracket"
    while True:
        if state == "bracket":
            k += 1
            halved = False
            while True:
                ft = evaluate(t)
                if abs(ft - fc) <= 2e-7 * abs(fc):
                    if not halved:
                        h = 0.5 * h
                        t = 0.5 * t
                        halved = True
                        continue
                    point_at(c)
                    result_value = fc
                    r = 0
                    state = "finish"
                elif ft <= fc:
                    a, fa = b, fb
                    b, fb = c, fc
                    c, fc = t, ft
                    t = 1.5 * t + h
                    state = "bracket"
                elif k < 0:
                    b, fb = t, ft
                    t = -t
                    h = -h
                    state = "bracket"
                elif k == 0:
                    a, fa = b, fb
                    b, fb = c, fc
                    c, fc = t, ft
                    state = "interpolate"
                else:
                    a, fa = b, fb
                    b, fb = c, fc
                    c, fc = t, ft
                    t = 0.5 * (c + b)
                    ft = evaluate(t)
                    state = "insert"
                break
        elif state == "insert":
            p = (a - t) * (t - b)
            if p == 0.0 or ft == fb:
                state = "accept_b"
                continue
            if p < 0.0:
                if ft < fb:
                    a, fa = b, fb
                    b, fb = t, ft
                else:
                    c, fc = t, ft
            else:
                if ft < fb:
                    c, fc = b, fb
                    b, fb = t, ft
                else:
                    a, fa = t, ft
            state = "interpolate"
        elif state == "interpolate":
            den = (b - a) * fc + (a - c) * fb + (c - b) * fa
            if den == 0.0:
                if fallback_used:
                    state = "accept_b"
                    continue
                fallback_used = True
                t = 0.5 * (c + b)
                ft = evaluate(t)
                state = "insert"
                continue
            t = 0.5 * ((b * b - a * a) * fc + (a * a - c * c) * fb + (c * c - b * b) * fa) / den
            if (c - t) * (t - a) <= 0.0:
                state = "accept_b"
                continue
            ft = evaluate(t)
            s = 1.0 if abs(fb) <= 1e-4 else 1.0 / fb
            if abs(fb - ft) * s > tol:
                state = "insert"
                continue
            interpolation_converged = True
            if ft >= fb:
                state = "accept_b"
                continue
            result_value = ft
            state = "check_movement"
        elif state == "accept_b":
            point_at(b)
            result_value = fb
            state = "check_movement" if interpolation_converged else "finish"
        elif state == "check_movement":
            if any(trial_point[i] != x[i] for i in range(n)):
                state = "finish"
                continue
            if retries == 5:
                x[:n] = trial_point[:n]
                value[0] = result_value
                return r
            interpolation_converged = False
            retries += 1
            tol = tol / 10
            state = "insert"
        elif state == "finish":
            if result_value <= value[0]:
                x[:n] = trial_point[:n]
                value[0] = result_value
            return r


# ---------------------------------------------------------------------------------------
# Direction-set minimiser

direction_matrix = [[0.0] * MAX_VARIABLES for _ in range(MAX_VARIABLES)]


def converged(n, f_old, f_new, x_old, x_new, eps):
    if abs(f_old) <= eps:
        e = abs(f_old - f_new)
    else:
        e = abs(ieee_div(f_old - f_new, f_old))
    if e > eps:
        return 0
    for i in range(n):
        if abs(x_old[i]) <= eps:
            e = abs(x_old[i] - x_new[i])
        else:
            e = abs(ieee_div(x_old[i] - x_new[i], x_old[i]))
        if e > eps:
            return 0
    return 1


def direction_set_minimize(n, x, value, objective, trace):
    dm = direction_matrix
    for j in range(n):
        for k in range(n):
            dm[k][j] = 0.0
        dm[j][j] = 1.0
    value[0] = objective(x)
    if trace is not None:
        trace.append("\nInitial approximation:\n\n")
        trace_point(trace, x, n, "x%2.2d = ")
        trace.append("\nsum of squares:" + c_format("%12.4e", value[0]) + "\n")
    b = 0.1
    cycle = 0
    while True:
        f0 = value[0]
        x0 = x[:n]
        delta = 0.0
        isave = -1
        for j in range(n):
            step_vector = [b * dm[k][j] for k in range(n)]
            f_before = value[0]
            result = line_search(n, x, step_vector, value, objective, None)
            if result == 0 and cycle == 0:
                return j + 1
            decrease = f_before - value[0]
            if decrease > delta:
                delta = decrease
                isave = j
        fN = value[0]
        extrapolated_point = [2 * x[k] - x0[k] for k in range(n)]
        fE = objective(extrapolated_point)
        replace = False
        if not (fE - f0 >= 0):
            q = ieee_div(f0 - fN - delta, fE - f0)
            T = 2 * (f0 - 2 * fN + fE) * (q * q)
            replace = not (T >= delta)
        if replace and isave >= 0:
            for m in range(isave, n - 1):
                for k in range(n):
                    dm[k][m] = dm[k][m + 1]
            for k in range(n):
                dm[k][n - 1] = x[k] - x0[k]
            s = 0.0
            for k in range(n):
                s = s + dm[k][n - 1] * dm[k][n - 1]
            r = ieee_div(1.0, math.sqrt(s))
            for k in range(n):
                dm[k][n - 1] = dm[k][n - 1] * r
            step_vector = [b * dm[k][n - 1] for k in range(n)]
            line_search(n, x, step_vector, value, objective, None)
        if converged(n, f0, value[0], x0, x, 1e-6):
            return 0
        if f0 >= value[0]:
            b = 0.4 * math.sqrt(f0 - value[0])
        else:
            b = -0.4 * math.sqrt(value[0] - f0)
        if b > 0.1:
            b = 0.1
        cycle += 1
        if trace is not None:
            trace.append("\nIteration %d\n\n" % cycle)
            trace_point(trace, x, n, "x%2.2d = ")
            trace.append("\nsum of squares:" + c_format("%12.4e", value[0]) + "\n")


# ---------------------------------------------------------------------------------------
# Fit driver


def run_fit(constants, plots, CONSTANTS, model_rate):
    if os.path.isdir("out.dat"):
        err("out.dat: Is a directory")
        raise Exit(1)
    try:
        result_file = open("out.dat", "w")
    except OSError as failure:
        err("out.dat: " + failure.strerror)
        raise Exit(1)
    ws.plot_set = plots
    ws.constant_mid = [(constants.constant_max[j] + constants.constant_min[j]) / 2.0
                       for j in range(CONSTANTS)]
    for p in range(plots.plotCount):
        for i in range(plots.plot[p].pointCount):
            ws.point_time[p][i] = plots.plot[p].time[i]
    ws.rate_constants = list(ws.constant_mid)
    consts = [0.0] * CONSTANTS
    consts[0] = 1.0
    fmin = [0.0]
    trace = []
    direction_set_minimize(1, consts, fmin, lambda x: fit_objective(x, model_rate), trace)
    result = list(ws.rate_constants)
    for j in range(CONSTANTS):
        out(c_format("%10.5e", ws.rate_constants[j]))
    result_file.write("".join(trace))
    result_file.close()
    return result


# ---------------------------------------------------------------------------------------
# Program entry


def main(argv):
    program = argv[1]
    words = argv[2:]
    CONSTANTS = {"velkor": 2, "velkor-b": 3}[program]
    model_rate = model_rate_2 if CONSTANTS == 2 else model_rate_3
    settings = RunSettings()
    constants = ConstantSet(CONSTANTS)
    plots = PlotSet()
    read_command_line(words, settings, constants, plots, CONSTANTS)
    out("workSet")
    out("%s %d %d" % (stream_double(settings.max_error), settings.max_iterations,
                      settings.integration_steps))
    out("<----------Calculation Results ---------->")
    # Every fit starts from the same records and re-initialises the workspace, the
    # integrator and the minimiser, so the nine fits are identical: compute one and
    # repeat its standard output (its "out.dat" is the same each time).
    saved = sys.stdout
    from io import StringIO

    captured = StringIO()
    sys.stdout = captured
    try:
        run_fit(constants, plots, CONSTANTS, model_rate)
    except Exit as stop:
        sys.stdout = saved
        sys.stdout.write(captured.getvalue())
        return stop.status
    sys.stdout = saved
    sys.stdout.write(captured.getvalue() * 9)
    return 0


if __name__ == "__main__":
    sys.stdout.reconfigure(encoding="latin-1", errors="surrogateescape", newline="\n")
    sys.stderr.reconfigure(encoding="latin-1", errors="surrogateescape", newline="\n")
    status = main(sys.argv)
    sys.stdout.flush()
    sys.exit(status)
