// What every law shares: the constants in the order the rate laws use them, rc[0] the maximal
// rate (constant 1 of the parameter file), rc[1] the Michaelis constant (constant 0), then
// the law's further constants as they come.
#pragma once

#include "problem/records.h"
#include "simulation/laws/constant_info.h"

struct RateLawConstants {
    double rc[CONSTANTS];
    // 1 / rc[j] of the further constants (j >= 2), worked out once per evaluation: a law that
    // divides by one of them in every call multiplies instead (a division costs several
    // multiplications in the integrator's chain of dependent operations).
    double inverse[CONSTANTS];
};

inline RateLawConstants rate_law_constants(const double* rate_constants) {
    RateLawConstants k;
    k.rc[0] = rate_constants[1];
    k.rc[1] = rate_constants[0];
    k.inverse[0] = k.inverse[1] = 0.0;
    for (int j = 2; j < CONSTANTS; ++j) {
        k.rc[j] = rate_constants[j];
        k.inverse[j] = 1.0 / rate_constants[j];
    }
    return k;
}
