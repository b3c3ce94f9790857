// A law driven by the decrease u = y0 - y since the start of the curve, three
// constants:
//
//   dy/dt = -Vmax u / (Km (1 + y / K2) + u),
//   Km = constant 0 (fitted), Vmax = constant 1, K2 = constant 2.
//
// At the start of every curve u = 0, so the rate is zero there.
#pragma once

#include "simulation/laws/time_invariant.h"

static_assert(CONSTANTS == 3, "the product-driven law has three constants");

constexpr const char* LAW_NAME = "product-driven";
constexpr const char* LAW_FORMULA = "dS/dt = -Vmax u / (Km (1 + S / K2) + u), u = S0 - S";
// The right-hand side as an equation for other programs: S the substrate, S0 its initial
// concentration, t the time since point 0, and the constants by name.
constexpr const char* LAW_EQUATION = "-Vmax * (S0 - S) / (Km * (1 + S / K2) + (S0 - S))";

// The constants of the parameter file, index by index.
constexpr ConstantInfo LAW_CONSTANTS[CONSTANTS] = {
    {"Km", ConstantRole::AFFINITY, "the Michaelis constant of the decrease u = S0 - S"},
    {"Vmax", ConstantRole::MAXIMAL_RATE, "the maximal rate, concentration per time unit"},
    {"K2", ConstantRole::DIVISOR, "the concentration that scales the substrate's hold on Km"},
};

// The numerator first, then the denominator, then one division.
inline double rate_law(const RateLawConstants& k, double y, double y0) {
    const double u = y0 - y;
    return (-k.rc[0] * u) / ((y / k.rc[2] + 1.0) * k.rc[1] + u);
}
