// Gauss-Newton descent on the free constants of a fit:
//
//   (J^T J) d = J^T r,   r = measured - simulated,   c <- c + d (halved until RSS falls),
//
// J = d sim / d c of the free constants, worked out afresh once after REFRESH_AFTER steps
// when the descent is slow. It stops when a step promises to lower RSS by less than
// CONVERGED of it, or when no halving of a step lowers RSS.
#pragma once

#include <vector>

#include "statistics/evaluation.h"
#include "statistics/fit_space.h"

struct Descent {
    std::vector<double> constants;  // the free constants, in index order
    Evaluation at;                  // the evaluation there
};

// From the free constants `start`, evaluated as `at_start`, with `columns` the Jacobian's
// columns of the free constants there (or near there).
Descent gauss_newton_descent(const FitSpace& space, const std::vector<double>& start,
                             const Evaluation& at_start, std::vector<std::vector<double>> columns);

// The point of the space (midpoint units) of the free constants' values.
std::vector<double> point_of_constants(const FitSpace& space, const std::vector<double>& free);
