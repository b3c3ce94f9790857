// Parabolic line search along x + t*d.
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
