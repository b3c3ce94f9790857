// Michaelis-Menten consumption of the substrate, two constants:
//
//   dy/dt = -Vmax y / (Km + y),   Km = constant 0 (fitted), Vmax = constant 1.
#pragma once

#include "simulation/laws/time_invariant.h"

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

// The numerator first, then the denominator, then one division.
inline double rate_law(const RateLawConstants& k, double y, double /*y0*/) {
    return (-k.rc[0] * y) / (k.rc[1] + y);
}
