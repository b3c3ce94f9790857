// Evaluations made together (several sets of constants as one system of equations, and
// searches in lockstep) against the same evaluations made one by one, which the laws' own
// tests check against closed forms and Runge-Kutta: every number must agree to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

#include "statistics/evaluation.h"
#include "statistics/fit_space.h"
#include "statistics/lockstep.h"
#include "tests/objective_problem.h"

namespace {

using objective_problem::Problem;

bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expect_same(const Evaluation& batched, const Evaluation& alone) {
    EXPECT_TRUE(same_bits(batched.sum_of_squares, alone.sum_of_squares))
        << batched.sum_of_squares << " against " << alone.sum_of_squares;
    EXPECT_TRUE(same_bits(batched.quality, alone.quality));
    for (int j = 0; j < CONSTANTS; ++j)
        EXPECT_TRUE(same_bits(batched.constants[j], alone.constants[j]));
    EXPECT_EQ(batched.points_sampled, alone.points_sampled);
    ASSERT_EQ(batched.simulated.size(), alone.simulated.size());
    for (size_t p = 0; p < alone.simulated.size(); ++p) {
        ASSERT_EQ(batched.simulated[p].size(), alone.simulated[p].size());
        for (size_t i = 0; i < alone.simulated[p].size(); ++i)
            EXPECT_TRUE(same_bits(batched.simulated[p][i], alone.simulated[p][i]))
                << "curve " << p << " point " << i;
    }
}

// Curves of different lengths (so that equations leave the system at different times), a
// point not measured, a curve without points, and one that ends between steps.
class Batched : public ::testing::Test {
  protected:
    void SetUp() override {
        problem_.add_curve(4.0, {{0, 4}, {1, 3.1}, {2, 2.4}, {3, 1.8}, {6, 0.7}});
        problem_.add_curve(1.0, {{0, 1}, {0.5, 0.8}, {1.5, 0}, {2.5, 0.35}});
        problem_.add_empty_curve();
        problem_.add_curve(9.0, {{0, 9}, {2, 7.2}, {4, 5.6}, {8, 3.1}, {12, 1.6}, {20, 0.4}});
        problem_.add_curve(0.3, {{0, 0.3}, {0.255, 0.26}, {0.4949, 0.22}});
        double mid[CONSTANTS];
        for (int j = 0; j < CONSTANTS; ++j)
            mid[j] = j == 0 ? 2.0 : 0.6;  // constants beyond Km and Vmax: 0.6 each
        problem_.load(mid);
    }

    // Points around the midpoints, one with Km below 0 (held at 0 by the clamp).
    std::vector<std::vector<double>> points() const {
        std::vector<std::vector<double>> xs;
        for (int m = 0; m < 7; ++m) {
            std::vector<double> x(CONSTANTS);
            for (int j = 0; j < CONSTANTS; ++j)
                x[j] = 1.0 + 0.15 * ((m + 2 * j) % 5 - 2);
            xs.push_back(x);
        }
        xs[3][0] = -0.5;
        return xs;
    }

    Problem problem_;
    FitSpace space_ = space_with_free({});
};

TEST_F(Batched, EverySetOfASystemIsItsOwnEvaluation) {
    for (int j = 0; j < CONSTANTS; ++j)
        space_.free[j] = true;
    const std::vector<std::vector<double>> xs = points();
    const std::vector<Evaluation> together = evaluate_each(space_, xs);
    ASSERT_EQ(together.size(), xs.size());
    for (size_t m = 0; m < xs.size(); ++m) {
        SCOPED_TRACE(m);
        expect_same(together[m], evaluate(space_, xs[m].data()));
    }
    EXPECT_EQ(together[3].constants[0], 0.0);
}

TEST_F(Batched, SearchesInLockstepSeeWhatTheyWouldSeeAlone) {
    space_.free[0] = true;
    // A search whose every step depends on the last evaluation: x <- x (1 + RSS) / 2, with
    // a batch of two points in between.
    auto walk = [this](double x, std::vector<Evaluation>& seen) {
        for (int step = 0; step < 4; ++step) {
            seen.push_back(evaluate(space_, &x));
            const std::vector<Evaluation> two = evaluate_each(space_, {{0.9 * x}, {1.1 * x}});
            seen.insert(seen.end(), two.begin(), two.end());
            x = x * (1.0 + seen.back().sum_of_squares) / 2.0;
        }
    };
    const double starts[3] = {0.7, 1.0, 1.6};
    std::vector<Evaluation> alone[3], together[3];
    for (int s = 0; s < 3; ++s)
        walk(starts[s], alone[s]);
    std::vector<std::function<void()>> searches;
    for (int s = 0; s < 3; ++s)
        searches.push_back([&, s] { walk(starts[s], together[s]); });
    run_in_lockstep(searches);
    for (int s = 0; s < 3; ++s) {
        ASSERT_EQ(together[s].size(), alone[s].size());
        for (size_t i = 0; i < alone[s].size(); ++i)
            expect_same(together[s][i], alone[s][i]);
    }

    // A search that fails ends alone: the others finish, and its exception comes out once
    // all have ended.
    std::vector<Evaluation> finished;
    searches = {[&] { walk(1.0, finished); },
                [this] {
                    double x = 1.0;
                    evaluate(space_, &x);
                    throw std::runtime_error("search failed");
                }};
    EXPECT_THROW(run_in_lockstep(searches), std::runtime_error);
    EXPECT_EQ(finished.size(), 12u);
}

}  // namespace
