// import.json: what a later step needs to write the fit back into the source, which the fit
// programs do not read. Per curve file: the measurement and species (or the column), the
// source units and their factors, the time shift, whether point 0 was added, where S0 came
// from and the points left out. A time t and a concentration c of a curve file are
//   t_source = t * time.seconds / source_time.seconds + time_shift
//   c_source = c * concentration.mol_per_litre / source_concentration.mol_per_litre
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "formats/dataset.h"
#include "import/free_fit.h"
#include "import/problem.h"

namespace velkor_import {

nlohmann::json import_record(const formats::Dataset& set, const Problem& problem,
                             const FreeFit& fit);

}  // namespace velkor_import
