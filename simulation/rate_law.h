// The rate law of the build, inline, for the model function and for the
// objective's own integration loop alike.
#pragma once

#include "problem/records.h"

// The rate constants in the order the law uses them: rc[0] the maximal rate,
// rc[1] the Michaelis constant (the fitted one), rc[2] the divisor of y in the
// Michaelis term's factor (three-constant law only).
struct RateLawConstants {
    double rc[CONSTANTS];
};

inline RateLawConstants rate_law_constants(const double* rate_constants) {
    RateLawConstants k;
    k.rc[0] = rate_constants[1];
    k.rc[1] = rate_constants[0];
#if VELKOR_CONSTANTS == 3
    k.rc[2] = rate_constants[2];
#endif
    return k;
}

#if VELKOR_CONSTANTS == 2

// Michaelis-Menten consumption: dy/dt = -Vmax y / (Km + y).
inline double rate_law(const RateLawConstants& k, double y, double /*y0*/) {
    return (-k.rc[0] * y) / (k.rc[1] + y);
}

#elif VELKOR_CONSTANTS == 3

// Driven by the decrease u = y0 - y since the start of the curve:
// dy/dt = -Vmax u / (Km (1 + y / K2) + u).
inline double rate_law(const RateLawConstants& k, double y, double y0) {
    const double u = y0 - y;
    return (-k.rc[0] * u) / ((y / k.rc[2] + 1.0) * k.rc[1] + u);
}

#else
#error "VELKOR_CONSTANTS selects the rate law: 2 or 3"
#endif
