#include "checks/curve_checks.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "simulation/objective.h"

namespace input_checks {

namespace {

// A shift of the sampled time below this fraction of a step, or this fraction of the time
// itself, is rounding of the decimal times, not a time off the grid.
constexpr double GRID_TOLERANCE_STEPS = 1e-6;
constexpr double GRID_RELATIVE = 1e-12;
// Lines named in one warning about many points.
constexpr int LINES_LISTED = 10;

// One curve with the facts every check needs.
struct Curve {
    const CurveLines& lines;
    const Plot& plot;
    int n;                         // points
    int reached;                   // points 0..reached-1 sampled
    std::vector<long long> steps;  // steps from point 0 to each sampled point

    double time(int i) const { return plot.point[i].time; }
    double conc(int i) const { return plot.point[i].concentration[0]; }
    int line(int i) const {
        return i < static_cast<int>(lines.points.size()) ? lines.points[i].line : 0;
    }
    bool already_warned(int i) const {
        return i < static_cast<int>(lines.points.size()) && lines.points[i].warned;
    }
    bool compared(int i) const { return point_compared(plot, reached, i); }
};

int steps_between(const Plot& plot, int k) {
    return interval_steps(plot.point[k].time, plot.point[k + 1].time, OBJECTIVE_STEP);
}

std::string point_at(const Curve& c, int i) {
    const int line = c.line(i);
    return "point " + std::to_string(i) + (line > 0 ? " (line " + std::to_string(line) + ")" : "");
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string lines_of(const Curve& c, int from, int to) {
    if (c.line(from) <= 0 || c.line(to) <= 0) return "";
    if (from == to) return " (line " + std::to_string(c.line(from)) + ")";
    return " (lines " + std::to_string(c.line(from)) + " to " + std::to_string(c.line(to)) + ")";
}

std::string header_hint(const Curve& c, int i) {
    for (int k : {i - 1, i}) {
        if (k >= 0 && k < static_cast<int>(c.lines.points.size()) &&
            c.lines.points[k].not_a_number) {
            return " Line " + std::to_string(c.line(k)) +
                   " is not a number, yet it counts as a point at time 0: if it is a header, "
                   "start it with '#'.";
        }
    }
    return "";
}

std::string lost_points(const Curve& c, int k) {
    const int lost = c.n - k;
    return "so " +
           (lost == 1 ? "it is"
                      : "it and every later point of this curve, " + std::to_string(lost) +
                            " in all" + lines_of(c, k, c.n - 1) + ", are") +
           " not compared.";
}

std::string not_increasing(const Curve& c, int k) {
    const double dt = c.time(k) - c.time(k - 1);
    std::string why;
    if (dt > 0.0 && dt / OBJECTIVE_STEP < 0.5) {
        why = "Time " + number(c.time(k)) + " of " + point_at(c, k) + " comes only " + number(dt) +
              " after the point before, less than half a step of " + number(OBJECTIVE_STEP) +
              ", so no step lies between them: the simulation never reaches point " +
              std::to_string(k) + ", ";
    } else if (dt > 0.0) {
        why = capitalised(point_at(c, k)) + " comes " + number(dt) +
              " after the point before: more steps of " + number(OBJECTIVE_STEP) +
              " than the step count can hold, so the simulation never reaches it, ";
    } else {
        why = "Time " + number(c.time(k)) + " of " + point_at(c, k) +
              " does not come after the time " + number(c.time(k - 1)) + " of " +
              point_at(c, k - 1) + ": the simulation never reaches point " + std::to_string(k) +
              ", ";
    }
    return why + lost_points(c, k) + " Times must increase from point to point." +
           header_hint(c, k);
}

std::string inside_start_up(const Curve& c) {
    return capitalised(point_at(c, 1)) + " comes only " + number(c.time(1) - c.time(0)) +
           " after point 0, but the simulation takes its first " + std::to_string(START_UP_STEPS) +
           " steps (" + number(START_UP_STEPS * OBJECTIVE_STEP) + ") at once and passes over it, " +
           lost_points(c, 1) + " Make the first interval at least " +
           number(START_UP_STEPS * OBJECTIVE_STEP) + ".";
}

std::string past_the_end(const Curve& c, int k) {
    const double end = c.time(c.n - 1);
    if (k == 1 && end < 0.0) {
        return "The last point's time, " + number(end) +
               ", is below 0: the simulation, which starts at time 0, runs only while its time "
               "is at most the last time as written, so it never starts, and no point after "
               "point 0 is compared. Count the times from point 0 at time 0.";
    }
    const double model =
        OBJECTIVE_STEP * static_cast<double>(c.steps[k - 1] + steps_between(c.plot, k - 1));
    const std::string which =
        k == c.n - 1 ? "Point " + std::to_string(k)
                     : "Points " + std::to_string(k) + " to " + std::to_string(c.n - 1);
    const std::string fix = c.time(0) < 0.0
                                ? "Start the curve at time 0 (put a point '0 S0' first), so that "
                                  "the written times are the simulated ones."
                                : "Measure and write the times to " + number(OBJECTIVE_STEP) +
                                      ", so that they add up as written.";
    return which + lines_of(c, k, c.n - 1) + (k == c.n - 1 ? " is" : " are") +
           " past the end of the simulation: it runs only while its time is at most " +
           number(end) + ", the time of the last point as written, and counted from point 0 " +
           (k == c.n - 1 ? "this point lies" : "these points lie") + " at " + number(model) +
           (k == c.n - 1 ? "" : " and later") + ", so " + (k == c.n - 1 ? "it is" : "they are") +
           " not compared. " + fix;
}

// Why sampling stopped before point k (1 <= k < n).
std::string stop_reason(const Curve& c, int k) {
    const int needed = steps_between(c.plot, k - 1);
    if (needed <= 0) return not_increasing(c, k);
    if (k == 1 && needed < START_UP_STEPS) return inside_start_up(c);
    return past_the_end(c, k);
}

void check_time_zero(const Curve& c, FileWarnings& out) {
    const double t0 = c.time(0);
    if (c.n < 2 || t0 == 0.0) return;
    out.always(c.line(0), "time_zero",
               "Point 0 is at time " + number(t0) +
                   ", but the simulation starts at time 0 from the initial concentration and "
                   "takes point 0 as that moment: every later time is counted from it, so each "
                   "point is compared with the simulation " +
                   number(std::fabs(t0)) + (t0 > 0 ? " earlier" : " later") +
                   " than its written time (point 1 at " + number(c.time(1)) +
                   " with the simulation at " + number(c.time(1) - t0) + "). Add a point '0 " +
                   number(c.plot.initialConcentration) +
                   "' before it (time 0 and the initial concentration), or count the times "
                   "from the first point.");
}

void check_grid(const Curve& c, FileWarnings& out) {
    int worst = 0;
    double worstShift = 0.0;
    int offGrid = 0;
    for (int i = 1; i < c.reached; ++i) {
        if (!c.compared(i)) continue;
        const double intended = c.time(i) - c.time(0);
        const double shift = OBJECTIVE_STEP * static_cast<double>(c.steps[i]) - intended;
        const double tolerance =
            std::max(GRID_TOLERANCE_STEPS * OBJECTIVE_STEP, GRID_RELATIVE * std::fabs(intended));
        if (!(std::fabs(shift) > tolerance)) continue;
        ++offGrid;
        if (std::fabs(shift) > std::fabs(worstShift)) {
            worst = i;
            worstShift = shift;
        }
    }
    if (offGrid == 0) return;
    const double intended = c.time(worst) - c.time(0);
    out.always(c.line(worst), "off_grid",
               "Time " + number(c.time(worst)) + " of point " + std::to_string(worst) +
                   " is not a whole number of " + number(OBJECTIVE_STEP) +
                   " steps after point 0: the simulation is sampled " +
                   number(OBJECTIVE_STEP * static_cast<double>(c.steps[worst])) +
                   " after point 0 instead of " + number(intended) + ", a shift of " +
                   (worstShift > 0 ? "+" : "") + number(worstShift) +
                   (offGrid > 1 ? ", the largest of the " + std::to_string(offGrid) +
                                      " compared points of this file that are off the grid"
                                : "") +
                   ". Each interval between two points is rounded to whole steps, so measure "
                   "and write the times to " +
                   number(OBJECTIVE_STEP) + ".");
}

void check_not_positive(const Curve& c, const std::vector<int>& spoken_of, FileWarnings& out) {
    std::vector<int> points;
    for (int i = 1; i < c.reached; ++i) {
        const bool spoken = std::find(spoken_of.begin(), spoken_of.end(), i) != spoken_of.end();
        if (!(c.conc(i) > 0.0) && !c.already_warned(i) && !spoken) points.push_back(i);
    }
    if (points.empty()) return;
    const int first = points.front();
    if (points.size() == 1) {
        out.line(c.line(first), "not positive", "not_positive",
                 "Point " + std::to_string(first) + " has concentration " + number(c.conc(first)) +
                     ", 0 or below, so it is simulated but not compared. If it "
                     "was measured, write its value; if not, the line can be "
                     "left out.");
        return;
    }
    std::string listed;
    const int shown = std::min<int>(LINES_LISTED, static_cast<int>(points.size()));
    for (int k = 0; k < shown; ++k) {
        listed += (k == 0                                                       ? ""
                   : k + 1 == shown && shown == static_cast<int>(points.size()) ? " and "
                                                                                : ", ") +
                  std::to_string(c.line(points[k]));
    }
    if (shown < static_cast<int>(points.size())) {
        listed += " and " + std::to_string(points.size() - shown) + " more";
    }
    out.line(c.line(first), "not positive", "not_positive",
             std::to_string(points.size()) +
                 " points that the simulation reaches have a concentration of 0 "
                 "or below, so they are simulated but not compared: lines " +
                 listed +
                 ". Where a point was measured, write its value; a point that "
                 "was not measured can be left out.");
}

// The likely reason why no point is compared, and the line it is about.
std::string no_point_cause(const Curve& c, int& line) {
    line = 0;
    if (c.n == 0) {
        line = c.lines.initial_line;
        return line == 0 ? "The file holds no data line: every line is blank or starts with '#'."
                         : "The file holds the initial concentration but no point.";
    }
    if (c.lines.initial_not_a_number) {
        line = c.lines.initial_line;
        return "Its first data line is not a number, so the initial concentration is 0 and "
               "every later data line moves up one place: if that line is a header, start it "
               "with '#'.";
    }
    if (c.n == 1) {
        line = c.line(0);
        return "It holds a single point, point 0, which is where the simulation starts and is "
               "never compared: a curve needs at least one point after point 0.";
    }
    if (c.reached < c.n) {
        line = c.line(c.reached);
        std::string cause = stop_reason(c, c.reached);
        if (c.reached > 1) cause += " The points before it have a concentration of 0 or below.";
        return cause;
    }
    bool allWarned = true;
    for (int i = 1; i < c.n; ++i)
        allWarned = allWarned && c.already_warned(i);
    if (allWarned) {
        return "None of its points after point 0 gives a concentration the reader took: see the "
               "warnings about its lines.";
    }
    return "Every point after point 0 has a concentration of 0 or below.";
}

}  // namespace

void check_curve(const CurveLines& lines, const Plot& plot, int pointsSampled, const CurveFit& fit,
                 FileWarnings& out) {
    const int n = std::clamp(plot.pointCount, 0, POINTS);
    Curve c{lines, plot, n, std::clamp(pointsSampled, std::min(n, 1), n), {}};
    c.steps.assign(std::max(c.reached, 1), 0);
    for (int i = 1; i < c.reached; ++i)
        c.steps[i] = c.steps[i - 1] + steps_between(plot, i - 1);

    bool anyCompared = false;
    for (int i = 1; i < c.reached; ++i)
        anyCompared = anyCompared || c.compared(i);
    if (!anyCompared) {
        int line = 0;
        const std::string cause = no_point_cause(c, line);
        out.always(line, "empty_curve",
                   "This curve compares no point at all, so it adds nothing to the fit. " + cause);
        return;
    }
    check_time_zero(c, out);
    check_grid(c, out);
    const std::vector<int> tail = check_censored_tail(
        plot, c.reached, fit, [&c](int i) { return c.line(i); }, out);
    check_not_positive(c, tail, out);
    if (c.reached < c.n) out.always(c.line(c.reached), "not_compared", stop_reason(c, c.reached));
}

}  // namespace input_checks
