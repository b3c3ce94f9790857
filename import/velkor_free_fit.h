// The free fit of Km and Vmax made as the reports make it: the rate law integrated as velkor
// integrates it (step 0.01, Hamming's method), from the provisional estimate, so that velkor's
// Km on the imported problem is the free fit's.
//
// A problem whose evaluation takes more than MOST_STEPS steps keeps the provisional estimate
// (the closed-form solution): an import stays quick on a whole plate.
#pragma once

#include "import/free_fit.h"
#include "import/problem.h"

namespace velkor_import {

constexpr double MOST_STEPS = 2e5;

FreeFit velkor_free_fit(const Problem& problem, const FreeFit& provisional);

}  // namespace velkor_import
