#include "statistics/free_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <utility>

#include "simulation/rate_law.h"
#include "statistics/constant_profile.h"
#include "statistics/fit_space.h"
#include "statistics/gauss_newton.h"
#include "statistics/levenberg_marquardt.h"
#include "statistics/lockstep.h"

namespace {

// Fresh starts of the minimiser from the point it found, at the most.
constexpr int MOST_RESTARTS = 3;
// A fresh start that lowers RSS by less than this fraction of it ends the restarts; a
// Gauss-Newton step that promises less than this fraction of it, the descents.
constexpr double NO_GAIN = 1e-9;
// Gauss-Newton descents, each from where the last stopped with the Jacobian there, at the most.
constexpr int MOST_DESCENTS = 4;
// The grid the starts are taken from: every constant at its midpoint times one of the factors.
constexpr int SCAN_POINTS = 5;
constexpr double SCAN_FACTORS[SCAN_POINTS] = {0.25, 0.5, 1.0, 2.0, 4.0};
// A point where a fresh Gauss-Newton step promises less than this fraction of RSS is the
// optimum, to the accuracy of the Jacobian's differences, even where no step lowers RSS.
constexpr double AT_OPTIMUM = 1e-6;
// Starts of the whole fit, from the grid's points in order of RSS, at the most.
constexpr int MOST_STARTS = 8;
// A divisor this many midpoints out leaves its law indistinguishable from the one it tends to.
constexpr double RAN_OFF = 1e4;

FitSpace every_constant_free() {
    std::vector<int> all;
    for (int j = 0; j < CONSTANTS; ++j)
        all.push_back(j);
    return space_with_free(all);
}

// The points of the grid, the lowest RSS first (of equal ones, the one scanned first, the
// midpoints themselves before any other; a point where RSS is no number, last).
std::vector<std::vector<double>> starts_of_grid(const FitSpace& space) {
    int points = 1;
    for (int j = 0; j < CONSTANTS; ++j)
        points *= SCAN_POINTS;
    std::vector<std::vector<double>> xs;
    for (int point = 0; point < points; ++point) {
        std::vector<double> x(CONSTANTS);
        // Point 0 of the grid is the midpoints themselves.
        for (int j = 0, rest = point; j < CONSTANTS; ++j, rest /= SCAN_POINTS)
            x[j] = SCAN_FACTORS[(rest + SCAN_POINTS / 2) % SCAN_POINTS];
        xs.push_back(x);
    }
    const std::vector<Evaluation> values = evaluate_each(space, xs);
    std::vector<std::pair<double, std::vector<double>>> grid;
    for (int point = 0; point < points; ++point) {
        const double value = values[point].sum_of_squares;
        grid.emplace_back(std::isnan(value) ? HUGE_VAL : value, xs[point]);
    }
    std::stable_sort(grid.begin(), grid.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::vector<double>> starts;
    for (const auto& g : grid)
        starts.push_back(g.second);
    return starts;
}

struct Polished {
    std::vector<double> x;
    double sum_of_squares;
    bool optimum;  // a fresh Gauss-Newton step there promises less than AT_OPTIMUM of RSS
    // The evaluation and the Jacobian's columns at x, where the polish ended with them.
    Evaluation at;
    std::vector<std::vector<double>> columns;
};

// The direction set closes in on the optimum linearly; Gauss-Newton finishes the approach
// where the valley is long and narrow, as it is with three constants. A descent keeps the
// Jacobian of its start for its first steps and can stop where that Jacobian, not the
// optimum's, sees no gain: it is begun afresh from where it stopped, with the Jacobian there.
// A point where the step cannot be worked out (a column of zeros: Km held at 0 by the
// clamp), or where it promises a gain that no step delivers (RSS rough where the curves are
// too stiff for the integrator's step), is no optimum.
Polished polished(const FitSpace& space, std::vector<double> x) {
    double promised_last = HUGE_VAL;  // what the last descent's first step promised
    for (int descent = 0; descent < MOST_DESCENTS; ++descent) {
        Evaluation at;
        const std::vector<std::vector<double>> columns = jacobian_columns(space, x.data(), {}, &at);
        std::vector<double> r(at.compared.size());
        for (std::size_t i = 0; i < r.size(); ++i)
            r[i] = at.measured[i] - at.compared[i];
        double d[3], promised = 0.0;
        if (!gauss_newton_step(columns, r, d, promised))
            return {x, at.sum_of_squares, false, {}, {}};
        if (!(promised > NO_GAIN * at.sum_of_squares))
            return {x, at.sum_of_squares, true, at, columns};
        const std::vector<double> start(at.constants, at.constants + CONSTANTS);
        const Descent lower = gauss_newton_descent(space, start, at, columns);
        if (!(lower.at.sum_of_squares < at.sum_of_squares))
            return {x, at.sum_of_squares, promised < AT_OPTIMUM * at.sum_of_squares, at, columns};
        x = point_of_constants(space, lower.constants);
        promised_last = promised;
    }
    const double value = sum_of_squares_in(space, x.data());
    return {x, value, promised_last < AT_OPTIMUM * value, {}, {}};
}

// The divisor that ran off at point x of the fit of every constant, or -1.
int divisor_ran_off(const std::vector<double>& x) {
    for (int j = 0; j < CONSTANTS; ++j)
        if (LAW_CONSTANTS[j].role == ConstantRole::DIVISOR && x[j] > RAN_OFF) return j;
    return -1;
}

// The fit where divisor j ran off: the other constants fitted with it held where it went.
Polished at_the_limit(const FitSpace& space, const MarquardtFit& ran, int j) {
    FitSpace rest = space;
    rest.free[j] = false;
    rest.held[j] = ran.at.constants[j];
    std::vector<double> x_rest = ran.x;
    x_rest.erase(x_rest.begin() + j);
    const MarquardtFit others = levenberg_marquardt(rest, x_rest);
    std::vector<double> x = others.x;
    x.insert(x.begin() + j, ran.x[j]);
    return {x, others.at.sum_of_squares, false, {}, {}};
}

// The optimum (x empty when n <= k).
Polished best_point(int n) {
    if (n <= CONSTANTS) return {};
    const FitSpace space = every_constant_free();
    // Most problems: Levenberg-Marquardt from the midpoints, finished by the polish.
    const std::vector<double> midpoints(CONSTANTS, 1.0);
    const MarquardtFit quick = levenberg_marquardt(space, midpoints);
    if (quick.converged) {
        const Polished fit = polished(space, quick.x);
        if (fit.optimum) return fit;
    }
    // A divisor that ran off far beyond its range has taken the law to the one it tends to
    // (product or substrate inhibition to Michaelis-Menten): the data see none of its term,
    // the optimum lies at infinity, and no start of the grid would find a better one.
    const int ran_off = divisor_ran_off(quick.x);
    if (ran_off >= 0) return at_the_limit(space, quick, ran_off);
    // The rest (the optimum on Km's clamp, RSS rough or flat, a start too far off): the grid.
    const std::vector<std::vector<double>> starts = starts_of_grid(space);
    Polished best{{}, HUGE_VAL, false, {}, {}};
    for (std::size_t s = 0; s < MOST_STARTS && s < starts.size(); ++s) {
        std::vector<double> x = starts[s];
        double value = minimise_in(space, x.data());
        for (int restart = 0; restart < MOST_RESTARTS; ++restart) {
            const double before = value;
            value = minimise_in(space, x.data());
            if (!(value < before - NO_GAIN * before)) break;
        }
        const Polished fit = polished(space, x);
        if (best.x.empty() || fit.sum_of_squares < best.sum_of_squares) best = fit;
        if (fit.optimum) break;
        // Stopped short, on Km's clamp or where RSS is rough: the grid's next point.
    }
    return best;
}

// The covariance of the space's coordinates laid out by constant, NaN for a held one.
Covariance by_constant(const Covariance& c, const FitSpace& space) {
    Covariance all;
    all.defined = c.defined;
    all.size = CONSTANTS;
    int coordinate[CONSTANTS];
    for (int j = 0, m = 0; j < CONSTANTS; ++j)
        coordinate[j] = space.free[j] ? m++ : -1;
    for (int j = 0; j < CONSTANTS; ++j)
        for (int l = 0; l < CONSTANTS; ++l)
            all.matrix[j][l] = coordinate[j] < 0 || coordinate[l] < 0
                                   ? std::numeric_limits<double>::quiet_NaN()
                                   : c.matrix[coordinate[j]][coordinate[l]];
    return all;
}

// Everything at the optimum but the intervals, from its evaluation and (where every constant
// moved) the Jacobian there; without one, the Jacobian is worked out here.
FreeFit fit_at(const std::vector<double>& point, int n, const Evaluation& at,
               std::vector<std::vector<double>> columns) {
    FreeFit free;
    free.points_compared = n;
    free.point = point;
    free.at = at;
    free.made = true;
    free.sum_of_squares = at.sum_of_squares;
    for (int j = 0; j < CONSTANTS; ++j)
        free.constants[j] = at.constants[j];
    free.space = every_constant_free();
    free.ran_off = divisor_ran_off(point);
    std::vector<double> x = point;
    if (free.ran_off >= 0) {
        free.space.free[free.ran_off] = false;
        free.space.held[free.ran_off] = at.constants[free.ran_off];
        x.erase(x.begin() + free.ran_off);
        columns.clear();
    }
    if (static_cast<int>(columns.size()) != free.space.dimension())
        columns = jacobian_columns(free.space, x.data());
    free.columns = columns;
    free.space_covariance = gauss_newton_covariance(columns, free.sum_of_squares / (n - CONSTANTS));
    free.covariance = by_constant(free.space_covariance, free.space);
    free.runs = residual_runs(at);
    return free;
}

}  // namespace

std::vector<double> free_fit_point(int n) {
    return best_point(n).x;
}

FreeFit free_fit_at(const std::vector<double>& point, int n) {
    if (point.size() != CONSTANTS) {
        FreeFit none;
        none.points_compared = n;
        return none;
    }
    return fit_at(point, n, evaluate(every_constant_free(), point.data()), {});
}

FreeFit free_fit_without_intervals(int n) {
    const Polished best = best_point(n);
    // The polish ends at the optimum with the evaluation and the Jacobian there, mostly.
    if (best.columns.size() != CONSTANTS) return free_fit_at(best.x, n);
    return fit_at(best.x, n, best.at, best.columns);
}

ProfileInterval free_fit_interval(const FreeFit& fit, int j) {
    // Without a covariance the constants are not determined, and a profile would only walk
    // the flat sum of squares out to its limits.
    if (!fit.made || !fit.covariance.defined || j == fit.ran_off) return ProfileInterval{};
    ConstantProfile profile(fit.space, fit.at, fit.space_covariance, j);
    return profile_interval(profile, fit.constants[j], fit.sum_of_squares, fit.points_compared,
                            CONSTANTS, fit.covariance.standard_error(j), PROFILE_BITS);
}

FreeFit free_fit(int n) {
    FreeFit free = free_fit_without_intervals(n);
    std::vector<std::function<void()>> searches;
    for (int j = 0; j < CONSTANTS; ++j)
        searches.push_back([&free, j] { free.intervals[j] = free_fit_interval(free, j); });
    run_in_lockstep(searches);
    return free;
}
