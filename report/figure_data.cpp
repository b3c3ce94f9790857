#include "report/figure_data.h"

#include <algorithm>
#include <cmath>

#include "text/number_text.h"

namespace {

// gnuplot itself drops values past a quarter of the largest double, and axes and tics near
// that overflow, so the bound is far below it.
constexpr double LARGEST_DRAWN = 1e300;

std::string data_row(double x, double y) {
    return number_text(x, DATA_PRECISION, NonFinite::R) + " " +
           number_text(y, DATA_PRECISION, NonFinite::R);
}

// Only pairs gnuplot can place are written, so what it makes of an undefined value never
// matters; a curve with no pair left is not plotted at all (an empty block stops gnuplot).
bool drawable(double value) {
    return std::fabs(value) <= LARGEST_DRAWN;
}

bool drawable(double x, double y) {
    return drawable(x) && drawable(y);
}

void collect_points(const CurveResult& curve, CurveData& data) {
    for (const PointRow& point : curve.points) {
        if (!drawable(point.time, point.measured)) continue;
        data.measured += data_row(point.time, point.measured) + (point.compared ? " 1\n" : " 0\n");
        (point.compared ? data.compared_drawn : data.others_drawn)++;
        const double residual = point.measured - point.simulated;
        if (!point.compared || !drawable(point.time, residual)) continue;
        data.residual += data_row(point.time, residual) + "\n";
        data.residuals_drawn++;
        data.largest_residual = std::max(data.largest_residual, std::fabs(residual));
    }
}

void collect_simulation(const CurveResult& curve, CurveData& data) {
    const size_t steps = std::min(curve.sim_time.size(), curve.sim_value.size());
    bool in_gap = true;  // no blank row before the first value, nor two in a row
    for (size_t i = 0; i < steps; ++i) {
        if (drawable(curve.sim_time[i], curve.sim_value[i])) {
            data.fitted += data_row(curve.sim_time[i], curve.sim_value[i]) + "\n";
            data.fitted_drawn++;
            in_gap = false;
        } else if (!in_gap) {
            data.fitted += "\n";  // one blank row breaks the line; two would start a new block
            in_gap = true;
        }
    }
}

}  // namespace

std::vector<CurveData> collect(const FitReport& report) {
    std::vector<CurveData> all(report.curves.size());
    for (size_t c = 0; c < report.curves.size(); ++c) {
        collect_points(report.curves[c], all[c]);
        collect_simulation(report.curves[c], all[c]);
    }
    return all;
}
