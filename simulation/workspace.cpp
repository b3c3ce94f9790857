#include "simulation/workspace.h"

FitWorkspace fit_workspace;

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
