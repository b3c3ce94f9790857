#include "driver/fit_driver.h"

#include <cstdio>
#include <cstdlib>

#include "minimiser/direction_set.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace {
// The fit variable is constant 0 in units of its midpoint, so every fit starts there.
constexpr double START_IN_MIDPOINTS = 1.0;
}  // namespace

ConstantVector run_fit(const ConstantSet* constants, PlotSet* plots, RunSettings* /*settings*/) {
    FILE* out = std::fopen("out.dat", "wt");
    if (out == nullptr) {
        std::perror("out.dat");
        std::exit(1);
    }
    load_workspace(constants, plots);

    double consts[CONSTANTS] = {};
    consts[0] = START_IN_MIDPOINTS;
    double fmin = 0.0;
    direction_set_minimize(1, consts, &fmin, fit_objective, out);

    // Printed are the constants as the objective's last evaluation left them, not the
    // minimiser's best point: the last trial is often the extrapolated point of the last
    // cycle, within the tolerance of the best one.
    ConstantVector result;
    for (int j = 0; j < CONSTANTS; ++j) {
        result[j] = fit_workspace.rate_constants[j];
        std::printf("%10.5e\n", fit_workspace.rate_constants[j]);
    }
    std::fclose(out);
    return result;
}
