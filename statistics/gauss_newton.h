// Gauss-Newton descent on the free constants of a fit:
//
//   (J^T J) d = J^T r,   r = measured - simulated,   c <- c + d (halved until RSS falls),
//
// J = d sim / d c of the free constants, worked out afresh after every REFRESH_AFTER steps
// when the descent is slow. It stops when a step promises to lower RSS by less than a given
// fraction of it, or when no halving of a step lowers RSS.
#pragma once

#include <vector>

#include "statistics/evaluation.h"
#include "statistics/fit_space.h"

struct Descent {
    std::vector<double> constants;  // the free constants, in index order
    Evaluation at;                  // the evaluation there
    bool converged;                 // the last step promised less than `converged` of RSS
};

// A step that promises to lower RSS by less than this fraction of it ends the descent, with a
// Jacobian of central differences.
constexpr double CONVERGED = 1e-9;
// With one of forward differences, good to about 1e-4, promises of about the square of that
// are not there to be had.
constexpr double FORWARD_CONVERGED = 1e-7;

// From the free constants `start`, evaluated as `at_start`, with `columns` the Jacobian's
// columns of the free constants there (or near there); `converged` as above.
Descent gauss_newton_descent(const FitSpace& space, const std::vector<double>& start,
                             const Evaluation& at_start, std::vector<std::vector<double>> columns,
                             double converged = CONVERGED);

// The point of the space (midpoint units) of the free constants' values.
std::vector<double> point_of_constants(const FitSpace& space, const std::vector<double>& free);
