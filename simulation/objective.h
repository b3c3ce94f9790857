// Least-squares objective of the fit.
#pragma once

#include "problem/records.h"
#include "simulation/curve_integration.h"

// The sum of squares at x, silently: sets constant 0 to x[0] times its midpoint
// (never below 0), integrates every curve, and leaves the simulated values, the
// points sampled and the quality figure in the workspace.
double sum_of_squares_at(const double* x);

// The same evaluation with the curves integrated in systems of at most
// curves_per_system equations (sum_of_squares_at: all curves in one system).
// Every result is the same for any size; only the speed differs.
double sum_of_squares_in_systems(const double* x, int curves_per_system);

// The evaluation itself, at the rate constants the workspace holds now (constant 0
// included), with the results left in the workspace as above.
double sum_of_squares_of_constants(int curves_per_system = PLOTS);

// Several sets of rate constants evaluated at once (the points of a difference quotient,
// say): every curve once per set, all as equations of one system, so that the sets' chains
// of dependent operations overlap. Each set's arithmetic is that of an evaluation of its own.
// Set m's sum of squares and quality figure go to sums[m] and qualities[m], its simulated
// values and points sampled to rows m * plotCount + p of the workspace (set 0's rows are
// those of a single evaluation). count is at most constant_sets_at_once().
constexpr int MAX_CONSTANT_SETS = 8;
int constant_sets_at_once();
void sum_of_squares_of_sets(const double (*rate_constants)[CONSTANTS], int count, double* sums,
                            double* qualities);

// The objective the fit minimises: sum_of_squares_at, then the quality line
// on standard output.
double fit_objective(const double* x);

// Whether point i of a curve enters the sum of squares, when the evaluation sampled points
// 0..sampled-1: every sampled point after point 0 whose measured concentration is above 0.
bool point_compared(const Plot& plot, int sampled, int i);

// Whole steps of `step` from time `from` to time `to`, halves rounded up;
// -1 (never reached) where the quotient is not a number or no int. A point is
// sampled when the step count since the previous one equals this exactly.
int interval_steps(double from, double to, double step);
