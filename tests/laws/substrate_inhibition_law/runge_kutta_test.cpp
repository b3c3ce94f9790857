// The curves velkor-si simulates, against classical Runge-Kutta runs of its law
// dS/dt = -Vmax S / (Km + S + S^2 / Ksi) with a step a hundred times finer, whose error
// (of order (1e-4)^4) is nothing beside the objective's.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/progress_curves.h"

namespace {

using testing_support::CurvePlan;
using testing_support::largest_relative_error;

// Hamming's method is of fourth order, and its final correction cancels the leading term of
// the local error: at the step 0.01 the global error is of order h^5 = 1e-10 times S0 for
// curves whose derivatives are of order 1, as these (the largest measured: 1.3e-11 S0).
// Km and Ksi swapped in the law is off by half of S0.
constexpr double TOLERANCE = 1e-10;

TEST(SubstrateInhibitionCurves, AgreeWithAFineRungeKuttaRun) {
    // Below and far above sqrt(Km Ksi) = 1, where the rate is largest: the high curve starts
    // slowly and speeds up.
    const std::vector<CurvePlan> curves = {
        {0.5, 0.0, 0.25, 13}, {2.0, 1.0, 0.5, 9}, {8.0, 0.0, 0.5, 21}};
    const double km = 0.5, vmax = 1.0, ksi = 2.0;
    const auto rate = [&](double, double s, double) { return -vmax * s / (km + s + s * s / ksi); };
    const double error = largest_relative_error(curves, {km, vmax, ksi}, [&](double t, double s0) {
        return testing_support::runge_kutta_curve(rate, s0, {t})[0];
    });
    EXPECT_LT(error, TOLERANCE);
}

}  // namespace
