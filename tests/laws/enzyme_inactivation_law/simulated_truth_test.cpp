// Km, Vmax and kd of dS/dt = -Vmax exp(-kd t) S / (Km + S) fitted together to data made with
// known values: see tests/support/simulated_truth.h.
#include "tests/support/simulated_truth.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(EnzymeInactivationTruth, EveryStartFindsTheTruth) {
    // Km 0.8, Vmax 1, kd 0.3; S0 below, near and above Km, each curve 21 points over 8 time
    // units (2.4 lifetimes of the enzyme, so the high curve levels off); noise of 1 % of the
    // largest S0 on every point.
    testing_support::check_simulated_truth(
        {0.8, 1.0, 0.3},
        [](const double* k, double t, double s, double) {
            return -k[1] * std::exp(-k[2] * t) * s / (k[0] + s);
        },
        {{0.5, 0.4, 21}, {1.5, 0.4, 21}, {4.0, 0.4, 21}}, 0.01 * 4.0);
}

}  // namespace
