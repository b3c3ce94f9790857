// The two-constant rate law of velkor: dy/dt = -Vmax y / (Km + y),
// Vmax = constant 1, Km = constant 0.
#include "simulation/model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "simulation/workspace.h"

namespace {

double rate(double km, double vmax, double y) {
    fit_workspace.rate_constants[0] = km;
    fit_workspace.rate_constants[1] = vmax;
    const double state[1] = {y};
    double dydt[1] = {12345.0};
    model_rate(7.0, state, dydt);
    return dydt[0];
}

TEST(ModelRate, TwoConstantLaw) {
    struct Case {
        double km, vmax, y, expected;
    };
    const Case cases[] = {
        {3.0, 2.0, 1.0, -0.5},   // -2 / 4: constant 0 is Km, constant 1 Vmax
        {1.0, 4.0, 3.0, -3.0},   // -12 / 4
        {0.0, 2.5, 0.75, -2.5},  // Km = 0: constant rate -Vmax
        {0.5, 1.0, -0.25, 1.0},  // 0.25 / 0.25
        {2.0, 0.0, 1.0, -0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rate(c.km, c.vmax, c.y), c.expected) << c.km << " " << c.y;
}

TEST(ModelRate, NoSubstrateLeft) {
    const double at_zero = rate(2.0, 1.5, 0.0);
    EXPECT_EQ(at_zero, 0.0);
    EXPECT_TRUE(std::signbit(at_zero));            // -Vmax * 0 / Km
    EXPECT_TRUE(std::isnan(rate(0.0, 1.5, 0.0)));  // 0 / 0 once Km is clamped at 0
}

TEST(ModelRate, WritesOnlyTheDerivative) {
    fit_workspace.rate_constants[0] = 1.0;
    fit_workspace.rate_constants[1] = 1.0;
    const double state[1] = {1.0};
    double dydt[2] = {0.0, 99.0};
    model_rate(0.0, state, dydt);
    EXPECT_EQ(dydt[0], -0.5);
    EXPECT_EQ(dydt[1], 99.0);
    EXPECT_EQ(fit_workspace.rate_constants[0], 1.0);
}

}  // namespace
