// The least-squares fit of constants 0 and 1 together (the fit programs fit constant 0
// alone), from the midpoints of their ranges, with the Gauss-Newton covariance
// s^2 (J^T J)^-1, s^2 = RSS / (n - 2).
#pragma once

#include "statistics/standard_errors.h"

struct FreeFit {
    bool made;  // false when fewer than three points are compared
    double constants[CONSTANTS];
    double sum_of_squares;
    Covariance covariance;  // of constants 0 and 1
};

// n: the points compared (the same for every constant).
FreeFit free_fit(int n);
