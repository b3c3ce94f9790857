// Michaelis-Menten with a first-order loss of enzyme activity, three constants:
//
//   dS/dt = -Vmax exp(-kd t) S / (Km + S),
//   Km = constant 0 (fitted), Vmax = constant 1, kd = constant 2 (per time unit),
//
// t counted from point 0, the simulation's time 0. The enzyme dies as it works, so the rate
// falls faster than Michaelis-Menten allows. kd = 0 is Michaelis-Menten; the solution is
// Michaelis-Menten's at the transformed time (1 - exp(-kd t)) / kd.
#pragma once

#include <cmath>

#include "simulation/laws/law_constants.h"

static_assert(CONSTANTS == 3, "the enzyme-inactivation law has three constants");

constexpr const char* LAW_NAME = "Michaelis-Menten with loss of enzyme activity";
constexpr const char* LAW_FORMULA = "dS/dt = -Vmax exp(-kd t) S / (Km + S)";
// The right-hand side as an equation for other programs: S the substrate, S0 its initial
// concentration, t the time since point 0, and the constants by name.
constexpr const char* LAW_EQUATION = "-Vmax * exp(-kd * t) * S / (Km + S)";

// The constants of the parameter file, index by index.
constexpr ConstantInfo LAW_CONSTANTS[CONSTANTS] = {
    {"Km", ConstantRole::AFFINITY, "the substrate concentration at half the maximal rate"},
    {"Vmax", ConstantRole::MAXIMAL_RATE, "the maximal rate at time 0, concentration per time"},
    {"kd", ConstantRole::DECAY_RATE, "the first-order rate of the enzyme's loss of activity"},
};

// The maximal rate in effect at time t: one exponential per evaluation of a system.
inline RateLawConstants rate_law_at_time(const RateLawConstants& k, double t) {
    RateLawConstants now = k;
    now.rc[0] = k.rc[0] * std::exp(-k.rc[2] * t);
    return now;
}

inline double rate_law(const RateLawConstants& k, double y, double /*y0*/) {
    return (-k.rc[0] * y) / (k.rc[1] + y);
}
