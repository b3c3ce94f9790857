// Derivative-free direction-set minimisation (Powell's conjugate directions).
//
// A cycle searches along every direction from x0 (value f0) to x (value fN), Delta the
// largest single decrease, then evaluates fE at the extrapolated point 2x - x0. The
// direction of Delta is replaced by the normalised displacement (x - x0) / |x - x0| when
//
//   fE < f0   and   T = 2 (f0 - 2 fN + fE) ((f0 - fN - Delta) / (fE - f0))^2 < Delta,
//
// that is when the extrapolation still goes downhill and the cycle's decrease was not
// mostly due to that single direction.
#pragma once

#include <cstdio>

#include "minimiser/objective_function.h"

// The search directions are the columns: element [k][j] is component k of direction j.
extern double direction_matrix[MAX_VARIABLES][MAX_VARIABLES];
// The point 2x - x0 evaluated at the end of every cycle.
extern double extrapolated_point[MAX_VARIABLES];

// Minimises objective from x (n in 1..MAX_VARIABLES); *value holds the value at x.
// Returns 0 on convergence, j+1 when direction j was flat in the first cycle.
// trace, when not null, receives the initial point and every non-final cycle.
int direction_set_minimize(int n, double* x, double* value, ObjectiveFunction objective,
                           FILE* trace);

// 1 when f and every coordinate changed by at most eps (relative above eps in size).
int converged(int n, double f_old, double f_new, const double* x_old, const double* x_new,
              double eps);
