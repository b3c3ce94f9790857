// PREFIX.json: every figure of the report, for scripts.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "report/fit_report.h"

// Numbers at full precision; what is undefined (NaN) is null. Returns false when the file
// cannot be written.
bool write_report_json(const FitReport& report, const std::string& path);

// Pieces of it that other outputs share: the free fit, and the warnings with their kinds.
nlohmann::ordered_json free_fit_json(const FitReport& report);
nlohmann::ordered_json warnings_json(const FitReport& report);
