// Least-squares objective of the fit.
#pragma once

// Sets constant 0 to x[0] times its midpoint (never below 0), integrates every
// curve, prints the quality line and returns the residual sum of squares.
double fit_objective(const double* x);

// The same evaluation with the curves integrated in systems of at most
// curves_per_system equations (fit_objective: all curves in one system).
// Every result is the same for any size; only the speed differs.
double fit_objective_in_systems(const double* x, int curves_per_system);
