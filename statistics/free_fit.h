// The least-squares fit of every constant of the law together (the fit programs fit constant
// 0 alone), from the midpoints of their ranges:
//
//   Levenberg-Marquardt from the midpoints, then the Gauss-Newton polish below; where that
//   ends at no optimum:
//   the direction-set minimiser from the point of a coarse grid around the midpoints (every
//   constant at its midpoint times 1/4, 1/2, 1, 2 or 4) where RSS is lowest, started afresh
//   from the point it found until a fresh start no longer lowers RSS: a direction set that
//   has collapsed on a long valley cannot stop short of the optimum then;
//   Gauss-Newton descents from there, each with the Jacobian where it begins, until a step
//   promises less than 1e-9 of RSS;
//   where that is no optimum (Km held at 0 by the clamp, or RSS rough where the curves are
//   too stiff for the integration step), the same from the next point of the grid, up to
//   eight, keeping the lowest RSS;
//   covariance s^2 (J^T J)^-1 with s^2 = RSS / (n - k);
//   95 % profile interval of each constant, the others re-optimised along the profile, at
//   RSS_min (1 + F(0.95; 1, n - k) / (n - k));
//   the runs test of the residuals' signs.
#pragma once

#include <vector>

#include "statistics/evaluation.h"
#include "statistics/profile_interval.h"
#include "statistics/residual_runs.h"
#include "statistics/standard_errors.h"

struct FreeFit {
    bool made = false;  // false when no more points are compared than there are constants
    int points_compared = 0;
    double constants[CONSTANTS] = {};
    double sum_of_squares = 0.0;
    Covariance covariance;  // of every constant, in index order
    ProfileInterval intervals[CONSTANTS];
    ResidualRuns runs;
    // A divisor that ran off towards infinity, where the law is the one it tends to (-1: none):
    // held where it went, with no standard error or interval; the others' are worked out
    // with it held.
    int ran_off = -1;

    // What the intervals are worked out from: the optimum (every constant, in midpoints), the
    // space of the constants that moved, the evaluation there, the Jacobian's columns and the
    // covariance in that space's coordinates.
    std::vector<double> point;
    FitSpace space{};
    Evaluation at;
    std::vector<std::vector<double>> columns;
    Covariance space_covariance;
};

// n: the points compared (the same for every constant).
FreeFit free_fit(int n);

// The same in steps, for callers that spread them over processes: the optimum (empty when
// n <= k), everything at it but the intervals (from the optimum alone, or found with it), and
// the interval of constant j.
std::vector<double> free_fit_point(int n);
FreeFit free_fit_at(const std::vector<double>& point, int n);
FreeFit free_fit_without_intervals(int n);
ProfileInterval free_fit_interval(const FreeFit& fit, int j);
