#include "statistics/free_fit.h"

#include <cstddef>

#include "statistics/constant_profile.h"
#include "statistics/fit_space.h"
#include "statistics/gauss_newton.h"

namespace {

// Fresh starts of the minimiser from the point it found, at the most.
constexpr int MOST_RESTARTS = 3;
// A fresh start that lowers RSS by less than this fraction of it ends the restarts.
constexpr double NO_GAIN = 1e-9;
// Gauss-Newton descents, each from where the last stopped with the Jacobian there, at the most.
constexpr int MOST_DESCENTS = 4;

FitSpace every_constant_free() {
    std::vector<int> all;
    for (int j = 0; j < CONSTANTS; ++j)
        all.push_back(j);
    return space_with_free(all);
}

// The direction set closes in on the optimum linearly; Gauss-Newton finishes the approach
// where the valley is long and narrow, as it is with three constants. A descent keeps the
// Jacobian of its start for its first steps and can stop where that Jacobian, not the
// optimum's, sees no gain: it is begun afresh from where it stopped, with the Jacobian there,
// until a step promises less than NO_GAIN of RSS.
std::vector<double> polished(const FitSpace& space, std::vector<double> x) {
    for (int descent = 0; descent < MOST_DESCENTS; ++descent) {
        const Evaluation at = evaluate(space, x.data());
        std::vector<std::vector<double>> columns;
        for (int j = 0; j < CONSTANTS; ++j)
            columns.push_back(jacobian_column(space, x.data(), j));
        std::vector<double> r(at.compared.size());
        for (std::size_t i = 0; i < r.size(); ++i)
            r[i] = at.measured[i] - at.compared[i];
        double d[3], promised = 0.0;
        if (!gauss_newton_step(columns, r, d, promised)) break;
        if (!(promised > NO_GAIN * at.sum_of_squares)) break;
        const std::vector<double> start(at.constants, at.constants + CONSTANTS);
        const Descent lower = gauss_newton_descent(space, start, at, columns);
        if (!(lower.at.sum_of_squares < at.sum_of_squares)) break;
        x = point_of_constants(space, lower.constants);
    }
    return x;
}

}  // namespace

std::vector<double> free_fit_point(int n) {
    if (n <= CONSTANTS) return {};
    const FitSpace space = every_constant_free();
    std::vector<double> x(CONSTANTS, 1.0);
    double value = minimise_in(space, x.data());
    for (int restart = 0; restart < MOST_RESTARTS; ++restart) {
        const double before = value;
        value = minimise_in(space, x.data());
        if (!(value < before - NO_GAIN * before)) break;
    }
    return polished(space, x);
}

FreeFit free_fit_at(const std::vector<double>& point, int n) {
    FreeFit free;
    free.points_compared = n;
    if (point.size() != CONSTANTS) return free;
    const FitSpace space = every_constant_free();
    free.point = point;
    free.at = evaluate(space, point.data());
    free.made = true;
    free.sum_of_squares = free.at.sum_of_squares;
    for (int j = 0; j < CONSTANTS; ++j) {
        free.constants[j] = free.at.constants[j];
        free.columns.push_back(jacobian_column(space, point.data(), j));
    }
    free.covariance = gauss_newton_covariance(free.columns, free.sum_of_squares / (n - CONSTANTS));
    free.runs = residual_runs(free.at);
    return free;
}

ProfileInterval free_fit_interval(const FreeFit& fit, int j) {
    // Without a covariance the constants are not determined, and a profile would only walk
    // the flat sum of squares out to its limits.
    if (!fit.made || !fit.covariance.defined) return ProfileInterval{};
    ConstantProfile profile(every_constant_free(), fit.at, fit.covariance, fit.columns, j);
    return profile_interval(profile, fit.constants[j], fit.sum_of_squares, fit.points_compared,
                            CONSTANTS, fit.covariance.standard_error(j), PROFILE_BITS);
}

FreeFit free_fit(int n) {
    FreeFit free = free_fit_at(free_fit_point(n), n);
    for (int j = 0; j < CONSTANTS; ++j)
        free.intervals[j] = free_fit_interval(free, j);
    return free;
}
