// The curves velkor-ei simulates, against the closed form of its law
// dS/dt = -Vmax exp(-kd t) S / (Km + S): Michaelis-Menten's curve at the transformed time
// (1 - exp(-kd t)) / kd, t counted from point 0.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/michaelis_menten.h"
#include "tests/support/progress_curves.h"

namespace {

using testing_support::CurvePlan;
using testing_support::largest_relative_error;

// Hamming's method is of fourth order, and its final correction cancels the leading term of
// the local error: at the step 0.01 the global error is of order h^5 = 1e-10 times S0 for
// curves whose derivatives are of order 1, as these (the largest measured: 1.3e-11 S0).
// The law seen at the wrong time is off by far more: at the step's start in one stage of the
// four Runge-Kutta steps that start the integration, 4e-5 S0; a step late throughout, 3e-3 S0.
constexpr double TOLERANCE = 1e-10;

TEST(EnzymeInactivationCurves, MichaelisMentenAtTheTransformedTime) {
    // Three curves of different S0 and ends, integrated together in one system: they share
    // its time. Two have point 0 later than time 0; the enzyme's clock starts there.
    const std::vector<CurvePlan> curves = {
        {0.5, 0.0, 0.25, 17}, {2.0, 1.5, 0.5, 11}, {5.0, 3.0, 0.25, 25}};
    const double km = 0.8, vmax = 2.0, kd = 0.5;
    const double error = largest_relative_error(curves, {km, vmax, kd}, [&](double t, double s0) {
        const double transformed = (1.0 - std::exp(-kd * t)) / kd;
        return testing_support::substrate_at(s0, km, vmax, transformed);
    });
    EXPECT_LT(error, TOLERANCE);
}

}  // namespace
