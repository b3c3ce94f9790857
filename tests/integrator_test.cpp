// Hamming's predictor-corrector: accuracy against the closed-form
// Michaelis-Menten curve, the arithmetic step by step, and the static history.
#include "simulation/integrator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/hamming_reference.h"
#include "tests/support/michaelis_menten.h"

namespace {

using hamming_reference::MichaelisMenten;

// The integrator takes a plain function: the law's constants and the
// bookkeeping of the calls live here.
MichaelisMenten law{1.0, 1.0};
int evaluations = 0;
std::vector<double> evaluated_at;

void mm_rate(double /*t*/, const double* y, double* dydt) {
    ++evaluations;
    evaluated_at.push_back(y[0]);
    dydt[0] = law(y[0]);
}

// Every equation of a system follows the same law.
int system_size = 1;
void mm_system(double /*t*/, const double* y, double* dydt) {
    for (int i = 0; i < system_size; ++i)
        dydt[i] = law(y[i]);
}

// y after `steps` steps of h from s0 (the start-up counts as four).
double integrate(double s0, double h, int steps, double alpha = 0.0) {
    double t = 0.0;
    double y[1] = {s0};
    hamming_step(1, 1, h, &t, y, alpha, mm_rate);
    for (int s = 4; s < steps; ++s)
        hamming_step(0, 1, h, &t, y, alpha, mm_rate);
    return y[0];
}

double relative_error(double s0, double h, int steps) {
    const double exact = testing_support::substrate_at(s0, law.km, law.vmax, steps * h);
    return std::fabs(integrate(s0, h, steps) - exact) / exact;
}

struct Curve {
    double s0, km, vmax;
};

TEST(HammingStep, FollowsTheClosedFormCurve) {
    // Mostly saturated, mixed, and first-order decay over 30 time units.
    const Curve curves[] = {{1.0, 0.5, 0.2}, {5.0, 2.0, 1.0}, {0.3, 1.0, 0.05}, {1.0, 1.0, 2.0}};
    for (const Curve& c : curves) {
        law = {c.km, c.vmax};
        EXPECT_LT(relative_error(c.s0, 0.01, 3000), 1e-8)
            << "S0 " << c.s0 << " Km " << c.km << " Vmax " << c.vmax;
    }
}

TEST(HammingStep, ErrorShrinksAtLeastSixteenfoldWithHalfTheStep) {
    // Fast decay, where the truncation error is far above rounding. The final
    // correction extrapolates the local error away, so the observed ratio lies
    // nearer 32 than 16; below 16 the method would not be of fourth order.
    const Curve curves[] = {{1.0, 1.0, 2.0}, {2.0, 1.0, 5.0}, {3.0, 0.5, 2.0}};
    for (const Curve& c : curves) {
        law = {c.km, c.vmax};
        const double coarse = relative_error(c.s0, 0.01, 3000);
        const double fine = relative_error(c.s0, 0.005, 6000);
        EXPECT_GT(coarse / fine, 16.0) << "S0 " << c.s0;
        EXPECT_LT(coarse / fine, 64.0) << "S0 " << c.s0;
    }
}

TEST(HammingStep, CountsDerivativeEvaluations) {
    law = {0.5, 1.0};
    double t = 0.0;
    double y[1] = {2.0};
    evaluations = 0;
    hamming_step(1, 1, 0.01, &t, y, 0.0, mm_rate);
    EXPECT_EQ(evaluations, 18);
    for (int s = 1; s <= 3; ++s) {
        hamming_step(0, 1, 0.01, &t, y, 0.0, mm_rate);
        EXPECT_EQ(evaluations, 18 + 2 * s);
    }
}

TEST(HammingStep, StartUpAdvancesTimeByFourSteps) {
    law = {0.5, 1.0};
    double t = 0.0;
    double y[1] = {2.0};
    hamming_step(1, 1, 0.01, &t, y, 0.0, mm_rate);
    EXPECT_EQ(t, 0.0 + 0.01 + 0.01 + 0.01 + 0.01);
    hamming_step(0, 1, 0.01, &t, y, 0.0, mm_rate);
    EXPECT_EQ(t, 0.0 + 0.01 + 0.01 + 0.01 + 0.01 + 0.01);
}

TEST(RungeKuttaStep, TakesOneStepOfTheStoredStep) {
    law = {0.5, 1.0};
    double t = 0.0;
    double y[1] = {2.0};
    hamming_step(1, 1, 0.02, &t, y, 0.0, mm_rate);  // stores h = 0.02
    const double y_in[1] = {3.0};
    double y_out[1] = {0.0};
    t = 1.0;
    evaluations = 0;
    rk4_step(1, mm_rate, &t, y_in, y_out);
    EXPECT_EQ(evaluations, 4);
    EXPECT_EQ(t, 1.0 + 0.02);
    EXPECT_EQ(y_out[0], hamming_reference::runge_kutta_step(law, 0.02, 3.0));
    EXPECT_EQ(y_in[0], 3.0);
}

// The arithmetic of every step, against the reference written out by hand.
TEST(HammingStep, MatchesTheMethodBitForBit) {
    struct Case {
        double alpha;
        hamming_reference::Coefficients k;
    };
    const Case cases[] = {{0.0, hamming_reference::classical()},
                          {0.3, hamming_reference::from_alpha(0.3)},
                          {-0.7, hamming_reference::from_alpha(-0.7)}};
    law = {0.7, 1.3};
    for (const Case& c : cases) {
        auto ref = hamming_reference::trajectory(law, 0.01, c.k);
        double t = 0.0;
        double y[1] = {2.5};
        hamming_step(1, 1, 0.01, &t, y, c.alpha, mm_rate);
        ASSERT_EQ(y[0], ref.start(2.5)) << "alpha " << c.alpha;
        for (int s = 0; s < 500; ++s) {
            hamming_step(0, 1, 0.01, &t, y, c.alpha, mm_rate);
            ASSERT_EQ(y[0], ref.next()) << "alpha " << c.alpha << " step " << s;
        }
    }
}

TEST(HammingStep, FirstContinuingStepUsesNoModifier) {
    law = {0.7, 1.3};
    auto ref = hamming_reference::trajectory(law, 0.01, hamming_reference::classical());
    double t = 0.0;
    double y[1] = {2.5};
    // An earlier trajectory leaves a difference p - c behind; the start-up
    // must not pass it (nor its Runge-Kutta scratch) to the new one.
    integrate(4.0, 0.01, 50);
    hamming_step(1, 1, 0.01, &t, y, 0.0, mm_rate);
    ref.start(2.5);

    evaluated_at.clear();
    hamming_step(0, 1, 0.01, &t, y, 0.0, mm_rate);
    ref.next();
    ASSERT_EQ(evaluated_at.size(), 2u);
    EXPECT_EQ(evaluated_at[1], ref.modified_predictor());  // the bare predictor
    // From the second step on the modifier acts: D is no longer 0.
    ASSERT_NE(ref.predictor_difference(), 0.0);
    evaluated_at.clear();
    hamming_step(0, 1, 0.01, &t, y, 0.0, mm_rate);
    ref.next();
    ASSERT_EQ(evaluated_at.size(), 2u);
    EXPECT_EQ(evaluated_at[1], ref.modified_predictor());
}

TEST(HammingStep, ContinuingCallKeepsTheStartUpsStepAndAlpha) {
    law = {0.7, 1.3};
    double t_a = 0.0, t_b = 0.0;
    double y_a[1] = {2.5}, y_b[1] = {2.5};
    hamming_step(1, 1, 0.01, &t_a, y_a, 0.0, mm_rate);
    for (int s = 0; s < 20; ++s)
        hamming_step(0, 1, 0.01, &t_a, y_a, 0.0, mm_rate);
    hamming_step(1, 1, 0.01, &t_b, y_b, 0.0, mm_rate);
    for (int s = 0; s < 20; ++s)
        hamming_step(0, 1, 0.5, &t_b, y_b, 0.9, mm_rate);
    EXPECT_EQ(y_b[0], y_a[0]);
    EXPECT_EQ(t_b, t_a);
}

// Equations of a system do not mix, and moving an equation's history to
// another slot carries its trajectory on unchanged.
TEST(HammingStep, SystemEquationsStayApartWhenMoved) {
    law = {0.7, 1.3};
    const double y0[3] = {2.5, 0.4, 7.0};
    std::vector<hamming_reference::Trajectory<MichaelisMenten>> refs;
    for (double v : y0) {
        refs.push_back(hamming_reference::trajectory(law, 0.01, hamming_reference::classical()));
        refs.back().start(v);
    }
    system_size = 3;
    double t = 0.0;
    double y[3] = {y0[0], y0[1], y0[2]};
    hamming_step(1, 3, 0.01, &t, y, 0.0, mm_system);
    for (int s = 0; s < 30; ++s) {
        hamming_step(0, 3, 0.01, &t, y, 0.0, mm_system);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(y[i], refs[i].next()) << "equation " << i;
    }
    // Drop equation 0: equation 2 takes its place.
    hamming_move_history(2, 0);
    y[0] = y[2];
    system_size = 2;
    for (int s = 0; s < 30; ++s) {
        hamming_step(0, 2, 0.01, &t, y, 0.0, mm_system);
        ASSERT_EQ(y[0], refs[2].next());
        ASSERT_EQ(y[1], refs[1].next());
    }
}

}  // namespace
