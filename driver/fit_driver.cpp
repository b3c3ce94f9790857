#include "driver/fit_driver.h"

#include <cstdio>
#include <cstdlib>

#include "minimiser/direction_set.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace {

// Places the problem in the workspace: every constant at the midpoint of its range.
void load_workspace(const ConstantSet* constants, PlotSet* plots) {
    FitWorkspace& ws = fit_workspace;
    ws.plot_set = plots;
    for (int j = 0; j < CONSTANTS; ++j)
        ws.constant_mid[j] = (constants->constant_max[j] + constants->constant_min[j]) / 2.0;
    for (int p = 0; p < plots->plotCount; ++p) {
        const Plot& plot = plots->plot[p];
        for (int i = 0; i < plot.pointCount; ++i)
            ws.point_time[p][i] = plot.point[i].time;
    }
    for (int j = 0; j < CONSTANTS; ++j)
        ws.rate_constants[j] = ws.constant_mid[j];
}

}  // namespace

ConstantVector run_fit(const ConstantSet* constants, PlotSet* plots, RunSettings* /*settings*/) {
    FILE* out = std::fopen("out.dat", "wt");
    if (out == nullptr) {
        std::perror("out.dat");
        std::exit(1);
    }
    load_workspace(constants, plots);

    // The fit variable is constant 0 in units of its midpoint, starting there.
    double consts[CONSTANTS] = {};
    consts[0] = 1.0;
    double fmin = 0.0;
    direction_set_minimize(1, consts, &fmin, fit_objective, out);

    // The constants as the last evaluation left them.
    ConstantVector result;
    for (int j = 0; j < CONSTANTS; ++j) {
        result[j] = fit_workspace.rate_constants[j];
        std::printf("%10.5e\n", fit_workspace.rate_constants[j]);
    }
    std::fclose(out);
    return result;
}
