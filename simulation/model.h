// Kinetic model: the rate law of the substrate, chosen at build time with CONSTANTS.
#pragma once

// dydt[0] = rate of change of the substrate concentration y[0] at model time t.
void model_rate(double t, const double* y, double* dydt);
