// The picture of a fit: an editable gnuplot script that renders it.
#pragma once

#include <string>

#include "report/fit_report.h"

// Writes to `path` (PREFIX.gp, or a temporary name for it) a self-contained gnuplot script (the
// data inline) that draws, above, the measured points and the fitted curve of every curve (one
// colour per curve, its file name in the key) and, below, the residuals of the compared points
// against time, with the axes labelled with the units of the report. It renders PREFIX.svg and
// PREFIX.png. Returns false when the file cannot be written.
bool write_figure_script(const FitReport& report, const std::string& prefix,
                         const std::string& path);
