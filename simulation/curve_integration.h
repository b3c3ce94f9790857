// How every simulated curve is integrated, in a fit or outside one: from model time 0.0 at
// its initial concentration, with the fixed step OBJECTIVE_STEP and Hamming's classical
// coefficients (alpha = 0), begun by the integrator's start-up of START_UP_STEPS
// Runge-Kutta steps taken at once.
#pragma once

#include "simulation/integrator.h"

// Integration step of every curve, in the time unit of the curve files.
constexpr double OBJECTIVE_STEP = 0.01;
// Hamming's classical coefficients.
constexpr double HAMMING_ALPHA = 0.0;
// Steps a start-up takes at once: no point can be sampled inside them.
constexpr int START_UP_STEPS = 4;

// Starts n curves at *t (model time 0.0) from y: START_UP_STEPS steps.
template <class Derivative>
inline void start_curves(int n, double* t, double* y, Derivative f) {
    hamming_start_with(n, OBJECTIVE_STEP, t, y, HAMMING_ALPHA, f);
}

// One further step of the curves last started.
template <class Derivative>
inline void step_curves(int n, double* t, double* y, Derivative f) {
    hamming_continue_with(n, t, y, f);
}
