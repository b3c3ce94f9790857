#include "statistics/constant_profile.h"

#include <cmath>

#include "statistics/gauss_newton.h"

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
    const std::vector<double> start = start_for(c);
    const Evaluation at_start = evaluate(space_, point_of_constants(space_, start).data());
    const Descent descent = gauss_newton_descent(space_, start, at_start, columns_);
    found_.push_back({c, descent.constants});
    return descent.at.sum_of_squares;
}
