#include "import/provisional_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velkor_import {

namespace {

constexpr double UNKNOWN = std::numeric_limits<double>::quiet_NaN();

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool usable(double x) {
    return std::isfinite(x) && x > 0.0;
}

FreeFit initial_slopes(const Problem& problem) {
    std::vector<double> s0s, slopes;
    double longest = 0.0;
    for (const ProblemCurve& c : problem.curves) {
        s0s.push_back(c.s0);
        const Point& p = c.points[1];
        const double slope = (c.s0 - p.value) / p.time;
        if (usable(slope)) slopes.push_back(slope);
        longest = std::max(longest, c.points.back().time);
    }
    FreeFit fit;
    fit.km = median(s0s);
    fit.vmax = slopes.empty() ? fit.km / longest : median(slopes);
    fit.km_se = fit.vmax_se = UNKNOWN;
    fit.method = "a rough guess (median S0 as Km, median initial slope as Vmax)";
    return fit;
}

}  // namespace

FreeFit provisional_free_fit(const Problem& problem) {
    double tt = 0, tl = 0, ll = 0, tp = 0, lp = 0, pp = 0;
    int n = 0;
    for (const ProblemCurve& c : problem.curves) {
        for (std::size_t i = 1; i < c.points.size(); ++i) {
            const double t = c.points[i].time, s = c.points[i].value;
            if (!(s > 0.0)) continue;
            const double l = std::log(c.s0 / s), p = c.s0 - s;
            tt += t * t, tl += t * l, ll += l * l, tp += t * p, lp += l * p, pp += p * p;
            ++n;
        }
    }
    // Normal equations with the -L column: off-diagonal -tl, right-hand side -lp.
    const double det = tt * ll - tl * tl;
    if (n >= 3 && det > 1e-12 * tt * ll) {
        FreeFit fit;
        fit.vmax = (ll * tp - tl * lp) / det;
        fit.km = (tl * tp - tt * lp) / det;
        // RSS = P'P - b'X'y for the least-squares b.
        const double rss = std::max(0.0, pp - fit.vmax * tp + fit.km * lp);
        const double s2 = n > 2 ? rss / (n - 2) : UNKNOWN;
        fit.vmax_se = std::sqrt(s2 * ll / det);
        fit.km_se = std::sqrt(s2 * tt / det);
        fit.method = "the integrated rate law, linear least squares (provisional)";
        if (usable(fit.km) && usable(fit.vmax)) return fit;
    }
    return initial_slopes(problem);
}

}  // namespace velkor_import
