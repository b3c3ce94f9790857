// What each curve of a report has to draw, as rows of gnuplot data blocks.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "report/fit_report.h"

// Data-block numbers: plenty for a picture, short enough for a person to read.
constexpr const char* DATA_PRECISION = "%.10g";

// How the values are drawn: the blocks hold exactly what is plotted.
struct DataView {
    bool normalised = false;         // concentrations and residuals over the initial concentration
    bool positive_time = false;      // only times above 0, for a log time axis
    std::size_t fitted_rows = 1000;  // of each fitted curve, at most
};

struct CurveData {
    std::string measured;  // data-block rows: time, measured, compared (1) or not (0)
    std::string fitted;    // time, simulated; a blank row where the simulation is undefined
    std::string residual;  // time, measured - simulated, of the compared points
    int compared_drawn = 0;
    int others_drawn = 0;
    int fitted_drawn = 0;
    int residuals_drawn = 0;
    double largest_residual = 0.0;
    std::vector<double> point_times;  // of the points drawn, in file order
    // Of every row drawn, points and fitted curve; low > high when nothing is drawn.
    double time_low = std::numeric_limits<double>::infinity();
    double time_high = -std::numeric_limits<double>::infinity();
    double value_low = std::numeric_limits<double>::infinity();
    double value_high = -std::numeric_limits<double>::infinity();

    bool anything() const { return compared_drawn + others_drawn + fitted_drawn > 0; }
};

// Whether gnuplot can place the value: it drops values past a quarter of the largest
// double, and its axes and tics overflow near them.
bool drawable(double value);

// The drawable points, fitted curve and residuals of every curve of the report.
std::vector<CurveData> collect(const FitReport& report, const DataView& view);
