// PREFIX.json: every figure of the report, for scripts.
#pragma once

#include <string>

#include "report/fit_report.h"

// Numbers at full precision; what is undefined (NaN) is null. Returns false when the file
// cannot be written.
bool write_report_json(const FitReport& report, const std::string& path);
