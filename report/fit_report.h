// What the fit report knows of one fit: the problem as the readers left it, the fit that
// the fit program makes, its statistics and the warnings about the input. Filled by the
// analysis and the input checks, read by the summary, the JSON, the table and the figure.
#pragma once

#include <string>
#include <vector>

#include "checks/warning.h"
#include "problem/records.h"
#include "statistics/free_fit.h"
#include "statistics/residual_runs.h"

// One measured point of a curve, as the fit saw it.
struct PointRow {
    double time;       // as written in the curve file
    double measured;   // the concentration read (0 where the line held none)
    double simulated;  // at the fitted constant; NaN where the simulation never reached it
    bool compared;     // whether it enters the sum of squares
};

struct CurveResult {
    std::string file;  // as named on the plot line
    double initial_concentration;
    std::vector<PointRow> points;  // every point, in file order (point 0 first)
    // The fitted simulation from its start to its end, on the file's time axis (the time of
    // point 0 plus the model time), at every step or a regular subset of the steps.
    std::vector<double> sim_time;
    std::vector<double> sim_value;
    int points_compared;
    double rms_residual;  // sqrt(mean squared residual of the compared points); NaN if none
    double r_squared;     // around the curve's own mean of its compared points; NaN if undefined
};

struct FitReport {
    std::string program;         // "velkor" or "velkor-b": the fit this report stands for
    std::string parameter_file;  // as given with -f
    std::string time_unit;       // axis labels; empty when not given
    std::string conc_unit;

    ConstantSet ranges;           // as read from the parameter file
    double constants[CONSTANTS];  // [0] the fitted constant, the others held at their midpoints

    int points_compared;
    double sum_of_squares;  // at the fitted constant
    double residual_sd;     // sqrt(RSS / (n - 1)); NaN when n < 2
    double r_squared;       // 1 - RSS / TSS, TSS over the compared points around their mean
    double quality;         // the fit program's own figure at the fitted constant
    double standard_error;  // of the fitted constant; NaN where undefined
    double ci95[2];         // its profile interval; NaN for a side that is unbounded or undefined
    ResidualRuns runs;      // the runs test of the residuals at the fitted constant
    // Constant 0 refitted with held constant j (1 .. CONSTANTS-1) at the lower and upper end
    // of its range, the others at their midpoints; [0] unused.
    double at_range_ends[CONSTANTS][2];
    FreeFit free_fit;  // every constant fitted
    // The problem holds more curves or points than the fit program reads, so its fit is not
    // the held fit here.
    bool beyond_fit_program;

    int points_sampled[PLOTS];        // per curve: points reached by the simulation, point 0 too
    std::vector<CurveResult> curves;  // one per curve slot of the problem, in order
    std::vector<Warning> warnings;
};
