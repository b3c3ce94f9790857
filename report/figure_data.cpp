#include "report/figure_data.h"

#include <algorithm>
#include <cmath>

#include "text/number_text.h"

namespace {

constexpr double LARGEST_DRAWN = 1e300;

std::string data_row(double x, double y) {
    return number_text(x, DATA_PRECISION, NonFinite::R) + " " +
           number_text(y, DATA_PRECISION, NonFinite::R);
}

// What is drawn against time: the value itself, or its fraction of the initial concentration
// (NaN, so never drawn, for a curve without a usable one).
struct Scaling {
    double factor = 1.0;
    bool positive_time = false;

    bool placeable(double time, double value) const {
        return drawable(time) && drawable(value) && (!positive_time || time > 0.0);
    }
};

void widen(CurveData& data, double time, double value) {
    data.time_low = std::min(data.time_low, time);
    data.time_high = std::max(data.time_high, time);
    data.value_low = std::min(data.value_low, value);
    data.value_high = std::max(data.value_high, value);
}

// Only pairs gnuplot can place are written, so what it makes of an undefined value never
// matters; a curve with no pair left is not plotted at all (an empty block stops gnuplot).
void collect_points(const CurveResult& curve, const Scaling& scaling, CurveData& data) {
    for (const PointRow& point : curve.points) {
        const double measured = point.measured * scaling.factor;
        if (!scaling.placeable(point.time, measured)) continue;
        data.measured += data_row(point.time, measured) + (point.compared ? " 1\n" : " 0\n");
        (point.compared ? data.compared_drawn : data.others_drawn)++;
        widen(data, point.time, measured);
        data.point_times.push_back(point.time);
        const double residual = (point.measured - point.simulated) * scaling.factor;
        if (!point.compared || !scaling.placeable(point.time, residual)) continue;
        data.residual += data_row(point.time, residual) + "\n";
        data.residuals_drawn++;
        data.largest_residual = std::max(data.largest_residual, std::fabs(residual));
    }
}

// Every stride-th step and the last one: many curves stay quick to draw and small to keep.
void collect_simulation(const CurveResult& curve, const Scaling& scaling, size_t most,
                        CurveData& data) {
    const size_t steps = std::min(curve.sim_time.size(), curve.sim_value.size());
    const size_t stride = most > 0 && steps > most ? (steps + most - 1) / most : 1;
    bool in_gap = true;  // no blank row before the first value, nor two in a row
    for (size_t i = 0; i < steps; ++i) {
        if (i % stride != 0 && i + 1 != steps) continue;
        const double value = curve.sim_value[i] * scaling.factor;
        if (scaling.placeable(curve.sim_time[i], value)) {
            data.fitted += data_row(curve.sim_time[i], value) + "\n";
            data.fitted_drawn++;
            widen(data, curve.sim_time[i], value);
            in_gap = false;
        } else if (!in_gap) {
            data.fitted += "\n";  // one blank row breaks the line; two would start a new block
            in_gap = true;
        }
    }
}

}  // namespace

bool drawable(double value) {
    return std::fabs(value) <= LARGEST_DRAWN;
}

std::vector<CurveData> collect(const FitReport& report, const DataView& view) {
    std::vector<CurveData> all(report.curves.size());
    for (size_t c = 0; c < report.curves.size(); ++c) {
        const CurveResult& curve = report.curves[c];
        Scaling scaling;
        scaling.positive_time = view.positive_time;
        if (view.normalised)
            scaling.factor =
                curve.initial_concentration > 0.0 && drawable(curve.initial_concentration)
                    ? 1.0 / curve.initial_concentration
                    : std::nan("");
        collect_points(curve, scaling, all[c]);
        collect_simulation(curve, scaling, view.fitted_rows, all[c]);
    }
    return all;
}
