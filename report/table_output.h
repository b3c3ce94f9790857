// PREFIX.tsv: every point of every curve, one row each, for a script or a spreadsheet.
#pragma once

#include <string>

#include "report/fit_report.h"

// Columns: curve, file, time, measured, simulated, residual (measured - simulated),
// compared (0 or 1), after one header row. Returns false when the file cannot be written.
bool write_point_table(const FitReport& report, const std::string& path);
