// Progress curves worked out without the program's integrator, and the objective's
// simulated values set beside them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/objective_problem.h"

namespace testing_support {

// S at each of the given times (increasing, from 0) by classical Runge-Kutta steps of at
// most `step`: rate(t, S, S0) is dS/dt at time t of a curve that started at S0.
template <class Rate>
std::vector<double> runge_kutta_curve(Rate rate, double s0, const std::vector<double>& times,
                                      double step = 1e-4) {
    std::vector<double> values;
    double t = 0.0, s = s0;
    for (const double end : times) {
        const long n = static_cast<long>(std::ceil((end - t) / step - 1e-6));
        const double h = n > 0 ? (end - t) / n : 0.0;
        for (long i = 0; i < n; ++i) {
            const double t0 = t + i * h;
            const double k1 = rate(t0, s, s0);
            const double k2 = rate(t0 + h / 2, s + h / 2 * k1, s0);
            const double k3 = rate(t0 + h / 2, s + h / 2 * k2, s0);
            const double k4 = rate(t0 + h, s + h * k3, s0);
            s += h / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
        }
        t = end;
        values.push_back(s);
    }
    return values;
}

// A measured curve as far as the simulation cares: its initial concentration and the times
// of its points, `points` of them `spacing` apart from `first_time` (which the simulation
// takes as its time 0).
struct CurvePlan {
    double s0, first_time, spacing;
    int points;
};

// Evaluates the objective on the planned curves (all integrated together, as a fit does)
// at the given constants, and returns the largest |simulated - expected| / S0 over every
// point after point 0; expected(t, S0) is S at the point's time t since point 0.
template <class Expected>
double largest_relative_error(const std::vector<CurvePlan>& plans,
                              const double (&constants)[CONSTANTS], Expected expected) {
    objective_problem::Problem problem;
    for (const CurvePlan& c : plans) {
        std::vector<objective_problem::Point> points;
        for (int i = 0; i < c.points; ++i)
            points.push_back({c.first_time + i * c.spacing, c.s0});
        problem.add_curve(c.s0, points);
    }
    problem.load(constants);
    objective_problem::evaluate(1.0);
    double largest = 0.0;
    for (size_t p = 0; p < plans.size(); ++p) {
        EXPECT_EQ(fit_workspace.points_sampled[p], plans[p].points) << "curve " << p;
        for (int i = 1; i < plans[p].points; ++i) {
            // The model time of the point: whole steps of 0.01 since point 0.
            const double t = std::lround(i * plans[p].spacing / 0.01) * 0.01;
            const double error = fit_workspace.sim_value[p][i] - expected(t, plans[p].s0);
            const double relative = std::fabs(error) / plans[p].s0;
            if (!(relative <= largest)) largest = relative;  // a NaN too
        }
    }
    return largest;
}

}  // namespace testing_support
