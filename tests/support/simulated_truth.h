// The simulated-truth check of a law: data made with known constants and a fixed noise, then
// the free fit of every constant from many starts. Each start must find the truth within
// two of its standard errors, and all must reach the same optimum.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "simulation/workspace.h"
#include "statistics/free_fit.h"
#include "tests/support/progress_curves.h"

namespace testing_support {

// Numbers of a fixed generator, the same with every standard library.
class Draws {
  public:
    explicit Draws(std::uint64_t seed) : engine_(seed) {}
    // Uniform in (0, 1).
    double uniform() { return (static_cast<double>(engine_() >> 11) + 0.5) * 0x1p-53; }
    // Standard normal, by Box and Muller.
    double normal() {
        const double r = std::sqrt(-2.0 * std::log(uniform()));
        return r * std::cos(6.283185307179586 * uniform());
    }

  private:
    std::mt19937_64 engine_;
};

// A curve of the data: S0 and `points` points `spacing` apart from time 0.
struct TruthCurve {
    double s0, spacing;
    int points;
};

// Data of the law rate(k, t, S, S0) (k the constants in index order) at the constants
// `truth`, each point after point 0 with normal noise of standard deviation `noise`; then
// `starts` free fits, each from ranges [mid / 2, 3 mid / 2] whose midpoints are the truth
// times factors drawn log-uniformly between 0.3 and 3.
template <class Rate>
void check_simulated_truth(const double (&truth)[CONSTANTS], Rate rate,
                           const std::vector<TruthCurve>& curves, double noise, int starts = 10) {
    auto plots = std::make_unique<PlotSet>(PlotSet::Silent{});
    Draws draws(20240611);
    int compared = 0;
    for (const TruthCurve& c : curves) {
        Plot& plot = plots->plot[plots->plotCount++];
        plot.initialConcentration = c.s0;
        plot.pointCount = c.points;
        std::vector<double> times;
        for (int i = 0; i < c.points; ++i)
            times.push_back(i * c.spacing);
        const auto law = [&](double t, double s, double s0) { return rate(truth, t, s, s0); };
        const std::vector<double> exact = runge_kutta_curve(law, c.s0, times);
        for (int i = 0; i < c.points; ++i) {
            plot.point[i].time = times[i];
            plot.point[i].concentration[0] = exact[i] + (i == 0 ? 0.0 : noise * draws.normal());
            if (i > 0 && plot.point[i].concentration[0] > 0.0) ++compared;
        }
    }

    std::vector<double> optimum;
    for (int start = 0; start < starts; ++start) {
        ConstantSet ranges{};
        double factor[CONSTANTS];
        for (int j = 0; j < CONSTANTS; ++j) {
            factor[j] = 0.3 * std::pow(10.0, draws.uniform());
            ranges.constant_min[j] = 0.5 * factor[j] * truth[j];
            ranges.constant_max[j] = 1.5 * factor[j] * truth[j];
        }
        load_workspace(&ranges, plots.get());
        // free_fit() but for the profile intervals, which take most of its time.
        const FreeFit fit = free_fit_at(free_fit_point(compared), compared);
        char line[256];
        int length = std::snprintf(line, sizeof line, "start %d: midpoints", start);
        for (int j = 0; j < CONSTANTS; ++j)
            length += std::snprintf(line + length, sizeof line - length, " %.3f", factor[j]);
        length += std::snprintf(line + length, sizeof line - length,
                                " x truth, RSS %.10e, (fitted - truth) / se:", fit.sum_of_squares);
        for (int j = 0; j < CONSTANTS; ++j)
            length += std::snprintf(
                line + length, sizeof line - length, " %+.3f (%.6g)",
                (fit.constants[j] - truth[j]) / fit.covariance.standard_error(j), fit.constants[j]);
        std::printf("%s\n", line);
        ASSERT_TRUE(fit.made && fit.covariance.defined) << line;
        for (int j = 0; j < CONSTANTS; ++j)
            EXPECT_LE(std::fabs(fit.constants[j] - truth[j]),
                      2.0 * fit.covariance.standard_error(j))
                << "constant " << j << ", " << line;
        optimum.push_back(fit.sum_of_squares);
    }
    // The same optimum from every start. The fit stops where a Gauss-Newton step promises less
    // than 1e-9 of RSS, with a Jacobian of differences: two starts may stop 2e-9 apart.
    double lowest = optimum[0];
    for (const double v : optimum)
        lowest = std::fmin(lowest, v);
    for (int start = 0; start < starts; ++start)
        EXPECT_LE(optimum[start] - lowest, 2e-9 * lowest) << "start " << start;
}

}  // namespace testing_support
