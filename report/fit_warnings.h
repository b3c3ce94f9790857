// The report's doubts about a fit, in words.
#pragma once

#include "report/fit_report.h"
#include "statistics/held_fit.h"

// Constant 0 held at 0 by the clamp or outside its starting range; curves that never move;
// a constant 0 the simulation does not depend on; the ends of the intervals (held fit and
// free fit) that are unbounded, undefined or not found; curves matched exactly; held
// constants at odds with the free fit; residuals that run in stretches of one sign.
void warn_about_fit(const HeldFit& fit, FitReport& report);

// The free fit's doubts alone: its intervals and its residuals.
void warn_about_free_fit_only(FitReport& report);

// A problem larger than the fit program reads (FIT_PROGRAM_PLOTS curves of
// FIT_PROGRAM_POINTS points): which curves it would fit, and that its constant 0 would differ.
// `plot_lines`: the plot lines of the parameter file. True when the problem is larger.
bool warn_beyond_fit_program(int plot_lines, const PlotSet& plots, FitReport& report);
