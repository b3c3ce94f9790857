// The curves of a fit as the report shows them: every point with its simulated value, the
// spread of each curve's residuals, and the fitted simulation drawn at fine steps.
#pragma once

#include "report/fit_report.h"
#include "statistics/evaluation.h"

// One CurveResult per curve of the problem loaded in the workspace, from the evaluation at
// the fit: points, compared flags, points_compared, rms_residual and r_squared; sets the
// report's points_sampled, points_compared and r_squared.
void fill_curves(const Evaluation& at_fit, FitReport& report);

// The fitted simulation of every curve, from its start to its last sampled point, at the
// given rate constants.
void draw_curves(const double* constants, FitReport& report);
