// The report reduced to what a comparison of laws needs: every constant fitted, nothing held,
// no refits and no picture. PREFIX.json holds the law, the free fit, every point with its
// simulated value at the free fit, the fitted curves drawn at fine steps, and the warnings.
#pragma once

#include <string>
#include <vector>

#include "problem/records.h"

// Exit status as the report's: 0 done, 1 the file could not be written, 2 nothing to fit.
int report_free_fit_only(const std::string& program, const std::string& parameter_file,
                         const ConstantSet& constants, PlotSet& plots,
                         const std::vector<std::string>& files, const std::string& prefix);
