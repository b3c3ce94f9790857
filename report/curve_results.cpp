#include "report/curve_results.h"

#include <cmath>
#include <limits>

#include "simulation/curve_simulation.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// Points of the fine simulation drawn per curve, at most.
constexpr long long DRAWN_STEPS = 1000;
constexpr int DRAWN_CAPACITY = 2 * DRAWN_STEPS + 2;

// 1 - RSS / TSS of the compared points of the rows, around their own mean.
double r_squared_of(const std::vector<const PointRow*>& rows) {
    if (rows.empty()) return NaN;
    double mean = 0.0;
    for (const PointRow* r : rows)
        mean += r->measured;
    mean /= rows.size();
    double rss = 0.0, tss = 0.0;
    for (const PointRow* r : rows) {
        rss += (r->measured - r->simulated) * (r->measured - r->simulated);
        tss += (r->measured - mean) * (r->measured - mean);
    }
    return tss > 0.0 ? 1.0 - rss / tss : NaN;
}

void curve_statistics(FitReport& report) {
    std::vector<const PointRow*> all;
    for (CurveResult& curve : report.curves) {
        std::vector<const PointRow*> rows;
        double rss = 0.0;
        for (const PointRow& r : curve.points)
            if (r.compared) {
                rows.push_back(&r);
                rss += (r.measured - r.simulated) * (r.measured - r.simulated);
            }
        curve.points_compared = static_cast<int>(rows.size());
        curve.rms_residual = rows.empty() ? NaN : std::sqrt(rss / rows.size());
        curve.r_squared = r_squared_of(rows);
        all.insert(all.end(), rows.begin(), rows.end());
    }
    report.points_compared = static_cast<int>(all.size());
    report.r_squared = r_squared_of(all);
}

}  // namespace

void fill_curves(const Evaluation& at_fit, FitReport& report) {
    const PlotSet& plots = *fit_workspace.plot_set;
    report.curves.clear();
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        const int sampled = at_fit.points_sampled[p];
        report.points_sampled[p] = sampled;
        CurveResult curve;
        curve.initial_concentration = plot.initialConcentration;
        for (int i = 0; i < plot.pointCount; ++i)
            curve.points.push_back({plot.point[i].time, plot.point[i].concentration[0],
                                    at_fit.simulated[p][i], point_compared(plot, sampled, i)});
        report.curves.push_back(curve);
    }
    curve_statistics(report);
}

void draw_curves(const double* constants, FitReport& report) {
    for (int j = 0; j < CONSTANTS; ++j)
        fit_workspace.rate_constants[j] = constants[j];
    const PlotSet& plots = *fit_workspace.plot_set;
    std::vector<double> t(DRAWN_CAPACITY), y(DRAWN_CAPACITY);
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        CurveResult& curve = report.curves[p];
        if (plot.pointCount <= 0) continue;
        long long steps = 0;
        for (int i = 1; i < report.points_sampled[p]; ++i)
            steps += interval_steps(plot.point[i - 1].time, plot.point[i].time, OBJECTIVE_STEP);
        const long long stride = steps / DRAWN_STEPS + 1;
        const int count = simulate_curve(p, steps, stride, t.data(), y.data(), DRAWN_CAPACITY);
        for (int k = 0; k < count; ++k) {
            curve.sim_time.push_back(plot.point[0].time + t[k]);
            curve.sim_value.push_back(y[k]);
        }
    }
}
