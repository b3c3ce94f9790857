// Competitive inhibition by the product P = S0 - S, three constants:
//
//   dS/dt = -Vmax S / (Km (1 + (S0 - S) / Kp) + S),
//   Km = constant 0 (fitted), Vmax = constant 1, Kp = constant 2.
//
// The product competes with the substrate for the enzyme, so the rate falls faster than
// Michaelis-Menten allows as the product accumulates. Kp -> infinity is Michaelis-Menten;
// with Kp = Km the curve decays as exp(-Vmax t / (Km + S0)).
#pragma once

#include "simulation/laws/time_invariant.h"

static_assert(CONSTANTS == 3, "the product-inhibition law has three constants");

constexpr const char* LAW_NAME = "competitive product inhibition";
constexpr const char* LAW_FORMULA = "dS/dt = -Vmax S / (Km (1 + (S0 - S) / Kp) + S)";
// The right-hand side as an equation for other programs: S the substrate, S0 its initial
// concentration, t the time since point 0, and the constants by name.
constexpr const char* LAW_EQUATION = "-Vmax * S / (Km * (1 + (S0 - S) / Kp) + S)";

// The constants of the parameter file, index by index.
constexpr ConstantInfo LAW_CONSTANTS[CONSTANTS] = {
    {"Km", ConstantRole::AFFINITY, "the substrate concentration at half the maximal rate"},
    {"Vmax", ConstantRole::MAXIMAL_RATE, "the maximal rate, concentration per time unit"},
    {"Kp", ConstantRole::DIVISOR, "the product's inhibition constant, a concentration"},
};

inline double rate_law(const RateLawConstants& k, double y, double y0) {
    return (-k.rc[0] * y) / (k.rc[1] * (1.0 + (y0 - y) * k.inverse[2]) + y);
}
