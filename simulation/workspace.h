// State shared by the fit driver, the objective and the rate law during a fit.
#pragma once

#include "problem/records.h"

struct FitWorkspace {
    double initial_conc[SUBSTANCES];   // start of the curve being integrated
    double rate_constants[CONSTANTS];  // constants the rate law uses now
    double constant_mid[CONSTANTS];    // midpoints of the admissible ranges
    PlotSet* plot_set;                 // the measured curves (not owned)
    double point_time[PLOTS][POINTS];  // copy of every point time
    double sim_value[PLOTS][POINTS];   // simulated concentration at each sampled point
    double step_size[PLOTS];           // integration step of each curve
    int points_sampled[PLOTS];  // points 0..n-1 of each curve sampled in the latest evaluation
    double sum_of_squares;      // residual of the latest evaluation
    double fit_quality;         // 1 - residual / total sum of squares
};

// One per process, zero at program start, overwritten by every fit.
extern FitWorkspace fit_workspace;

// Places the problem in the workspace as every fit starts it: the plots, the
// midpoint (max + min) / 2 of every constant's range, a copy of every point
// time, and every rate constant at its midpoint.
void load_workspace(const ConstantSet* constants, PlotSet* plots);
