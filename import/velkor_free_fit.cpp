#include "import/velkor_free_fit.h"

#include <cmath>
#include <memory>

#include "simulation/workspace.h"
#include "statistics/evaluation.h"
#include "statistics/free_fit.h"

namespace velkor_import {

namespace {

// The ranges' midpoints are where the fit starts: the provisional estimate.
constexpr double RANGE_FACTOR = 2.0;

}  // namespace

FreeFit velkor_free_fit(const Problem& problem, const FreeFit& provisional) {
    if (problem.steps > MOST_STEPS || problem.curves.size() > static_cast<std::size_t>(PLOTS) ||
        !(provisional.km > 0.0) || !(provisional.vmax > 0.0))
        return provisional;
    auto plots = std::make_unique<PlotSet>(PlotSet::Silent{});
    for (const ProblemCurve& curve : problem.curves) {
        if (curve.points.size() > static_cast<std::size_t>(POINTS)) return provisional;
        Plot& plot = plots->plot[plots->plotCount++];
        plot.initialConcentration = curve.s0;
        plot.pointCount = static_cast<int>(curve.points.size());
        for (std::size_t i = 0; i < curve.points.size(); ++i) {
            plot.point[i].time = curve.points[i].time;
            plot.point[i].concentration[0] = curve.points[i].value;
        }
    }
    ConstantSet ranges{};
    ranges.constant_max[0] = RANGE_FACTOR * provisional.km;
    ranges.constant_max[1] = RANGE_FACTOR * provisional.vmax;
    load_workspace(&ranges, plots.get());
    const double start = 1.0;
    const int n = static_cast<int>(evaluate(space_with_free({0}), &start).compared.size());
    const ::FreeFit fit = free_fit_at(free_fit_point(n), n);
    if (!fit.made || !fit.covariance.defined) return provisional;
    FreeFit refined;
    refined.km = fit.constants[0];
    refined.km_se = fit.covariance.standard_error(0);
    refined.vmax = fit.constants[1];
    refined.vmax_se = fit.covariance.standard_error(1);
    refined.method =
        "free fit of Km and Vmax by the reports' own method (the rate law "
        "integrated as velkor integrates it)";
    return refined;
}

}  // namespace velkor_import
