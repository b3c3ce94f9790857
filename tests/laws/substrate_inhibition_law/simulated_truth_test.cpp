// Km, Vmax and Ksi of dS/dt = -Vmax S / (Km + S + S^2 / Ksi) fitted together to data made
// with known values: see tests/support/simulated_truth.h.
#include "tests/support/simulated_truth.h"

#include <gtest/gtest.h>

namespace {

TEST(SubstrateInhibitionTruth, EveryStartFindsTheTruth) {
    // Km 0.5, Vmax 1, Ksi 2: the rate is largest at S = sqrt(Km Ksi) = 1. S0 below it, above
    // it and six times it (a slow start), each curve 21 points; noise of 1 % of the largest S0
    // on every point.
    testing_support::check_simulated_truth(
        {0.5, 1.0, 2.0},
        [](const double* k, double, double s, double) {
            return -k[1] * s / (k[0] + s + s * s / k[2]);
        },
        {{0.5, 0.2, 21}, {2.0, 0.4, 21}, {6.0, 0.75, 21}}, 0.01 * 6.0);
}

}  // namespace
