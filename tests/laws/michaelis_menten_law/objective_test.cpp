// The least-squares objective of velkor on small problems whose figures follow
// from the sampling rule and from Hamming's method written out by hand.
#include "simulation/objective.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tests/hamming_reference.h"
#include "tests/objective_problem.h"

namespace {

using hamming_reference::MichaelisMenten;
using objective_problem::evaluate;
using objective_problem::Evaluation;
using objective_problem::Problem;
using objective_problem::UNTOUCHED;

// Simulated concentration after each of the given (increasing) step counts,
// counting the start-up as four steps.
std::vector<double> simulate(MichaelisMenten law, double y0, const std::vector<long>& steps) {
    auto traj = hamming_reference::trajectory(law, 0.01, hamming_reference::classical());
    std::vector<double> values;
    double y = traj.start(y0);
    long done = 4;
    for (long s : steps) {
        while (done < s) {
            y = traj.next();
            ++done;
        }
        values.push_back(y);
    }
    return values;
}

double sq(double d) {
    return d * d;
}

const double MID[2] = {0.5, 1.0};  // Km 0.5, Vmax 1 at x = 1
const MichaelisMenten LAW{0.5, 1.0};

TEST(FitObjective, SamplesAtWholeStepsAndDividesTheMeanByN) {
    Problem problem;
    // Intervals of 12.5 steps (rounds up to 13) and 13.49 steps (down to 13):
    // points 1 to 3 lie 13, 26 and 39 steps from model time 0, and step 39
    // still starts at t <= 0.3948.
    problem.add_curve(2.0, {{0.0, 2.0}, {0.125, 1.8}, {0.2599, 1.7}, {0.3948, 1.6}});
    problem.load(MID);
    const Evaluation e = evaluate(1.0);

    const std::vector<double> sim = simulate(LAW, 2.0, {12, 13, 26, 39});
    ASSERT_NE(sim[0], sim[1]);
    EXPECT_EQ(fit_workspace.sim_value[0][0], 2.0);
    EXPECT_EQ(fit_workspace.sim_value[0][1], sim[1]);
    EXPECT_EQ(fit_workspace.sim_value[0][2], sim[2]);
    EXPECT_EQ(fit_workspace.sim_value[0][3], sim[3]);
    const double ss = (sq(sim[1] - 1.8) + sq(sim[2] - 1.7)) + sq(sim[3] - 1.6);
    EXPECT_EQ(e.value, ss);
    EXPECT_EQ(fit_workspace.sum_of_squares, ss);
    // Mean of points 0..2 over N = 4: 5.5 / 4 = 1.375.
    const double ss_tot = (sq(2.0 - 1.375) + sq(1.8 - 1.375)) + sq(1.7 - 1.375);
    EXPECT_EQ(fit_workspace.fit_quality, 1.0 - ss / ss_tot);
    EXPECT_EQ(fit_workspace.rate_constants[0], 0.5);
    EXPECT_EQ(fit_workspace.rate_constants[1], 1.0);
    EXPECT_EQ(fit_workspace.step_size[0], 0.01);
}

TEST(FitObjective, StartUpPassesOverAFirstIntervalUnderFourSteps) {
    struct Case {
        double first_time;
        bool sampled;
    };
    // 0.03 needs 3 steps, which the four-step start-up jumps over; 0.04 needs 4.
    for (const Case c : {Case{0.03, false}, Case{0.04, true}}) {
        Problem problem;
        problem.add_curve(2.0, {{0.0, 2.0}, {c.first_time, 1.0}, {0.5, 1.0}});
        problem.load(MID);
        const Evaluation e = evaluate(1.0);
        if (c.sampled) {
            const std::vector<double> sim = simulate(LAW, 2.0, {4, 50});
            EXPECT_EQ(fit_workspace.sim_value[0][1], sim[0]);
            EXPECT_EQ(fit_workspace.sim_value[0][2], sim[1]);
            EXPECT_EQ(e.value, sq(sim[0] - 1.0) + sq(sim[1] - 1.0));
        } else {
            EXPECT_EQ(fit_workspace.sim_value[0][1], UNTOUCHED);
            EXPECT_EQ(fit_workspace.sim_value[0][2], UNTOUCHED);
            EXPECT_EQ(e.value, 0.0);
        }
    }
}

TEST(FitObjective, UnreachablePointEndsTheCurvesSampling) {
    struct Case {
        const char* name;
        double third_time;  // time of point 2; point 1 lies at 0.1
    };
    const Case cases[] = {
        {"zero-length interval", 0.1},
        {"falling time", 0.05},
        {"interval beyond int", 1e300},
        {"not a number", NAN},
    };
    for (const Case& c : cases) {
        Problem problem;
        problem.add_curve(1.0, {{0.0, 1.0}, {0.1, 0.9}, {c.third_time, 0.8}, {0.2, 0.7}});
        problem.load(MID);
        const Evaluation e = evaluate(1.0);
        const double sim = simulate(LAW, 1.0, {10})[0];
        EXPECT_EQ(fit_workspace.sim_value[0][1], sim) << c.name;
        EXPECT_EQ(fit_workspace.sim_value[0][2], UNTOUCHED) << c.name;
        EXPECT_EQ(fit_workspace.sim_value[0][3], UNTOUCHED) << c.name;
        EXPECT_EQ(e.value, sq(sim - 0.9)) << c.name;
    }
}

TEST(FitObjective, AbsurdLastTimeEndsWithTheLastSample) {
    Problem problem;
    problem.add_curve(1.0, {{0.0, 1.0}, {0.1, 0.9}, {1e300, 0.8}});
    problem.load(MID);
    const Evaluation e = evaluate(1.0);
    EXPECT_EQ(e.value, sq(simulate(LAW, 1.0, {10})[0] - 0.9));
}

TEST(FitObjective, EndTestUsesTheAbsoluteTimeOfTheLastPoint) {
    // Point 2 lies 15 steps from point 0, but the curve runs only while
    // t <= 0.1, that is 11 steps from model time 0.
    Problem problem;
    problem.add_curve(1.0, {{-0.05, 1.0}, {0.0, 0.9}, {0.1, 0.8}});
    problem.load(MID);
    const Evaluation e = evaluate(1.0);
    const double sim = simulate(LAW, 1.0, {5})[0];
    EXPECT_EQ(fit_workspace.sim_value[0][1], sim);
    EXPECT_EQ(fit_workspace.sim_value[0][2], UNTOUCHED);
    EXPECT_EQ(e.value, sq(sim - 0.9));
}

TEST(FitObjective, PointsWithoutPositiveConcentrationAreSimulatedNotCompared) {
    Problem problem;
    problem.add_curve(2.0, {{0.0, 2.0}, {0.1, 0.0}, {0.2, -0.1}, {0.3, 1.5}});
    problem.load(MID);
    const Evaluation e = evaluate(1.0);
    const std::vector<double> sim = simulate(LAW, 2.0, {10, 20, 30});
    EXPECT_EQ(fit_workspace.sim_value[0][1], sim[0]);
    EXPECT_EQ(fit_workspace.sim_value[0][2], sim[1]);
    EXPECT_EQ(e.value, sq(sim[2] - 1.5));
    // Mean (2 + 0 - 0.1) / 4 = 0.475.
    const double ss_tot = (sq(2.0 - 0.475) + sq(0.0 - 0.475)) + sq(-0.1 - 0.475);
    EXPECT_EQ(fit_workspace.fit_quality, 1.0 - e.value / ss_tot);
}

TEST(FitObjective, EmptyAndOnePointCurvesAddNothing) {
    Problem problem;
    const int empty = problem.add_empty_curve();
    const int single = problem.add_curve(3.0, {{0.0, 2.0}});
    const int curve = problem.add_curve(2.0, {{0.0, 2.0}, {0.1, 1.5}, {0.2, 1.0}});
    problem.load(MID);
    const Evaluation e = evaluate(1.0);

    const std::vector<double> sim = simulate(LAW, 2.0, {10, 20});
    EXPECT_EQ(e.value, sq(sim[0] - 1.5) + sq(sim[1] - 1.0));
    // Only the two-point-curve's points 0 and 1 enter: mean 3.5 / 3.
    const double mean = 3.5 / 3;
    EXPECT_EQ(fit_workspace.fit_quality, 1.0 - e.value / (sq(2.0 - mean) + sq(1.5 - mean)));
    EXPECT_EQ(fit_workspace.sim_value[empty][0], UNTOUCHED);
    EXPECT_EQ(fit_workspace.sim_value[single][0], 3.0);
    EXPECT_EQ(fit_workspace.sim_value[single][1], UNTOUCHED);
    EXPECT_EQ(fit_workspace.sim_value[curve][2], sim[1]);
}

TEST(FitObjective, NegativeConstantIsClampedAtZero) {
    Problem problem;
    problem.add_curve(1.0, {{0.0, 1.0}, {0.1, 0.5}});
    problem.load(MID);
    const Evaluation e = evaluate(-0.5);
    EXPECT_EQ(fit_workspace.rate_constants[0], 0.0);
    EXPECT_FALSE(std::signbit(fit_workspace.rate_constants[0]));
    const double sim = simulate(MichaelisMenten{0.0, 1.0}, 1.0, {10})[0];
    EXPECT_EQ(fit_workspace.sim_value[0][1], sim);
    EXPECT_EQ(e.value, sq(sim - 0.5));
}

TEST(FitObjective, ExactModelGivesZeroAndPrintsOne) {
    // Measured values taken from the simulation itself, at x = 1.6 (Km = 0.8).
    const MichaelisMenten law{0.8, 1.0};
    const std::vector<double> a = simulate(law, 2.0, {10, 30, 60});
    const std::vector<double> b = simulate(law, 0.7, {25, 45});
    Problem problem;
    problem.add_curve(2.0, {{0.0, 2.0}, {0.1, a[0]}, {0.3, a[1]}, {0.6, a[2]}});
    problem.add_curve(0.7, {{1.0, 0.7}, {1.25, b[0]}, {1.45, b[1]}});
    problem.load(MID);
    const Evaluation exact = evaluate(1.6);
    EXPECT_EQ(exact.value, 0.0);
    EXPECT_EQ(exact.printed, "1.00000e+00\n");

    // Elsewhere the figure is below 1 and printed the same way, once per call.
    const Evaluation other = evaluate(1.0);
    EXPECT_GT(other.value, 0.0);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%10.5e\n", fit_workspace.fit_quality);
    EXPECT_EQ(other.printed, expected);
}

// However the curves are grouped into systems, every figure is the same.
TEST(FitObjective, CurvesIntegratedTogetherOrOneByOneAgree) {
    Problem problem;
    problem.add_curve(2.0, {{0.0, 2.0}, {0.5, 1.6}, {1.0, 1.3}, {2.5, 0.4}});
    problem.add_curve(0.5, {{0.0, 0.5}, {0.02, 0.49}, {0.7, 0.2}});
    problem.add_empty_curve();
    problem.add_curve(5.0, {{0.0, 5.0}, {0.3, 4.6}, {0.31, 4.5}, {0.9, 4.0}, {4.0, 1.0}});
    problem.add_curve(1.0, {{-0.2, 1.0}, {0.1, 0.8}, {0.6, 0.5}});
    problem.add_curve(3.0, {{0.0, 3.0}});
    problem.add_curve(1.5, {{0.0, 1.5}, {0.04, 1.45}, {0.07, 1.4}, {1.2, 0.9}, {1.2, 0.8}});
    problem.load(MID);
    const double x[1] = {1.3};
    testing::internal::CaptureStdout();
    const double together = fit_objective(x);
    double sim_together[PLOTS][POINTS];
    std::copy(&fit_workspace.sim_value[0][0], &fit_workspace.sim_value[0][0] + PLOTS * POINTS,
              &sim_together[0][0]);
    for (int size : {1, 2, 3}) {
        const double grouped = sum_of_squares_in_systems(x, size);
        EXPECT_EQ(grouped, together) << size;
        for (int p = 0; p < PLOTS; ++p)
            for (int i = 0; i < POINTS; ++i)
                ASSERT_EQ(fit_workspace.sim_value[p][i], sim_together[p][i]) << p << " " << i;
    }
    testing::internal::GetCapturedStdout();
    // And the long curve matches the method written out.
    const std::vector<double> sim = simulate(MichaelisMenten{0.65, 1.0}, 5.0, {30, 31, 90, 400});
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(sim_together[3][i + 1], sim[i]) << i;
}

}  // namespace
