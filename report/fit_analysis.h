// The fit that the fit program makes, made again silently, and what it leaves unsaid: the
// residual spread, the uncertainty of the fitted constant, how it depends on the constants
// held, and the fit of constants 0 and 1 together.
#pragma once

#include <string>
#include <vector>

#include "problem/records.h"
#include "report/fit_report.h"

// Loads the problem into the workspace once, fits it as the fit program does and fills
// every figure of the report, its curves and the warnings about the fit. The report's
// constant 0 is the one the fit program prints: that of the objective's last evaluation.
//
//   R^2   1 - RSS / TSS, TSS over the compared points around their mean
//   (the rest: see statistics/held_fit.h, range_end_refits.h, free_fit.h)
// `files` names each curve as its plot line does.
void analyse_fit(const ConstantSet& constants, PlotSet& plots,
                 const std::vector<std::string>& files, FitReport& report);
