// The fit that velkor makes, made again silently, and what it leaves unsaid: the residual
// spread, the uncertainty of Km, how Km depends on the constants held, and the fit of Km
// and Vmax together.
#pragma once

#include "problem/records.h"
#include "report/fit_report.h"

// Fits the loaded problem as velkor does (same start, minimiser and objective, no trace) and
// fills every figure of the report, its curves and the warnings about the fit. The report's
// Km is the one velkor prints: the constant of the objective's last evaluation.
//
//   n     the compared points: sampled, after point 0, measured concentration > 0
//   s     sqrt(RSS / (n - 1))
//   R^2   1 - RSS / TSS, TSS over the compared points around their mean
//   se    sqrt(s^2 / sum J_i^2), J_i = d sim_i / d Km by central differences
//   95 %  the Km where RSS(Km) = RSS_min (1 + F(0.95; 1, n - 1) / (n - 1)), on each side
//   free  Km and Vmax fitted together; covariance s^2 (J^T J)^-1 with s^2 = RSS / (n - 2)
void analyse_fit(const ConstantSet& constants, PlotSet& plots, FitReport& report);
