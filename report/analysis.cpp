#include "report/analysis.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "minimiser/direction_set.h"
#include "simulation/curve_simulation.h"
#include "simulation/objective.h"
#include "simulation/rate_law.h"
#include "simulation/workspace.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// velkor's start: constant 0 at the midpoint of its range.
constexpr double START_IN_MIDPOINTS = 1.0;
// Relative step of the central differences: the truncation error (h^2) and the rounding
// error (1e-16 / h) of the simulated values are both far below the noise of any data.
constexpr double DIFFERENCE_STEP = 1e-4;
constexpr double CONFIDENCE = 0.95;
// The right side of the interval is searched up to this multiple of Km.
constexpr double UNBOUNDED_ABOVE = 1e6;
// Each widening of a bracket doubles its distance from Km; the first try is this multiple of
// the linearised half-width.
constexpr double FIRST_BRACKET = 1.5;
constexpr double WIDENING = 2.0;
// Bits of Km the root finder resolves, and its evaluation budget per side.
constexpr int ROOT_BITS = 30;
constexpr std::uintmax_t ROOT_EVALUATIONS = 60;
// Points of the fine simulation drawn per curve, at most.
constexpr long long DRAWN_STEPS = 1000;
constexpr int DRAWN_CAPACITY = 2 * DRAWN_STEPS + 2;

// The x[0] of the objective's latest evaluation: velkor reports the constants it left.
double last_x0 = 0.0;

double recording_sum_of_squares(const double* x) {
    last_x0 = x[0];
    return sum_of_squares_at(x);
}

// Km and Vmax in units of their midpoints; Km never below 0, as in the objective.
double free_sum_of_squares(const double* x) {
    fit_workspace.rate_constants[1] = x[1] * fit_workspace.constant_mid[1];
    return sum_of_squares_at(x);
}

// The point and the Km of the objective's last evaluation after a fit from velkor's start.
struct KmFit {
    double x0;
    double km;
};

KmFit fit_km() {
    double x[CONSTANTS] = {};
    x[0] = START_IN_MIDPOINTS;
    double value = 0.0;
    direction_set_minimize(1, x, &value, recording_sum_of_squares, nullptr);
    return {last_x0, fit_workspace.rate_constants[0]};
}

double sum_of_squares_at_km(double km) {
    const double x[1] = {km / fit_workspace.constant_mid[0]};
    return sum_of_squares_at(x);
}

bool compared(const Plot& plot, int sampled, int i) {
    return i >= 1 && i < sampled && plot.point[i].concentration[0] > 0.0;
}

// The simulated values of the compared points of the latest evaluation, in curve order.
std::vector<double> compared_values(const PlotSet& plots) {
    std::vector<double> values;
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        for (int i = 0; i < plot.pointCount; ++i)
            if (compared(plot, fit_workspace.points_sampled[p], i))
                values.push_back(fit_workspace.sim_value[p][i]);
    }
    return values;
}

// d sim / d (x[j] scaled by its midpoint), by central differences around x.
std::vector<double> jacobian_column(int n, const double* x, int j, const PlotSet& plots,
                                    double (*objective)(const double*)) {
    double lower[2] = {x[0], n > 1 ? x[1] : 0.0};
    double upper[2] = {x[0], n > 1 ? x[1] : 0.0};
    const double dx = DIFFERENCE_STEP * std::fabs(x[j]);
    lower[j] -= dx;
    upper[j] += dx;
    objective(upper);
    const double at_upper = fit_workspace.rate_constants[j];
    const std::vector<double> high = compared_values(plots);
    objective(lower);
    const double at_lower = fit_workspace.rate_constants[j];
    const std::vector<double> low = compared_values(plots);
    std::vector<double> column(high.size());
    for (size_t i = 0; i < high.size(); ++i)
        column[i] = (high[i] - low[i]) / (at_upper - at_lower);
    return column;
}

double sum_of_products(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += a[i] * b[i];
    return sum;
}

bool usable(double v) {
    return std::isfinite(v) && v > 0.0;
}

void warn(FitReport& report, const std::string& message) {
    report.warnings.push_back({report.parameter_file, 0, message});
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

// ---- the fit at the fitted Km: points, residual spread, R^2 -------------------------------

void fill_curves(const PlotSet& plots, FitReport& report) {
    report.curves.clear();
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        const int sampled = fit_workspace.points_sampled[p];
        report.points_sampled[p] = sampled;
        CurveResult curve;
        curve.initial_concentration = plot.initialConcentration;
        for (int i = 0; i < plot.pointCount; ++i) {
            const double simulated = i < sampled ? fit_workspace.sim_value[p][i] : NaN;
            curve.points.push_back({plot.point[i].time, plot.point[i].concentration[0], simulated,
                                    compared(plot, sampled, i)});
        }
        report.curves.push_back(curve);
    }
}

