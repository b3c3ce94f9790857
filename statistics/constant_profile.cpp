#include "statistics/constant_profile.h"

#include <cmath>

#include "statistics/gauss_newton.h"
#include "statistics/levenberg_marquardt.h"

namespace {

// The Jacobian of a profile point aims the descents of points this close to it, relative to
// its distance from the optimum; farther off the residuals have changed too much, and J^T r
// with a stale J is mostly J's error.
constexpr double REUSE_WITHIN = 0.01;
// The profile's ends are resolved to 16 bits, for which RSS_p must be right to about 4e-6 of
// it: a descent stops where a step promises less than this fraction.
constexpr double PROFILE_CONVERGED = 1e-6;

// A positive constant y moved by dy along a line of the profile: on a logarithmic scale, so
// that a long extrapolation (a constant that falls steeply with c) cannot carry it through 0
// to the wrong sign, where the law is another one.
double along(double y, double dy) {
    return y > 0.0 ? y * std::exp(dy / y) : y + dy;
}

}  // namespace

ConstantProfile::ConstantProfile(const FitSpace& space, const Evaluation& at,
                                 const Covariance& covariance, int constant)
    : space_(space), constant_(constant), centre_(at.constants[constant]) {
    space_.free[constant] = false;
    int coordinate = 0;
    int j_coordinate = 0;
    std::vector<int> coordinates;
    for (int c = 0; c < CONSTANTS; ++c) {
        if (!space.free[c]) continue;
        if (c == constant) {
            j_coordinate = coordinate;
        } else {
            others_.push_back(c);
            coordinates.push_back(coordinate);
        }
        ++coordinate;
    }
    for (size_t m = 0; m < others_.size(); ++m) {
        optimum_.push_back(at.constants[others_[m]]);
        const double s = covariance.defined ? covariance.matrix[coordinates[m]][j_coordinate] /
                                                  covariance.matrix[j_coordinate][j_coordinate]
                                            : 0.0;
        slope_.push_back(std::isfinite(s) ? s : 0.0);
    }
}

std::vector<double> ConstantProfile::start_for(double c) const {
    std::vector<double> start(optimum_.size());
    if (found_.size() < 2) {
        for (size_t m = 0; m < start.size(); ++m)
            start[m] = along(optimum_[m], slope_[m] * (c - centre_));
        return start;
    }
    // The two points nearest to c.
    size_t a = 0, b = 1;
    const auto distance = [&](size_t i) { return std::fabs(found_[i].first - c); };
    if (distance(b) < distance(a)) std::swap(a, b);
    for (size_t i = 2; i < found_.size(); ++i) {
        if (distance(i) < distance(a)) {
            b = a;
            a = i;
        } else if (distance(i) < distance(b)) {
            b = i;
        }
    }
    const double ca = found_[a].first, cb = found_[b].first;
    for (size_t m = 0; m < start.size(); ++m) {
        const double ya = found_[a].second[m], yb = found_[b].second[m];
        if (ca == cb) {
            start[m] = ya;
        } else if (ya > 0.0 && yb > 0.0) {
            start[m] = ya * std::exp(std::log(yb / ya) / (cb - ca) * (c - ca));
        } else {
            start[m] = ya + (yb - ya) / (cb - ca) * (c - ca);
        }
    }
    return start;
}

const std::vector<std::vector<double>>* ConstantProfile::columns_near(double c) const {
    const Aimed* nearest = nullptr;
    for (const Aimed& a : aimed_)
        if (nearest == nullptr || std::fabs(a.c - c) < std::fabs(nearest->c - c)) nearest = &a;
    if (nearest != nullptr &&
        std::fabs(nearest->c - c) <= REUSE_WITHIN * std::fabs(nearest->c - centre_))
        return &nearest->columns;
    return nullptr;
}

double ConstantProfile::operator()(double c) {
    space_.held[constant_] = c;
    if (found_.empty()) found_.push_back({centre_, optimum_});
    const std::vector<double> start = start_for(c);
    const std::vector<double> x = point_of_constants(space_, start);
    Descent descent{start, evaluate(space_, x.data()), false};
    if (const auto* near = columns_near(c))
        descent = gauss_newton_descent(space_, start, descent.at, *near, PROFILE_CONVERGED);
    if (!descent.converged) {
        // No Jacobian close by, or one that aimed wrong: J_m where the descent stands.
        const std::vector<double> here = point_of_constants(space_, descent.constants);
        const std::vector<std::vector<double>> columns =
            forward_columns(space_, here.data(), descent.at);
        aimed_.push_back({c, columns});
        descent =
            gauss_newton_descent(space_, descent.constants, descent.at, columns, PROFILE_CONVERGED);
    }
    if (!descent.converged) {
        // Stuck where the Jacobian no longer fits the curves (a constant running off towards
        // infinity, a valley that bends): the damped descent finishes the job.
        const MarquardtFit fit =
            levenberg_marquardt(space_, point_of_constants(space_, descent.constants));
        if (fit.at.sum_of_squares < descent.at.sum_of_squares) {
            std::vector<double> constants;
            for (const int m : others_)
                constants.push_back(fit.at.constants[m]);
            descent = Descent{constants, fit.at, fit.converged};
        }
    }
    // A point that no descent settled would lead the starts of its neighbours astray.
    if (descent.converged) found_.push_back({c, descent.constants});
    return descent.at.sum_of_squares;
}
