// From the curves a reader found to the problem velkor-import writes.
//
// Per curve, after sorting its points by time (a repeated time leaves the later point out):
//   S0        the nominal concentration (EnzymeML `prepared`, a table header, --s0) when given,
//             else the first point; --s0-from first takes the first point always.
//   time 0    with a nominal S0, time 0 is the moment it was mixed: a first sample at time 0
//             is point 0, a later one gets a point "0 S0" before it (samples before time 0
//             are left out). With S0 from the first point, point 0 is the first sample and
//             times are counted from it (the shift is printed and recorded).
//   left out  a curve whose nominal S0 is 0 (a blank), or whose S0 is not above 0; a curve
//             with no point after point 0.
// Concentrations go to --conc-unit, or to the unit of the first curve (the nearest of M, mM,
// uM, nM when it is none of them); times as time_grid.h says.
#pragma once

#include <optional>
#include <string>

#include "formats/dataset.h"
#include "import/problem.h"

namespace velkor_import {

enum class S0From { nominal, first };

struct BuildOptions {
    std::optional<formats::Unit> conc_unit, time_unit;
    S0From s0_from = S0From::nominal;
};

// Throws InputError when nothing is left to fit or the problem is larger than a folder holds.
Problem build_problem(const formats::Dataset& set, const BuildOptions& options);

}  // namespace velkor_import
