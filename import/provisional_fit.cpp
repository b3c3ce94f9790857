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

// Least squares of the integrated law; false when it gives no positive pair.
bool linear_start(const Problem& problem, double& km, double& vmax) {
    double tt = 0, tl = 0, ll = 0, tp = 0, lp = 0;
    int n = 0;
    for (const ProblemCurve& c : problem.curves) {
        for (std::size_t i = 1; i < c.points.size(); ++i) {
            const double t = c.points[i].time, s = c.points[i].value;
            if (!(s > 0.0)) continue;
            const double l = std::log(c.s0 / s), p = c.s0 - s;
            tt += t * t, tl += t * l, ll += l * l, tp += t * p, lp += l * p;
            ++n;
        }
    }
    const double det = tt * ll - tl * tl;  // of [t, -L]'[t, -L]
    if (n < 3 || !(det > 1e-12 * tt * ll)) return false;
    vmax = (ll * tp - tl * lp) / det;
    km = (tl * tp - tt * lp) / det;
    return usable(km) && usable(vmax);
}

// Residuals' sum of squares and J'J, J'r in (Km, Vmax).
struct Normal {
    double rss = 0, jkk = 0, jkv = 0, jvv = 0, rk = 0, rv = 0;
    int n = 0;
};

// Every `stride`-th point of each curve after point 0.
Normal normal_equations(const Problem& problem, double km, double vmax, std::size_t stride) {
    Normal e;
    for (const ProblemCurve& c : problem.curves) {
        for (std::size_t i = 1; i < c.points.size(); i += stride) {
            const double t = c.points[i].time, measured = c.points[i].value;
            if (!(measured > 0.0)) continue;
            const double s = michaelis_menten_course(c.s0, t, km, vmax, measured);
            const double dk = s * std::log(c.s0 / s) / (s + km), dv = -t * s / (s + km);
            const double r = measured - s;
            e.rss += r * r, e.jkk += dk * dk, e.jkv += dk * dv, e.jvv += dv * dv;
            e.rk += dk * r, e.rv += dv * r;
            ++e.n;
        }
    }
    return e;
}

// Levenberg-Marquardt in (ln Km, ln Vmax) on at most about THINNED points, evenly spread over
// each curve (a plate of 384 x 1,024 points would take seconds); false when it ends nowhere
// usable.
constexpr std::size_t THINNED = 16384;

bool refine(const Problem& problem, FreeFit& fit) {
    std::size_t points = 0;
    for (const ProblemCurve& c : problem.curves)
        points += c.points.size() - 1;
    const std::size_t stride = std::max<std::size_t>(1, points / THINNED);
    double km = fit.km, vmax = fit.vmax, lambda = 1e-3;
    Normal e = normal_equations(problem, km, vmax, stride);
    for (int iteration = 0; iteration < 100 && std::isfinite(e.rss); ++iteration) {
        // In logarithms the Jacobian's columns are scaled by Km and Vmax.
        const double a = e.jkk * km * km, b = e.jkv * km * vmax, d = e.jvv * vmax * vmax;
        const double gk = e.rk * km, gv = e.rv * vmax;
        const double a2 = a * (1 + lambda), d2 = d * (1 + lambda), det = a2 * d2 - b * b;
        if (!(det > 0)) break;
        const double step_k = (d2 * gk - b * gv) / det, step_v = (a2 * gv - b * gk) / det;
        const double km2 = km * std::exp(std::clamp(step_k, -2.0, 2.0));
        const double vmax2 = vmax * std::exp(std::clamp(step_v, -2.0, 2.0));
        const Normal trial = normal_equations(problem, km2, vmax2, stride);
        if (std::isfinite(trial.rss) && trial.rss <= e.rss) {
            const bool settled =
                e.rss - trial.rss <= 1e-12 * e.rss && std::fabs(step_k) + std::fabs(step_v) < 1e-9;
            km = km2, vmax = vmax2, e = trial;
            lambda = std::max(lambda / 10, 1e-12);
            if (settled) break;
        } else {
            lambda *= 10;
            if (lambda > 1e12) break;
        }
    }
    const double det = e.jkk * e.jvv - e.jkv * e.jkv;
    if (!usable(km) || !usable(vmax) || e.n < 3 || !(det > 0)) return false;
    // J'J grows with the number of points: thinned by k, the variances are k times too large.
    std::size_t compared = 0;
    for (const ProblemCurve& c : problem.curves)
        for (std::size_t i = 1; i < c.points.size(); ++i)
            compared += c.points[i].value > 0.0;
    const double s2 = e.rss / (e.n - 2) * e.n / static_cast<double>(compared);
    fit.km = km, fit.vmax = vmax;
    fit.km_se = std::sqrt(s2 * e.jvv / det);
    fit.vmax_se = std::sqrt(s2 * e.jkk / det);
    return true;
}

}  // namespace

double michaelis_menten_course(double s0, double t, double km, double vmax, double guess) {
    const double target = std::log(s0 / km) + (s0 - vmax * t) / km;
    double w = guess > 0 ? guess / km : target > 1 ? target - std::log(target) : std::exp(target);
    if (!(w > 0) || !std::isfinite(w)) w = 1;
    // Newton on w + ln w = target: convex in ln w, so no step is wasted from either side.
    for (int i = 0; i < 60; ++i) {
        const double next = w - (w + std::log(w) - target) * w / (w + 1);
        const double w2 = next > 0 ? next : w / 16;
        if (std::fabs(w2 - w) <= 1e-15 * w) {
            w = w2;
            break;
        }
        w = w2;
    }
    return km * w;
}

FreeFit provisional_free_fit(const Problem& problem) {
    FreeFit fit;
    if (!linear_start(problem, fit.km, fit.vmax)) return initial_slopes(problem);
    fit.method = "a provisional free fit of the closed-form solution";
    if (!refine(problem, fit)) return initial_slopes(problem);
    return fit;
}

}  // namespace velkor_import
