// Fixed-step integration of y' = f(t, y): Hamming's predictor-corrector,
// started with four classical Runge-Kutta steps.
#pragma once

constexpr int MAX_EQUATIONS = 50;

// Right-hand side: fills dydt[0..n-1] with f(t, y). The return value is not used.
using DerivativeFunction = void (*)(double t, const double* y, double* dydt);

// start != 0: compute the coefficients from alpha, store h and take four
// Runge-Kutta steps (t advances by 4h); start == 0: one Hamming step of the
// stored h (t advances by h). One trajectory at a time: the history is static.
void hamming_step(int start, int n, double h, double* t, double* y, double alpha,
                  DerivativeFunction f);

// One classical Runge-Kutta step of the stored h from y_in at *t to y_out.
void rk4_step(int n, DerivativeFunction f, double* t, const double* y_in, double* y_out);
