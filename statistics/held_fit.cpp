#include "statistics/held_fit.h"

#include <cmath>
#include <limits>

#include "simulation/objective.h"
#include "simulation/workspace.h"
#include "statistics/standard_errors.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// Whether every compared point is simulated at its curve's initial concentration.
bool curves_never_move(const Evaluation& e) {
    const PlotSet& plots = *fit_workspace.plot_set;
    bool any = false;
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        for (int i = 0; i < plot.pointCount; ++i) {
            if (!point_compared(plot, e.points_sampled[p], i)) continue;
            any = true;
            if (e.simulated[p][i] != plot.initialConcentration) return false;
        }
    }
    return any;
}

}  // namespace

HeldFit held_fit(const double* held) {
    HeldFit h;
    h.space = space_with_free({0});
    for (int j = 1; j < CONSTANTS; ++j)
        h.space.held[j] = held[j];
    h.fit = fit_constant_zero(held, sum_of_squares_at, nullptr);
    h.at_fit = evaluate(h.space, &h.fit.point);
    const int n = static_cast<int>(h.at_fit.compared.size());
    h.points_compared = n;
    h.residual_sd = n >= 2 ? std::sqrt(h.at_fit.sum_of_squares / (n - 1)) : NaN;
    h.never_moves = curves_never_move(h.at_fit);
    h.runs = residual_runs(h.at_fit);
    h.standard_error = NaN;
    h.no_dependence = false;
    const double c0 = h.at_fit.constants[0];
    if (h.never_moves || n < 2 || !(c0 > 0.0)) return h;

    h.standard_error =
        standard_error_of_one(h.residual_sd, jacobian_column(h.space, &h.fit.point, 0));
    h.no_dependence = std::isnan(h.standard_error);
    if (h.no_dependence) return h;
    const FitSpace& space = h.space;
    const double midpoint = fit_workspace.constant_mid[0];
    auto rss_at = [&space, midpoint](double c) {
        const double x = c / midpoint;
        return sum_of_squares_in(space, &x);
    };
    h.interval = profile_interval(rss_at, c0, h.at_fit.sum_of_squares, n, 1, h.standard_error);
    return h;
}
