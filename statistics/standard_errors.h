// Standard errors of fitted constants from the Jacobian of the simulated values.
//
//   J[i][j]  = d sim_i / d c_j, the compared points i, by central differences
//   one constant:   se = sqrt(s^2 / sum_i J_i^2)
//   k constants:    C = s^2 (J^T J)^-1 (Gauss-Newton), se_j = sqrt(C_jj),
//                   correlation r_jl = C_jl / sqrt(C_jj C_ll)
#pragma once

#include <vector>

#include "statistics/evaluation.h"
#include "statistics/fit_space.h"

// Relative step of the central differences: the truncation error (h^2) and the rounding
// error (1e-16 / h) of the simulated values are both far below the noise of any data.
constexpr double DIFFERENCE_STEP = 1e-4;

// d sim / d c_j of the compared points at point x of the space, for the free constant that
// is coordinate `coordinate` of the point: the step is DIFFERENCE_STEP |x[coordinate]|, and
// the difference is divided by that of the constants the objective used.
std::vector<double> jacobian_column(const FitSpace& space, const double* x, int coordinate);

// The same for several coordinates (none given: every one), their evaluations made together;
// with at_x, the evaluation at x itself is made with them and handed back there.
std::vector<std::vector<double>> jacobian_columns(const FitSpace& space, const double* x,
                                                  std::vector<int> coordinates = {},
                                                  Evaluation* at_x = nullptr);

// Every column by a forward difference from x, where `at` was evaluated: one evaluation per
// column, made together, good to about DIFFERENCE_STEP relative, enough to aim a descent.
// Empty where a step moved no constant (Km on its clamp) or the points compared differ.
std::vector<std::vector<double>> forward_columns(const FitSpace& space, const double* x,
                                                 const Evaluation& at);

// sqrt(s^2 / sum J_i^2) of one constant; NaN where s or the sum is no usable number.
double standard_error_of_one(double s, const std::vector<double>& column);

// s^2 (J^T J)^-1 of up to three constants, by cofactors; `defined` is false where J^T J is
// singular or s^2 no number.
struct Covariance {
    bool defined = false;
    int size = 0;
    double matrix[3][3] = {};

    double standard_error(int j) const;
    double correlation(int j, int l) const;
};

Covariance gauss_newton_covariance(const std::vector<std::vector<double>>& columns, double s2);

// The least-squares step d of up to three constants, (J^T J + damping diag(J^T J)) d = J^T r,
// by cofactors, and d^T J^T r (undamped, the decrease of RSS the step promises); false where
// the matrix is singular.
bool gauss_newton_step(const std::vector<std::vector<double>>& columns,
                       const std::vector<double>& r, double* d, double& promised,
                       double damping = 0.0);
