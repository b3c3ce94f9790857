// The fit every fit program makes: constant 0 alone, the others held.
#pragma once

#include <cstdio>

#include "minimiser/objective_function.h"
#include "problem/records.h"

// The fit variable is constant 0 in units of the midpoint of its range, so every fit starts
// there.
constexpr double START_IN_MIDPOINTS = 1.0;

struct ConstantZeroFit {
    double point;                 // the fit variable at the objective's last evaluation
    double constants[CONSTANTS];  // the rate constants of that evaluation
};

// Minimises `objective` over constant 0 with the direction-set method from
// START_IN_MIDPOINTS, the other constants held at held[1..], in the workspace as
// load_workspace left it; the trace goes to `trace` (none when null).
//
// The result is the objective's last evaluation, not the minimiser's best point: the last
// trial is often the extrapolated point of the last cycle, within the tolerance of the best
// one, and it is what the fit programs have always printed.
ConstantZeroFit fit_constant_zero(const double* held, ObjectiveFunction objective, FILE* trace);
