#include "statistics/evaluation.h"

#include <algorithm>
#include <limits>

#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace {

// Where this thread's evaluations go, or null: made here.
thread_local EvaluationRoute route = nullptr;

// The evaluation whose results the objective left in the workspace's rows of set `set`.
Evaluation collected(int set, double sum_of_squares, double quality, const double* constants) {
    const FitWorkspace& ws = fit_workspace;
    Evaluation e;
    e.sum_of_squares = sum_of_squares;
    e.quality = quality;
    for (int j = 0; j < CONSTANTS; ++j)
        e.constants[j] = constants[j];
    const PlotSet& plots = *ws.plot_set;
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        const int row = set * plots.plotCount + p;
        const int sampled = ws.points_sampled[row];
        std::vector<double> values(plot.pointCount, std::numeric_limits<double>::quiet_NaN());
        for (int i = 0; i < plot.pointCount && i < sampled; ++i) {
            values[i] = ws.sim_value[row][i];
            if (!point_compared(plot, sampled, i)) continue;
            e.compared.push_back(values[i]);
            e.measured.push_back(plot.point[i].concentration[0]);
        }
        e.points_sampled.push_back(sampled);
        e.simulated.push_back(std::move(values));
    }
    return e;
}

}  // namespace

void route_evaluations(EvaluationRoute to) {
    route = to;
}

Evaluation evaluate(const FitSpace& space, const double* x) {
    if (route != nullptr)
        return evaluate_each(space, {std::vector<double>(x, x + space.dimension())})[0];
    const double sum = sum_of_squares_in(space, x);
    return collected(0, sum, fit_workspace.fit_quality, fit_workspace.rate_constants);
}

std::vector<Evaluation> evaluate_each(const FitSpace& space,
                                      const std::vector<std::vector<double>>& points) {
    std::vector<ConstantValues> constants(points.size());
    for (size_t m = 0; m < points.size(); ++m)
        constants_at(space, points[m].data(), constants[m].data());
    return route != nullptr ? route(constants) : evaluate_constants(constants);
}

std::vector<Evaluation> evaluate_constants(const std::vector<ConstantValues>& constants) {
    std::vector<Evaluation> each;
    const size_t at_once = static_cast<size_t>(constant_sets_at_once());
    for (size_t first = 0; first < constants.size(); first += at_once) {
        const int count = static_cast<int>(std::min(at_once, constants.size() - first));
        double sets[MAX_CONSTANT_SETS][CONSTANTS], sums[MAX_CONSTANT_SETS],
            qualities[MAX_CONSTANT_SETS];
        for (int m = 0; m < count; ++m)
            std::copy(constants[first + m].begin(), constants[first + m].end(), sets[m]);
        sum_of_squares_of_sets(sets, count, sums, qualities);
        for (int m = 0; m < count; ++m)
            each.push_back(collected(m, sums[m], qualities[m], sets[m]));
    }
    return each;
}
