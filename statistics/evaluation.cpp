#include "statistics/evaluation.h"

#include <limits>

#include "simulation/objective.h"
#include "simulation/workspace.h"

Evaluation evaluate(const FitSpace& space, const double* x) {
    const FitWorkspace& ws = fit_workspace;
    Evaluation e;
    e.sum_of_squares = sum_of_squares_in(space, x);
    e.quality = ws.fit_quality;
    for (int j = 0; j < CONSTANTS; ++j)
        e.constants[j] = ws.rate_constants[j];
    const PlotSet& plots = *ws.plot_set;
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        const int sampled = ws.points_sampled[p];
        std::vector<double> values(plot.pointCount, std::numeric_limits<double>::quiet_NaN());
        for (int i = 0; i < plot.pointCount && i < sampled; ++i) {
            values[i] = ws.sim_value[p][i];
            if (!point_compared(plot, sampled, i)) continue;
            e.compared.push_back(values[i]);
            e.measured.push_back(plot.point[i].concentration[0]);
        }
        e.points_sampled.push_back(sampled);
        e.simulated.push_back(std::move(values));
    }
    return e;
}
