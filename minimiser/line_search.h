// Parabolic line search along x + t*d.
//
// First the minimum is bracketed by steps of growing length along d (turning back once
// if the first step goes uphill); then the bracket a < b < c (b the lowest value) is
// refined by the vertex of the parabola through (a, fa), (b, fb), (c, fc):
//
//   t = 1/2 [(b^2 - a^2) fc + (a^2 - c^2) fb + (c^2 - b^2) fa]
//           / [(b - a) fc + (a - c) fb + (c - b) fa]
//
// until |fb - ft| (relative to fb above 1e-4) is within the tolerance.
#pragma once

#include <cstdio>

#include "minimiser/objective_function.h"

// Every evaluation of the line search is made here.
extern double trial_point[MAX_VARIABLES];

// Moves x (and *value) to the best point found along d, never to a higher value.
// Returns 0 when the function was flat at the start of the bracketing, else 1.
// trace, when not null, receives every evaluated point.
int line_search(int n, double* x, const double* d, double* value, ObjectiveFunction objective,
                FILE* trace);
