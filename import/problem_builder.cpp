#include "import/problem_builder.h"

#include <algorithm>
#include <cmath>

#include "import/time_grid.h"

namespace velkor_import {

namespace {

using formats::number_text;

std::string with_unit(double value, const formats::Unit& unit) {
    return number_text(value) + " " + unit.name;
}

// Sorted by time; of equal times the first in the file stays.
std::vector<formats::SourcePoint> sorted_points(const formats::SourceCurve& source,
                                                std::vector<formats::LeftOut>& left_out) {
    std::vector<formats::SourcePoint> points = source.points;
    const auto earlier = [](const auto& a, const auto& b) { return a.time < b.time; };
    if (!std::is_sorted(points.begin(), points.end(), earlier))
        std::stable_sort(points.begin(), points.end(), earlier);
    std::vector<formats::SourcePoint> kept;
    for (const formats::SourcePoint& p : points) {
        if (!kept.empty() && p.time == kept.back().time) {
            left_out.push_back(
                {formats::place_text(source.places, p.place),
                 "same time as " + formats::place_text(source.places, kept.back().place)});
            continue;
        }
        kept.push_back(p);
    }
    return kept;
}

// S0 and point 0 as the header comment of problem_builder.h says; false when the curve is
// left out (reason in `why`).
bool set_origin(const formats::SourceCurve& source, const std::string& set_source,
                const formats::Unit& conc, S0From from, ProblemCurve& curve, std::string& why) {
    std::vector<formats::SourcePoint> points = sorted_points(source, curve.left_out);
    const formats::Unit& tu = source.time;
    if (source.nominal_s0 && *source.nominal_s0 == 0.0) {
        why = "a blank (S0 = 0, " + source.nominal_from + ")";
        return false;
    }
    if (points.empty()) {
        why = "no point read";
        return false;
    }
    const bool nominal = source.nominal_s0 && from == S0From::nominal;
    const formats::Conversion to_output(source.conc, conc);
    // Beyond 1e100 no concentration is measured, and the estimate's sums would overflow.
    const auto value = [&](double v, int place) {
        const double c = to_output(v);
        if (!(std::fabs(c) <= MAX_CONCENTRATION))
            throw formats::InputError(set_source + ": '" + source.name + "', " +
                                      (place < 0 ? "S0 (" + source.nominal_from + ")"
                                                 : formats::place_text(source.places, place)) +
                                      ": " + number_text(v) + " " + source.conc.name +
                                      " is beyond 1e100 " + conc.name);
        return c;
    };
    if (nominal) {
        curve.s0 = value(*source.nominal_s0, -1);
        curve.s0_from = source.nominal_from;
        std::size_t first = 0;
        while (first < points.size() && points[first].time < 0) {
            curve.left_out.push_back({formats::place_text(source.places, points[first].place),
                                      "before time 0, when S0 was mixed"});
            ++first;
        }
        points.erase(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(first));
        if (points.empty() || points[0].time != 0.0) {
            curve.added_point_0 = true;
            curve.points.push_back({0.0, curve.s0, -1});
            if (!points.empty())
                curve.origin = "first sample at " + with_unit(points[0].time, tu) + ": point '0 " +
                               number_text(curve.s0) + "' added, later times as they are";
        }
    } else {
        curve.s0 = value(points[0].value, points[0].place);
        curve.s0_from =
            std::string("first point") + (source.nominal_s0 ? " (--s0-from first)" : "");
        curve.time_shift = points[0].time;
        if (curve.time_shift != 0.0)
            curve.origin = "first sample at " + with_unit(curve.time_shift, tu) +
                           ": times counted from it (shifted by " +
                           with_unit(-curve.time_shift, tu) + ")";
    }
    for (const formats::SourcePoint& p : points)
        curve.points.push_back({p.time - curve.time_shift, value(p.value, p.place), p.place});
    if (!(curve.s0 > 0.0)) {
        why = "S0 " + number_text(curve.s0) + " (" + curve.s0_from + ") is not above 0";
        return false;
    }
    return true;
}

formats::Unit output_concentration(const formats::Dataset& set, const BuildOptions& options) {
    if (options.conc_unit) return *options.conc_unit;
    if (set.curves.empty()) return *formats::concentration_unit("M");
    return formats::named_concentration_unit(set.curves[0].conc.factor);
}

}  // namespace

Problem build_problem(const formats::Dataset& set, const BuildOptions& options) {
    Problem problem;
    problem.conc = output_concentration(set, options);
    for (const formats::SourceCurve& source : set.curves) {
        ProblemCurve curve;
        curve.label = source.name;
        curve.measurement_id = source.measurement_id;
        curve.species_id = source.species_id;
        curve.column = source.column;
        curve.places = source.places;
        curve.source_conc = source.conc;
        curve.source_time = source.time;
        curve.left_out = source.left_out;
        std::string why;
        if (set_origin(source, set.source, problem.conc, options.s0_from, curve, why)) {
            problem.curves.push_back(std::move(curve));
        } else {
            problem.curves_left_out.push_back("'" + source.name + "': " + why);
        }
    }
    if (problem.curves.size() > MAX_CURVES)
        throw formats::InputError(set.source + ": " + std::to_string(problem.curves.size()) +
                                  " curves: a problem folder holds at most " +
                                  std::to_string(MAX_CURVES));
    choose_time_unit(problem, options.time_unit);
    put_on_grid(problem);
    std::vector<ProblemCurve> kept;
    for (ProblemCurve& curve : problem.curves) {
        if (curve.points.size() < 2) {
            problem.curves_left_out.push_back("'" + curve.label + "': no point after time 0");
        } else if (curve.points.size() > MAX_POINTS) {
            throw formats::InputError(set.source + ": curve '" + curve.label + "' has " +
                                      std::to_string(curve.points.size()) +
                                      " points: a curve file holds at most " +
                                      std::to_string(MAX_POINTS));
        } else {
            kept.push_back(std::move(curve));
        }
    }
    problem.curves = std::move(kept);
    if (problem.curves.empty())
        throw formats::InputError(
            set.source + ": no curve to fit" +
            (problem.curves_left_out.empty() ? "" : " (" + problem.curves_left_out[0] + ")"));
    return problem;
}

}  // namespace velkor_import
