// The fit that the fit programs make (constant 0 fitted, the others held at the midpoints of
// their ranges), made again silently, with its uncertainty:
//
//   n     the compared points: sampled, after point 0, measured concentration > 0
//   s     sqrt(RSS / (n - 1))
//   se    sqrt(s^2 / sum J_i^2), J_i = d sim_i / d c0 by central differences
//   95 %  the profile interval of constant 0 with one constant fitted
#pragma once

#include "simulation/fit.h"
#include "statistics/evaluation.h"
#include "statistics/fit_space.h"
#include "statistics/profile_interval.h"
#include "statistics/residual_runs.h"

struct HeldFit {
    FitSpace space;       // constant 0 free, the others held
    ConstantZeroFit fit;  // the fit programs' result: its constants are theirs
    Evaluation at_fit;    // the evaluation at that result
    int points_compared;
    double residual_sd;  // NaN when n < 2
    // The simulated curves never leave their initial concentrations at the result, so
    // constant 0 cannot be determined and neither its error nor its interval is computed.
    bool never_moves;
    double standard_error;  // NaN where undefined
    // The simulated values do not depend on constant 0 (J = 0): it cannot be determined.
    bool no_dependence;
    ProfileInterval interval;
    ResidualRuns runs;  // of the residuals at the result
};

// The fit of the problem loaded in the workspace, the others held at `held`.
HeldFit held_fit(const double* held);
