#include "statistics/standard_errors.h"

#include <cmath>
#include <limits>

#include "statistics/evaluation.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

double sum_of_products(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += a[i] * b[i];
    return sum;
}

bool usable(double v) {
    return std::isfinite(v) && v > 0.0;
}

// Cofactor (j, l) of the k x k matrix m, k <= 3.
double cofactor(const double m[3][3], int k, int j, int l) {
    if (k == 1) return 1.0;
    int rows[2], cols[2], r = 0, c = 0;
    for (int i = 0; i < k; ++i) {
        if (i != j) rows[r++] = i;
        if (i != l) cols[c++] = i;
    }
    if (k == 2) return ((j + l) % 2 == 0 ? 1.0 : -1.0) * m[rows[0]][cols[0]];
    const double minor =
        m[rows[0]][cols[0]] * m[rows[1]][cols[1]] - m[rows[0]][cols[1]] * m[rows[1]][cols[0]];
    return (j + l) % 2 == 0 ? minor : -minor;
}

double determinant(const double m[3][3], int k) {
    if (k == 1) return m[0][0];
    if (k == 2) return m[0][0] * m[1][1] - m[0][1] * m[1][0];
    return m[0][0] * cofactor(m, 3, 0, 0) + m[0][1] * cofactor(m, 3, 0, 1) +
           m[0][2] * cofactor(m, 3, 0, 2);
}

// The index of the constant that is coordinate `coordinate` of the space's points.
int constant_of(const FitSpace& space, int coordinate) {
    int constant = 0;
    for (int seen = -1; constant < CONSTANTS; ++constant)
        if (space.free[constant] && ++seen == coordinate) break;
    return constant;
}

// (high - low) / (c_high - c_low) of the compared points, for `constant`.
std::vector<double> quotient(const Evaluation& high, const Evaluation& low, int constant) {
    const double step = high.constants[constant] - low.constants[constant];
    std::vector<double> column(high.compared.size());
    for (size_t i = 0; i < column.size(); ++i)
        column[i] = (high.compared[i] - low.compared[i]) / step;
    return column;
}

}  // namespace

std::vector<double> jacobian_column(const FitSpace& space, const double* x, int coordinate) {
    return jacobian_columns(space, x, {coordinate}).front();
}

std::vector<std::vector<double>> jacobian_columns(const FitSpace& space, const double* x,
                                                  std::vector<int> coordinates, Evaluation* at_x) {
    const int n = space.dimension();
    if (coordinates.empty())
        for (int m = 0; m < n; ++m)
            coordinates.push_back(m);
    std::vector<std::vector<double>> points;
    for (int coordinate : coordinates) {
        std::vector<double> lower(x, x + n), upper(x, x + n);
        const double dx = DIFFERENCE_STEP * std::fabs(x[coordinate]);
        lower[coordinate] -= dx;
        upper[coordinate] += dx;
        points.push_back(upper);
        points.push_back(lower);
    }
    if (at_x != nullptr) points.emplace_back(x, x + n);
    const std::vector<Evaluation> e = evaluate_each(space, points);
    if (at_x != nullptr) *at_x = e.back();
    std::vector<std::vector<double>> columns;
    for (size_t m = 0; m < coordinates.size(); ++m)
        columns.push_back(quotient(e[2 * m], e[2 * m + 1], constant_of(space, coordinates[m])));
    return columns;
}

std::vector<std::vector<double>> forward_columns(const FitSpace& space, const double* x,
                                                 const Evaluation& at) {
    const int n = space.dimension();
    std::vector<std::vector<double>> points;
    for (int m = 0; m < n; ++m) {
        points.emplace_back(x, x + n);
        points.back()[m] += DIFFERENCE_STEP * std::fabs(x[m]);
    }
    const std::vector<Evaluation> there = evaluate_each(space, points);
    std::vector<std::vector<double>> columns;
    for (int m = 0; m < n; ++m) {
        const int constant = constant_of(space, m);
        if (!(there[m].constants[constant] - at.constants[constant] != 0.0) ||
            there[m].compared.size() != at.compared.size())
            return {};
        columns.push_back(quotient(there[m], at, constant));
    }
    return columns;
}

double standard_error_of_one(double s, const std::vector<double>& column) {
    const double information = sum_of_products(column, column);
    if (!std::isfinite(s) || !usable(information)) return NaN;
    return std::sqrt(s * s / information);
}

Covariance gauss_newton_covariance(const std::vector<std::vector<double>>& columns, double s2) {
    Covariance c;
    const int k = static_cast<int>(columns.size());
    if (k < 1 || k > 3) return c;
    c.size = k;
    double m[3][3] = {};
    for (int j = 0; j < k; ++j)
        for (int l = 0; l < k; ++l)
            m[j][l] = sum_of_products(columns[j], columns[l]);
    const double det = determinant(m, k);
    if (!usable(det) || !std::isfinite(s2)) return c;
    for (int j = 0; j < k; ++j)
        for (int l = 0; l < k; ++l)
            c.matrix[j][l] = s2 * cofactor(m, k, j, l) / det;
    c.defined = true;
    return c;
}

double Covariance::standard_error(int j) const {
    return defined ? std::sqrt(matrix[j][j]) : NaN;
}

double Covariance::correlation(int j, int l) const {
    return defined ? matrix[j][l] / std::sqrt(matrix[j][j] * matrix[l][l]) : NaN;
}

bool gauss_newton_step(const std::vector<std::vector<double>>& columns,
                       const std::vector<double>& r, double* d, double& promised, double damping) {
    const int k = static_cast<int>(columns.size());
    if (k < 1 || k > 3) return false;
    double m[3][3] = {}, b[3] = {};
    for (int j = 0; j < k; ++j) {
        b[j] = sum_of_products(columns[j], r);
        for (int l = 0; l < k; ++l)
            m[j][l] = sum_of_products(columns[j], columns[l]);
    }
    // Marquardt's damping scales with each constant's own curvature, so it does not depend on
    // the constants' units.
    for (int j = 0; j < k; ++j)
        m[j][j] *= 1.0 + damping;
    const double det = determinant(m, k);
    if (!usable(det)) return false;
    // The inverse is the transposed cofactor matrix over the determinant; J^T J is symmetric.
    promised = 0.0;
    for (int j = 0; j < k; ++j) {
        d[j] = 0.0;
        for (int l = 0; l < k; ++l)
            d[j] += cofactor(m, k, l, j) * b[l];
        d[j] /= det;
        promised += d[j] * b[j];
    }
    return true;
}
