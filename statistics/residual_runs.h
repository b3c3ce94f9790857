// The runs test of the signs of the residuals (measured - simulated), for serial correlation:
// a wrong law or a wrong constant leaves long stretches of one sign.
//
// Within each curve, in time order, over its compared points (a zero residual is passed
// over): n+ and n- residuals of each sign, R runs. Without correlation
//
//   E[R] = 1 + 2 n+ n- / n,   Var[R] = 2 n+ n- (2 n+ n- - n) / (n^2 (n - 1)),   n = n+ + n-
//
// (Wald and Wolfowitz). The curves are independent, so R, E and Var are summed over them and
// z = (R - E) / sqrt(Var) is taken as normal; p = P(Z <= z), one-sided, since too few runs is
// the sign of correlation. Runs are counted per curve because a new curve is a new sign
// sequence, not a change of sign.
#pragma once

#include <vector>

#include "statistics/evaluation.h"

struct SignStretch {
    int curve;        // from 0
    int first, last;  // point numbers in the curve
    int length;       // residuals in it
    int sign;         // +1: measured above the simulation
};

struct ResidualRuns {
    bool made = false;  // false when Var = 0 (no curve with both signs)
    int runs = 0;
    int positive = 0, negative = 0;
    double expected = 0.0, variance = 0.0, z = 0.0, p_value = 0.0;
    std::vector<SignStretch> longest;  // each curve's longest stretch of one sign, longest first
};

ResidualRuns residual_runs(const Evaluation& e);
