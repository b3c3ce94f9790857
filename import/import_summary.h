// What velkor-import prints when it has written the folder: the curves and their S0 with
// where it came from, the units, the time unit and the steps per evaluation, the largest
// shift onto the 0.01 grid, every point and curve left out with its reason, velkor's limits
// where the problem exceeds them, and the constants of the parameter file.
#pragma once

#include <string>

#include "formats/dataset.h"
#include "import/free_fit.h"
#include "import/problem.h"

namespace velkor_import {

std::string import_summary(const formats::Dataset& set, const Problem& problem, const FreeFit& fit);

}  // namespace velkor_import
