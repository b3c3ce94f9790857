// A fitting problem built in memory and placed in the fit workspace the way
// the fit driver places it, for the objective's tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace objective_problem {

struct Point {
    double time, conc;
};

// Marks sim_value entries that an evaluation must not write.
constexpr double UNTOUCHED = -777.0;

class Problem {
  public:
    Problem() : plots_(std::make_unique<PlotSet>()) {}

    // Adds a curve; returns its index.
    int add_curve(double initial, const std::vector<Point>& points) {
        const int p = plots_->plotCount++;
        Plot& plot = plots_->plot[p];
        plot.initialConcentration = initial;
        plot.pointCount = static_cast<int>(points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            plot.point[i].time = points[i].time;
            plot.point[i].concentration[0] = points[i].conc;
        }
        return p;
    }

    // A slot whose file was missing: no points, whatever else it holds.
    int add_empty_curve() {
        const int p = add_curve(1e300, {{5.0, -1.0}, {-3.0, 2.0}});
        plots_->plot[p].pointCount = 0;
        return p;
    }

    // The driver's set-up, with every range collapsed onto the given midpoint.
    void load(const double (&mid)[CONSTANTS]) {
        ConstantSet ranges;
        for (int j = 0; j < CONSTANTS; ++j)
            ranges.constant_min[j] = ranges.constant_max[j] = mid[j];
        load_workspace(&ranges, plots_.get());
        for (auto& row : fit_workspace.sim_value)
            for (double& v : row)
                v = UNTOUCHED;
    }

  private:
    std::unique_ptr<PlotSet> plots_;
};

struct Evaluation {
    double value;
    std::string printed;
};

inline Evaluation evaluate(double x0) {
    const double x[1] = {x0};
    testing::internal::CaptureStdout();
    const double value = fit_objective(x);
    return {value, testing::internal::GetCapturedStdout()};
}

}  // namespace objective_problem
