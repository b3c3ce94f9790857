// Levenberg-Marquardt descent on the free constants of a fit, with Marquardt's scaling:
//
//   (J^T J + lambda diag(J^T J)) d = J^T r,   r = measured - simulated,   c <- c + d,
//
// J = d sim / d c by forward differences from the current point, one evaluation per free
// constant. A step that lowers RSS is taken and lambda shrinks by as much as the step bore out
// the linear model (Nielsen's rule); one that does not is tried again with lambda grown, which
// turns it towards the gradient and shortens it. The descent has converged where the undamped
// step promises to lower RSS by less than FORWARD_CONVERGED of it (statistics/gauss_newton.h).
//
// From the midpoints of the ranges it reaches the optimum of a well-posed problem in a few
// dozen evaluations; the direction-set minimiser needs several times as many.
#pragma once

#include <vector>

#include "statistics/evaluation.h"
#include "statistics/fit_space.h"

struct MarquardtFit {
    std::vector<double> x;  // the point reached, in the space's coordinates
    Evaluation at;          // the evaluation there
    bool converged;         // false: no damping lowered RSS, or the iterations ran out
};

MarquardtFit levenberg_marquardt(const FitSpace& space, std::vector<double> x);
