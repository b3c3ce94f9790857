// Least-squares objective of the fit.
#pragma once

// Sets constant 0 to x[0] times its midpoint (never below 0), integrates every
// curve, prints the quality line and returns the residual sum of squares.
double fit_objective(const double* x);
