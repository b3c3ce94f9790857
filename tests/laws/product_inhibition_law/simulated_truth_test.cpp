// Km, Vmax and Kp of dS/dt = -Vmax S / (Km (1 + (S0 - S) / Kp) + S) fitted together to data
// made with known values: see tests/support/simulated_truth.h.
#include "tests/support/simulated_truth.h"

#include <gtest/gtest.h>

namespace {

TEST(ProductInhibitionTruth, EveryStartFindsTheTruth) {
    // Km 1, Vmax 1, Kp 0.5; S0 from half Km to four times it, each curve 21 points until the
    // product has slowed it well down; noise of 1 % of the largest S0 on every point.
    testing_support::check_simulated_truth(
        {1.0, 1.0, 0.5},
        [](const double* k, double, double s, double s0) {
            return -k[1] * s / (k[0] * (1.0 + (s0 - s) / k[2]) + s);
        },
        {{0.5, 0.2, 21}, {1.5, 0.3, 21}, {4.0, 0.5, 21}}, 0.01 * 4.0);
}

}  // namespace
