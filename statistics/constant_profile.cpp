#include "statistics/constant_profile.h"

#include <cmath>

#include "simulation/workspace.h"

namespace {

// Steps per profile point at the most; the start is close, so two or three suffice.
constexpr int MOST_STEPS = 12;
// Halvings of a step that does not lower RSS before the search gives up.
constexpr int MOST_HALVINGS = 2;
// A step that promises to lower RSS by less than this fraction of it ends the search.
constexpr double CONVERGED = 1e-9;
// After this many steps without convergence J_m is worked out at the current point.
constexpr int REFRESH_AFTER = 3;

}  // namespace

ConstantProfile::ConstantProfile(const FitSpace& space, const Evaluation& at,
                                 const Covariance& covariance,
                                 const std::vector<std::vector<double>>& columns, int constant)
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
        columns_.push_back(columns[coordinates[m]]);
        const double s = covariance.defined ? covariance.matrix[coordinates[m]][j_coordinate] /
                                                  covariance.matrix[j_coordinate][j_coordinate]
                                            : 0.0;
        slope_.push_back(std::isfinite(s) ? s : 0.0);
    }
}

std::vector<double> ConstantProfile::point_of(const std::vector<double>& others) const {
    std::vector<double> x(others.size());
    for (size_t m = 0; m < others.size(); ++m)
        x[m] = others[m] / fit_workspace.constant_mid[others_[m]];
    return x;
}

std::vector<double> ConstantProfile::start_for(double c) const {
    std::vector<double> start(optimum_.size());
    if (found_.size() < 2) {
        for (size_t m = 0; m < start.size(); ++m)
            start[m] = optimum_[m] + slope_[m] * (c - centre_);
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
        start[m] = ca == cb ? ya : ya + (yb - ya) / (cb - ca) * (c - ca);
    }
    return start;
}

double ConstantProfile::operator()(double c) {
    space_.held[constant_] = c;
    if (found_.empty()) found_.push_back({centre_, optimum_});
    std::vector<double> others = start_for(c);
    Evaluation now = evaluate(space_, point_of(others).data());
    if (others.empty()) return now.sum_of_squares;
    std::vector<std::vector<double>> columns = columns_;
    for (int step = 0; step < MOST_STEPS; ++step) {
        std::vector<double> r(now.compared.size());
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = now.measured[i] - now.compared[i];
        double d[3], promised = 0.0;
        if (!gauss_newton_step(columns, r, d, promised)) break;
        // A step that promises next to nothing is not worth an evaluation.
        if (!(promised > CONVERGED * now.sum_of_squares)) break;
        bool lowered = false;
        double scale = 1.0;
        for (int halving = 0; halving <= MOST_HALVINGS && !lowered; ++halving, scale *= 0.5) {
            std::vector<double> trial = others;
            for (size_t m = 0; m < trial.size(); ++m)
                trial[m] += scale * d[m];
            Evaluation at = evaluate(space_, point_of(trial).data());
            if (at.sum_of_squares < now.sum_of_squares) {
                now = at;
                others = trial;
                lowered = true;
            }
        }
        if (!lowered) break;
        if (step + 1 == REFRESH_AFTER) {
            const std::vector<double> x = point_of(others);
            for (size_t m = 0; m < columns.size(); ++m)
                columns[m] = jacobian_column(space_, x.data(), static_cast<int>(m));
        }
    }
    found_.push_back({c, others});
    return now.sum_of_squares;
}
