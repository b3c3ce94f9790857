// Michaelis-Menten consumption of the substrate, two constants:
//
//   dy/dt = -Vmax y / (Km + y),   Km = constant 0 (fitted), Vmax = constant 1.
#pragma once

#include "problem/records.h"

static_assert(CONSTANTS == 2, "the Michaelis-Menten law has two constants");

// Names of the constants of the parameter file, index by index.
constexpr const char* CONSTANT_NAMES[CONSTANTS] = {"Km", "Vmax"};

// rc: the constants in the order the law uses them, rc[0] the maximal rate,
// rc[1] the Michaelis constant.
struct RateLawConstants {
    double rc[CONSTANTS];
};

inline RateLawConstants rate_law_constants(const double* rate_constants) {
    RateLawConstants k;
    k.rc[0] = rate_constants[1];
    k.rc[1] = rate_constants[0];
    return k;
}

// The numerator first, then the denominator, then one division.
inline double rate_law(const RateLawConstants& k, double y, double /*y0*/) {
    return (-k.rc[0] * y) / (k.rc[1] + y);
}
