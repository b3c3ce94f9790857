#include "driver/fit_driver.h"

#include <cstdio>
#include <cstdlib>

#include "simulation/fit.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"

ConstantVector run_fit(const ConstantSet* constants, PlotSet* plots, RunSettings* /*settings*/) {
    FILE* out = std::fopen("out.dat", "wt");
    if (out == nullptr) {
        std::perror("out.dat");
        std::exit(1);
    }
    load_workspace(constants, plots);
    const ConstantZeroFit fit = fit_constant_zero(fit_workspace.constant_mid, fit_objective, out);

    ConstantVector result;
    for (int j = 0; j < CONSTANTS; ++j) {
        result[j] = fit.constants[j];
        std::printf("%10.5e\n", fit.constants[j]);
    }
    std::fclose(out);
    return result;
}
