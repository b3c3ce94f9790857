// Curve files: their names and their text.
//
// A name comes from the measurement's name (or id) or the column's header, never trusted as
// it is: letters, digits, '.', '-' and '_' are kept, µ becomes u, everything else '_'; runs of
// '_' are folded, a leading '.' or '-' dropped, the length cut to 60; an empty result becomes
// "curve". Names are made unique without regard to case (a second "A1" is "A1_2"), and
// "params" is never used, so no curve file can be taken for the parameter file.
#pragma once

#include <string>

#include "import/problem.h"

namespace velkor_import {

std::string safe_file_stem(const std::string& name);
void assign_file_names(Problem& problem);

// '#' comment lines, S0 alone, then "time concentration" per point.
std::string curve_file_text(const ProblemCurve& curve, const Problem& problem);

}  // namespace velkor_import
