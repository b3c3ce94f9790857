// Km and Vmax of dS/dt = -Vmax S / (Km + S) fitted together to data made with known values:
// see tests/support/simulated_truth.h.
#include "tests/support/simulated_truth.h"

#include <gtest/gtest.h>

namespace {

TEST(MichaelisMentenTruth, EveryStartFindsTheTruth) {
    // Km 0.8, Vmax 1; S0 below, near and above Km, each curve 21 points to past half its S0;
    // noise of 1 % of the largest S0 on every point.
    testing_support::check_simulated_truth(
        {0.8, 1.0},
        [](const double* k, double, double s, double) { return -k[1] * s / (k[0] + s); },
        {{0.5, 0.1, 21}, {1.5, 0.15, 21}, {4.0, 0.25, 21}}, 0.01 * 4.0);
}

}  // namespace
