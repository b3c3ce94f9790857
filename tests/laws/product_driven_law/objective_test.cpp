// The objective of velkor-b: its rate law has no drive at a curve's initial
// concentration, so every simulated curve stays there.
#include "simulation/objective.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/objective_problem.h"

namespace {

using objective_problem::evaluate;
using objective_problem::Problem;

const double MID[3] = {0.5, 1.0, 2.0};

TEST(FitObjectiveB, EachCurveStaysAtItsOwnInitialConcentration) {
    Problem problem;
    problem.add_curve(2.0, {{0.0, 2.0}, {0.1, 2.0}, {0.3, 2.0}});
    problem.add_curve(5.0, {{0.0, 5.0}, {0.2, 5.0}, {0.9, 5.0}, {1.0, 5.0}});
    problem.load(MID);
    const objective_problem::Evaluation e = evaluate(1.0);
    EXPECT_EQ(e.value, 0.0);
    EXPECT_EQ(e.printed, "1.00000e+00\n");
    EXPECT_EQ(fit_workspace.sim_value[1][3], 5.0);
    EXPECT_EQ(fit_workspace.rate_constants[2], 2.0);
}

TEST(FitObjectiveB, MeasuredDecreaseIsTheResidual) {
    Problem problem;
    problem.add_curve(2.0, {{0.0, 2.0}, {0.1, 1.5}, {0.3, 1.0}});
    problem.load(MID);
    const objective_problem::Evaluation e = evaluate(1.0);
    EXPECT_EQ(e.value, 0.25 + 1.0);
    // Mean (2 + 1.5) / 3; SStot = (1/3)^2 + (1/6)^2 = 5/36.
    const double mean = 3.5 / 3;
    const double ss_tot = (2.0 - mean) * (2.0 - mean) + (1.5 - mean) * (1.5 - mean);
    EXPECT_EQ(fit_workspace.fit_quality, 1.0 - 1.25 / ss_tot);
}

TEST(FitObjectiveB, ZeroMichaelisConstantMakesTheSumNotANumber) {
    Problem problem;
    problem.add_curve(2.0, {{0.0, 2.0}, {0.1, 1.5}, {0.3, 1.0}});
    problem.load(MID);
    const objective_problem::Evaluation e = evaluate(-1.0);
    EXPECT_EQ(fit_workspace.rate_constants[0], 0.0);
    EXPECT_TRUE(std::isnan(e.value));
}

}  // namespace
