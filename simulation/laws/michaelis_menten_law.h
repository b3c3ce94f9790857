// Michaelis-Menten consumption of the substrate, two constants:
//
//   dy/dt = -Vmax y / (Km + y),   Km = constant 0 (fitted), Vmax = constant 1.
#pragma once

#include "problem/records.h"
#include "simulation/laws/constant_info.h"

static_assert(CONSTANTS == 2, "the Michaelis-Menten law has two constants");

constexpr const char* LAW_NAME = "Michaelis-Menten";
constexpr const char* LAW_FORMULA = "dS/dt = -Vmax S / (Km + S)";
// The right-hand side as an equation for other programs: S the substrate, S0 its initial
// concentration, t the time since point 0, and the constants by name.
constexpr const char* LAW_EQUATION = "-Vmax * S / (Km + S)";

// The constants of the parameter file, index by index.
constexpr ConstantInfo LAW_CONSTANTS[CONSTANTS] = {
    {"Km", ConstantRole::AFFINITY, "the substrate concentration at half the maximal rate"},
    {"Vmax", ConstantRole::MAXIMAL_RATE, "the maximal rate, concentration per time unit"},
};

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

// The law does not change with time.
inline const RateLawConstants& rate_law_at_time(const RateLawConstants& k, double /*t*/) {
    return k;
}

// The numerator first, then the denominator, then one division.
inline double rate_law(const RateLawConstants& k, double y, double /*y0*/) {
    return (-k.rc[0] * y) / (k.rc[1] + y);
}
