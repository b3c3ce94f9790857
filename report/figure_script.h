// The picture of a fit: an editable gnuplot script that renders it.
#pragma once

#include <string>

#include "report/figure_layout.h"
#include "report/fit_report.h"

// Writes to `path` (PREFIX.gp, or a temporary name for it) a self-contained gnuplot script (the
// data inline) that draws the measured points, the fitted curve and the residuals of every
// curve in the given layout, with the axes labelled with the units of the report and each
// curve named by its initial concentration and file. It renders PREFIX.svg and PREFIX.png.
// Returns false when the file cannot be written.
bool write_figure_script(const FitReport& report, const FigureLayout& layout,
                         const std::string& prefix, const std::string& path);
