// Inhibition by excess substrate, three constants:
//
//   dS/dt = -Vmax S / (Km + S + S^2 / Ksi),
//   Km = constant 0 (fitted), Vmax = constant 1, Ksi = constant 2.
//
// A second substrate molecule binds and blocks the enzyme, so the rate falls again at high
// concentrations: the curves of high S0 start slowly. Ksi -> infinity is Michaelis-Menten.
#pragma once

#include "simulation/laws/time_invariant.h"

static_assert(CONSTANTS == 3, "the substrate-inhibition law has three constants");

constexpr const char* LAW_NAME = "substrate inhibition";
constexpr const char* LAW_FORMULA = "dS/dt = -Vmax S / (Km + S + S^2 / Ksi)";
// The right-hand side as an equation for other programs: S the substrate, S0 its initial
// concentration, t the time since point 0, and the constants by name.
constexpr const char* LAW_EQUATION = "-Vmax * S / (Km + S + S^2 / Ksi)";

// The constants of the parameter file, index by index.
constexpr ConstantInfo LAW_CONSTANTS[CONSTANTS] = {
    {"Km", ConstantRole::AFFINITY, "the substrate concentration at half the maximal rate"},
    {"Vmax", ConstantRole::MAXIMAL_RATE, "the maximal rate, concentration per time unit"},
    {"Ksi", ConstantRole::DIVISOR, "the substrate's inhibition constant, a concentration"},
};

inline double rate_law(const RateLawConstants& k, double y, double /*y0*/) {
    return (-k.rc[0] * y) / (k.rc[1] + y + y * y * k.inverse[2]);
}