// 1 - RSS / TSS of the compared points of the rows, around their own mean.
double r_squared_of(const std::vector<const PointRow*>& rows) {
    if (rows.empty()) return NaN;
    double mean = 0.0;
    for (const PointRow* r : rows)
        mean += r->measured;
    mean /= rows.size();
    double rss = 0.0, tss = 0.0;
    for (const PointRow* r : rows) {
        rss += (r->measured - r->simulated) * (r->measured - r->simulated);
        tss += (r->measured - mean) * (r->measured - mean);
    }
    return tss > 0.0 ? 1.0 - rss / tss : NaN;
}

void curve_statistics(FitReport& report) {
    std::vector<const PointRow*> all;
    for (CurveResult& curve : report.curves) {
        std::vector<const PointRow*> rows;
        double rss = 0.0;
        for (const PointRow& r : curve.points)
            if (r.compared) {
                rows.push_back(&r);
                rss += (r.measured - r.simulated) * (r.measured - r.simulated);
            }
        curve.points_compared = static_cast<int>(rows.size());
        curve.rms_residual = rows.empty() ? NaN : std::sqrt(rss / rows.size());
        curve.r_squared = r_squared_of(rows);
        all.insert(all.end(), rows.begin(), rows.end());
    }
    report.points_compared = static_cast<int>(all.size());
    report.r_squared = r_squared_of(all);
    const int n = report.points_compared;
    report.residual_sd = n >= 2 ? std::sqrt(report.sum_of_squares / (n - 1)) : NaN;
}

// The fitted curves drawn from their start to their last sampled point.
void draw_curves(const PlotSet& plots, FitReport& report) {
    std::vector<double> t(DRAWN_CAPACITY), y(DRAWN_CAPACITY);
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        CurveResult& curve = report.curves[p];
        if (plot.pointCount <= 0) continue;
        long long steps = 0;
        for (int i = 1; i < report.points_sampled[p]; ++i)
            steps += interval_steps(plot.point[i - 1].time, plot.point[i].time, OBJECTIVE_STEP);
        const long long stride = steps / DRAWN_STEPS + 1;
        const int count = simulate_curve(p, steps, stride, t.data(), y.data(), DRAWN_CAPACITY);
        for (int k = 0; k < count; ++k) {
            curve.sim_time.push_back(plot.point[0].time + t[k]);
            curve.sim_value.push_back(y[k]);
        }
    }
}

// ---- uncertainty of Km -------------------------------------------------------------------

double km_standard_error(const KmFit& fit, const PlotSet& plots, double s) {
    const double x[1] = {fit.x0};
    const std::vector<double> j = jacobian_column(1, x, 0, plots, sum_of_squares_at);
    const double information = sum_of_products(j, j);
    if (!std::isfinite(s) || !usable(information)) return NaN;
    return std::sqrt(s * s / information);
}

// One side of the profile interval: the Km beyond which RSS exceeds the level, searched
// from Km outwards in the direction `side` (-1 or +1). NaN when unbounded or undefined.
double interval_end(double km, double half_width, double level, int side, FitReport& report) {
    auto above_level = [level](double k) { return sum_of_squares_at_km(k) - level; };
    const double f_km = report.sum_of_squares - level;
    double distance = FIRST_BRACKET * half_width;
    if (!usable(distance)) distance = 0.5 * km;
    const char* name = side < 0 ? "lower" : "upper";
    double inner = km, f_inner = f_km, outer = km, f_outer = f_km;
    for (;;) {
        outer = km + side * distance;
        if (side < 0 && outer <= 0.0) outer = 0.0;
        if (side > 0 && outer >= UNBOUNDED_ABOVE * km) outer = UNBOUNDED_ABOVE * km;
        f_outer = above_level(outer);
        if (std::isnan(f_outer)) {
            warn(report,
                 std::string("the ") + name + " end of the 95 % interval of Km is " +
                     "undefined: the sum of squares is not a number at Km = " + number(outer));
            return NaN;
        }
        if (f_outer >= 0.0) break;
        if (outer == 0.0 || outer == UNBOUNDED_ABOVE * km) {
            warn(report, std::string("the ") + name + " end of the 95 % interval of Km is " +
                             "unbounded: the sum of squares stays below the level up to Km = " +
                             number(outer));
            return NaN;
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
            above_level, a, b, fa, fb, boost::math::tools::eps_tolerance<double>(ROOT_BITS),
            evaluations);
        return 0.5 * (root.first + root.second);
    } catch (const std::exception& e) {
        warn(report, std::string("the ") + name + " end of the 95 % interval of Km was not " +
                         "found: " + e.what());
        return NaN;
    }
}

void profile_interval(double km, FitReport& report) {
    report.km_ci95[0] = report.km_ci95[1] = NaN;
    const int n = report.points_compared;
    if (n < 2 || !std::isfinite(report.sum_of_squares) || !usable(km)) return;
    const boost::math::fisher_f distribution(1.0, n - 1.0);
    const double f = boost::math::quantile(distribution, CONFIDENCE);
    const double level = report.sum_of_squares * (1.0 + f / (n - 1));
    if (!(level > report.sum_of_squares)) {
        warn(report,
             "the curves are matched exactly (the sum of squares is 0): Km has no "
             "95 % interval");
        return;
    }
    const double half_width = report.km_standard_error * std::sqrt(f);
    report.km_ci95[0] = interval_end(km, half_width, level, -1, report);
    report.km_ci95[1] = interval_end(km, half_width, level, +1, report);
}

