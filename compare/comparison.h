// What the comparison knows: every law's fit of the same problem, ranked, with the verdict
// and the warnings.
#pragma once

#include <string>
#include <vector>

#include "checks/warning.h"
#include "compare/ranking.h"

struct Comparison {
    std::string parameter_file;
    std::string time_unit, conc_unit;
    int points_compared = 0;
    int curves = 0;
    std::vector<LawFit> ranked;  // best first
    std::string verdict;
    std::vector<Warning> warnings;
};

// The best law's doubts: residuals that still run in stretches, constants not determined.
void warn_about_best(Comparison& comparison);
