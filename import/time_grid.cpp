#include "import/time_grid.h"

#include <cmath>
#include <tuple>

namespace velkor_import {

namespace {

constexpr double LONGEST = 1e8;  // time units: 1e10 steps per evaluation and curve

double on_grid(double t) {
    return std::round(t * STEPS_PER_UNIT) / STEPS_PER_UNIT;
}

// A shift below a millionth of a step is rounding noise of the unit conversion.
double real_shift(double t) {
    const double shift = std::fabs(on_grid(t) - t);
    return shift < 1e-6 * STEP ? 0.0 : shift;
}

// Walks a curve's points in `unit`; `lost(i, reason)` for each point the grid leaves out.
template <class Lost>
void walk(const ProblemCurve& curve, const formats::Unit& unit, Lost lost) {
    const formats::Conversion to_unit(curve.source_time, unit);
    double previous = 0.0;
    for (std::size_t i = 1; i < curve.points.size(); ++i) {
        const double g = on_grid(to_unit(curve.points[i].time));
        if (g <= previous) {
            lost(i, "on the 0.01 grid at the time of the point before (" +
                        formats::number_text(previous) + " " + unit.name + ")");
        } else if (g < FIRST_GAP - STEP / 2) {
            lost(i, "before " + formats::number_text(FIRST_GAP) + " " + unit.name +
                        ", inside the integrator's four start-up steps");
        } else {
            previous = g;
        }
    }
}

std::string shift_text(double shift, const formats::Unit& unit) {
    return formats::brief_number(shift) + " " + unit.name;
}

// Steps are whole and may pass a million: no exponent.
std::string whole(double n) {
    return std::to_string(static_cast<long long>(n));
}

std::string points(int n) {
    return std::to_string(n) + (n == 1 ? " point" : " points");
}

}  // namespace

GridAssessment assess_grid(const std::vector<ProblemCurve>& curves, const formats::Unit& unit) {
    GridAssessment a;
    a.unit = unit;
    for (const ProblemCurve& curve : curves) {
        walk(curve, unit, [&](std::size_t, const std::string&) { ++a.lost; });
        const formats::Conversion to_unit(curve.source_time, unit);
        double last = 0.0;
        for (const Point& p : curve.points) {
            const double t = to_unit(p.time);
            if (!(std::fabs(t) <= LONGEST)) a.feasible = false;
            last = std::max(last, on_grid(t));
            if (real_shift(t) > a.largest_shift) {
                a.largest_shift = real_shift(t);
                a.largest_shift_at =
                    curve.label + ", " + formats::place_text(curve.places, p.place);
            }
        }
        a.steps += std::round(last / STEP);
    }
    return a;
}

void choose_time_unit(Problem& problem, const std::optional<formats::Unit>& requested) {
    std::vector<GridAssessment> candidates;
    if (requested) {
        candidates.push_back(assess_grid(problem.curves, *requested));
    } else {
        for (const char* name : {"s", "min", "h"})
            candidates.push_back(assess_grid(problem.curves, *formats::time_unit(name)));
    }
    const auto cost = [](const GridAssessment& a) {
        return std::make_tuple(!a.feasible, a.lost, a.largest_shift * a.unit.factor, a.steps);
    };
    const GridAssessment* best = &candidates[0];
    for (const GridAssessment& a : candidates)
        if (cost(a) < cost(*best)) best = &a;
    if (!best->feasible)
        throw formats::InputError("times too long for a 0.01 step: a time beyond 1e8 " +
                                  best->unit.name + " would take over 1e10 steps");
    problem.time = best->unit;
    problem.steps = best->steps;
    problem.largest_shift = best->largest_shift;
    problem.largest_shift_at = best->largest_shift_at;
    problem.time_choice.push_back(
        "time unit " + best->unit.name + (requested ? " (--time-unit)" : " (chosen)") + ": " +
        whole(best->steps) + " steps per evaluation, " +
        (best->largest_shift == 0 ? "every time on the 0.01 grid"
                                  : "times moved onto the 0.01 grid by up to " +
                                        shift_text(best->largest_shift, best->unit)) +
        (best->lost ? ", " + points(best->lost) + " left out by the grid" : ""));
    for (const GridAssessment& a : candidates) {
        if (&a == best) continue;
        problem.time_choice.push_back(
            "  in " + a.unit.name + ": " + (a.feasible ? whole(a.steps) + " steps" : "too long") +
            ", " +
            (a.largest_shift == 0 ? "on the grid"
                                  : "shifts up to " + shift_text(a.largest_shift, a.unit)) +
            (a.lost ? ", " + points(a.lost) + " left out" : ""));
    }
}

void put_on_grid(Problem& problem) {
    for (ProblemCurve& curve : problem.curves) {
        std::vector<bool> drop(curve.points.size(), false);
        walk(curve, problem.time, [&](std::size_t i, const std::string& reason) {
            drop[i] = true;
            curve.left_out.push_back(
                {formats::place_text(curve.places, curve.points[i].place), reason});
        });
        const formats::Conversion to_unit(curve.source_time, problem.time);
        std::vector<Point> kept;
        for (std::size_t i = 0; i < curve.points.size(); ++i) {
            if (drop[i]) continue;
            Point p = curve.points[i];
            p.time = on_grid(to_unit(p.time));
            kept.push_back(p);
        }
        curve.points = std::move(kept);
    }
}

}  // namespace velkor_import
