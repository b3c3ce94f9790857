// What every law shares: the constants in the order the rate laws use them, rc[0] the maximal
// rate (constant 1 of the parameter file), rc[1] the Michaelis constant (constant 0), then
// the law's further constants as they come.
#pragma once

#include "problem/records.h"
#include "simulation/laws/constant_info.h"

struct RateLawConstants {
    double rc[CONSTANTS];
};

inline RateLawConstants rate_law_constants(const double* rate_constants) {
    RateLawConstants k;
    k.rc[0] = rate_constants[1];
    k.rc[1] = rate_constants[0];
    for (int j = 2; j < CONSTANTS; ++j)
        k.rc[j] = rate_constants[j];
    return k;
}
