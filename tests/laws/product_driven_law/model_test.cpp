// The three-constant rate law of velkor-b: dy/dt = -Vmax u / (Km (1 + y / K2) + u),
// u = y0 - y, Vmax = constant 1, Km = constant 0, K2 = constant 2.
#include "simulation/model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "simulation/integrator.h"
#include "simulation/workspace.h"

namespace {

double rate(double km, double vmax, double k2, double y0, double y) {
    fit_workspace.rate_constants[0] = km;
    fit_workspace.rate_constants[1] = vmax;
    fit_workspace.rate_constants[2] = k2;
    fit_workspace.initial_conc[0] = y0;
    const double state[1] = {y};
    double dydt[1] = {12345.0};
    model_rate(3.0, state, dydt);
    return dydt[0];
}

TEST(ModelRateB, ThreeConstantLaw) {
    struct Case {
        double km, vmax, k2, y0, y, expected;
    };
    const Case cases[] = {
        {1.0, 2.0, 4.0, 3.0, 2.0, -0.8},  // u 1: -2 / ((0.5 + 1) 1 + 1)
        {2.0, 3.0, 1.0, 5.0, 1.0, -1.5},  // u 4: -12 / ((1 + 1) 2 + 4)
        {0.0, 2.0, 4.0, 3.0, 1.0, -2.0},  // Km = 0: -Vmax
        {1.0, 2.0, 0.0, 3.0, 2.0, -0.0},  // K2 = 0: y / K2 infinite
    };
    for (const Case& c : cases)
        EXPECT_EQ(rate(c.km, c.vmax, c.k2, c.y0, c.y), c.expected) << c.km << " " << c.y;
}

TEST(ModelRateB, NoDriveAtTheStartOfACurve) {
    const double at_start = rate(1.5, 2.0, 4.0, 3.0, 3.0);
    EXPECT_EQ(at_start, 0.0);
    EXPECT_TRUE(std::signbit(at_start));
    EXPECT_TRUE(std::isnan(rate(0.0, 2.0, 4.0, 3.0, 3.0)));  // 0 / 0
    EXPECT_TRUE(std::isnan(rate(1.0, 2.0, 0.0, 0.0, 0.0)));  // 0 / K2 = 0 / 0
}

TEST(ModelRateB, SimulatedCurveStaysAtItsInitialConcentration) {
    rate(1.5, 2.0, 4.0, 3.0, 3.0);  // sets the constants and y0 = 3
    double t = 0.0;
    double y[1] = {3.0};
    hamming_step(1, 1, 0.01, &t, y, 0.0, model_rate);
    for (int s = 0; s < 1000; ++s)
        hamming_step(0, 1, 0.01, &t, y, 0.0, model_rate);
    EXPECT_EQ(y[0], 3.0);
}

}  // namespace
