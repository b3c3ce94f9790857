#include "statistics/profile_interval.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Each widening of a bracket doubles its distance from the optimum; the first try is this
// multiple of the linearised half-width.
constexpr double FIRST_BRACKET = 1.5;
constexpr double WIDENING = 2.0;
// The root finder's evaluation budget per side.
constexpr std::uintmax_t ROOT_EVALUATIONS = 60;

bool usable(double v) {
    return std::isfinite(v) && v > 0.0;
}

// One end: the value beyond which RSS exceeds the level, searched from the optimum outwards
// in the direction `side` (-1 or +1).
IntervalEnd interval_end(const std::function<double(double)>& rss_at, double value, double f_value,
                         double half_width, double level, int side, int bits) {
    auto above_level = [&](double c) { return rss_at(c) - level; };
    double distance = FIRST_BRACKET * half_width;
    if (!usable(distance)) distance = 0.5 * value;
    double inner = value, f_inner = f_value, outer = value, f_outer = f_value;
    IntervalEnd end;
    for (;;) {
        outer = value + side * distance;
        if (side < 0 && outer <= 0.0) outer = 0.0;
        if (side > 0 && outer >= UNBOUNDED_ABOVE * value) outer = UNBOUNDED_ABOVE * value;
        f_outer = above_level(outer);
        end.value = outer;
        if (std::isnan(f_outer)) {
            end.kind = IntervalEnd::UNDEFINED;
            return end;
        }
        if (f_outer >= 0.0) break;
        if (outer == 0.0 || outer == UNBOUNDED_ABOVE * value) {
            end.kind = IntervalEnd::UNBOUNDED;
            return end;
        }
        inner = outer;
        f_inner = f_outer;
        distance *= WIDENING;
    }
    double a = std::min(inner, outer), b = std::max(inner, outer);
    double fa = a == inner ? f_inner : f_outer, fb = a == inner ? f_outer : f_inner;
    std::uintmax_t evaluations = ROOT_EVALUATIONS;
    try {
        const auto root = boost::math::tools::toms748_solve(
            above_level, a, b, fa, fb, boost::math::tools::eps_tolerance<double>(bits),
            evaluations);
        end.kind = IntervalEnd::FOUND;
        end.value = 0.5 * (root.first + root.second);
    } catch (const std::exception& e) {
        end.kind = IntervalEnd::NOT_FOUND;
        end.reason = e.what();
    }
    return end;
}

}  // namespace

double IntervalEnd::end() const {
    return kind == FOUND ? value : std::numeric_limits<double>::quiet_NaN();
}

ProfileInterval profile_interval(const std::function<double(double)>& rss_at, double value,
                                 double rss_min, int n, int k, double standard_error, int bits) {
    ProfileInterval interval;
    if (n <= k || !std::isfinite(rss_min) || !usable(value)) return interval;
    interval.made = true;
    const double dof = n - k;
    const boost::math::fisher_f distribution(1.0, dof);
    const double f = boost::math::quantile(distribution, CONFIDENCE);
    const double level = rss_min * (1.0 + f / dof);
    if (!(level > rss_min)) {
        interval.exact_match = true;
        return interval;
    }
    const double half_width = standard_error * std::sqrt(f);
    const double f_value = rss_min - level;
    interval.lower = interval_end(rss_at, value, f_value, half_width, level, -1, bits);
    interval.upper = interval_end(rss_at, value, f_value, half_width, level, +1, bits);
    return interval;
}