// ---- what the constants held do to Km -----------------------------------------------------

void range_end_refits(const ConstantSet& constants, PlotSet& plots, FitReport& report) {
    for (int j = 1; j < CONSTANTS; ++j) {
        for (int end = 0; end < 2; ++end) {
            load_workspace(&constants, &plots);
            fit_workspace.rate_constants[j] =
                end == 0 ? constants.constant_min[j] : constants.constant_max[j];
            report.km_at_range_ends[j][end] = fit_km().km;
        }
    }
}

// ---- Km and Vmax fitted together ----------------------------------------------------------

void free_fit(const ConstantSet& constants, PlotSet& plots, FitReport& report) {
    FreeFit& free = report.free_fit;
    free = {false, NaN, NaN, NaN, NaN, NaN, NaN};
    const int n = report.points_compared;
    if (n < 3) return;
    load_workspace(&constants, &plots);
    double x[2] = {START_IN_MIDPOINTS, START_IN_MIDPOINTS};
    double value = 0.0;
    direction_set_minimize(2, x, &value, free_sum_of_squares, nullptr);
    free.sum_of_squares = free_sum_of_squares(x);
    free.km = fit_workspace.rate_constants[0];
    free.vmax = fit_workspace.rate_constants[1];
    free.made = true;

    const std::vector<double> jk = jacobian_column(2, x, 0, plots, free_sum_of_squares);
    const std::vector<double> jv = jacobian_column(2, x, 1, plots, free_sum_of_squares);
    const double a = sum_of_products(jk, jk), b = sum_of_products(jk, jv);
    const double d = sum_of_products(jv, jv);
    const double determinant = a * d - b * b;
    const double s2 = free.sum_of_squares / (n - 2);
    if (!usable(determinant) || !std::isfinite(s2)) return;
    // (J^T J)^-1 of the 2 x 2 matrix [a b; b d].
    const double var_km = s2 * d / determinant, var_vmax = s2 * a / determinant;
    const double cov = -s2 * b / determinant;
    free.km_standard_error = std::sqrt(var_km);
    free.vmax_standard_error = std::sqrt(var_vmax);
    free.correlation = cov / std::sqrt(var_km * var_vmax);
}

// ---- warnings about the fit -----------------------------------------------------------------

bool curves_never_move(const FitReport& report) {
    bool any = false;
    for (const CurveResult& curve : report.curves)
        for (const PointRow& r : curve.points)
            if (r.compared) {
                any = true;
                if (r.simulated != curve.initial_concentration) return false;
            }
    return any;
}

void warn_about_fit(const ConstantSet& constants, FitReport& report) {
    const double km = report.constants[0];
    const double low = constants.constant_min[0], high = constants.constant_max[0];
    if (km == 0.0) {
        warn(report,
             "Km is held at 0: the fit asked for a negative Km, which the objective "
             "replaces by 0, so the result is a bound, not an estimate");
    } else if (km < low || km > high) {
        warn(report, "the fitted Km " + number(km) + " lies outside the range " + number(low) +
                         " .. " + number(high) +
                         " given for constant 0: the range only sets "
                         "the start of the fit (its midpoint) and does not bound it");
    }
}

}  // namespace

void analyse_fit(const ConstantSet& constants, PlotSet& plots, FitReport& report) {
    report.ranges = constants;
    report.constant_names = CONSTANT_NAMES;
    load_workspace(&constants, &plots);
    const KmFit fit = fit_km();
    const double x[1] = {fit.x0};
    report.sum_of_squares = sum_of_squares_at(x);
    report.quality = fit_workspace.fit_quality;
    for (int j = 0; j < CONSTANTS; ++j)
        report.constants[j] = fit_workspace.rate_constants[j];
    fill_curves(plots, report);
    curve_statistics(report);
    draw_curves(plots, report);
    warn_about_fit(constants, report);

    report.km_standard_error = NaN;
    report.km_ci95[0] = report.km_ci95[1] = NaN;
    if (curves_never_move(report)) {
        warn(report,
             "the rate is zero at the start of every curve, so the simulated curves "
             "never leave their initial concentrations and Km cannot be determined: "
             "no standard error and no interval are given");
    } else if (report.points_compared >= 2 && report.constants[0] > 0.0) {
        report.km_standard_error = km_standard_error(fit, plots, report.residual_sd);
        if (std::isnan(report.km_standard_error))
            warn(report, "the simulated values do not depend on Km: Km cannot be determined");
        else
            profile_interval(report.constants[0], report);
    }
    for (int j = 0; j < CONSTANTS; ++j)
        report.km_at_range_ends[j][0] = report.km_at_range_ends[j][1] = NaN;
    if (report.points_compared >= 1) range_end_refits(constants, plots, report);
    free_fit(constants, plots, report);
}
