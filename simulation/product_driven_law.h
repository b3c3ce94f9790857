// A law driven by the decrease u = y0 - y since the start of the curve, three
// constants:
//
//   dy/dt = -Vmax u / (Km (1 + y / K2) + u),
//   Km = constant 0 (fitted), Vmax = constant 1, K2 = constant 2.
//
// At the start of every curve u = 0, so the rate is zero there.
#pragma once

#include "problem/records.h"

static_assert(CONSTANTS == 3, "the product-driven law has three constants");

// Names of the constants of the parameter file, index by index.
constexpr const char* CONSTANT_NAMES[CONSTANTS] = {"Km", "Vmax", "K2"};

// rc: the constants in the order the law uses them, rc[0] the maximal rate,
// rc[1] the Michaelis constant, rc[2] the divisor of y in the Michaelis term's factor.
struct RateLawConstants {
    double rc[CONSTANTS];
};

inline RateLawConstants rate_law_constants(const double* rate_constants) {
    RateLawConstants k;
    k.rc[0] = rate_constants[1];
    k.rc[1] = rate_constants[0];
    k.rc[2] = rate_constants[2];
    return k;
}

// The numerator first, then the denominator, then one division.
inline double rate_law(const RateLawConstants& k, double y, double y0) {
    const double u = y0 - y;
    return (-k.rc[0] * u) / ((y / k.rc[2] + 1.0) * k.rc[1] + u);
}
