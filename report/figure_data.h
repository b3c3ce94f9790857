// What each curve of a report has to draw, as rows of gnuplot data blocks.
#pragma once

#include <string>
#include <vector>

#include "report/fit_report.h"

// Data-block numbers: plenty for a picture, short enough for a person to read.
constexpr const char* DATA_PRECISION = "%.10g";

struct CurveData {
    std::string measured;  // data-block rows: time, measured, compared (1) or not (0)
    std::string fitted;    // time, simulated; a blank row where the simulation is undefined
    std::string residual;  // time, measured - simulated, of the compared points
    int compared_drawn = 0;
    int others_drawn = 0;
    int fitted_drawn = 0;
    int residuals_drawn = 0;
    double largest_residual = 0.0;
};

// The drawable points, fitted curve and residuals of every curve of the report.
std::vector<CurveData> collect(const FitReport& report);
