// What one evaluation of the sum of squares gives, handed back by value.
#pragma once

#include <array>
#include <vector>

#include "problem/records.h"
#include "statistics/fit_space.h"

struct Evaluation {
    double sum_of_squares;
    double quality;               // the fit programs' own figure
    double constants[CONSTANTS];  // as the objective used them
    // Per curve: the points the simulation reached (point 0 included), and the simulated
    // value of every point, NaN where it was not reached.
    std::vector<int> points_sampled;
    std::vector<std::vector<double>> simulated;
    // The simulated and the measured values of the compared points, curve by curve, in point
    // order. Which points are compared depends on the times and the data alone.
    std::vector<double> compared;
    std::vector<double> measured;
};

// Evaluates the problem loaded in the workspace at point x of the space.
Evaluation evaluate(const FitSpace& space, const double* x);

// Evaluations at several points of the space, integrated together for speed; each is, to
// the bit, what evaluate gives at its point.
std::vector<Evaluation> evaluate_each(const FitSpace& space,
                                      const std::vector<std::vector<double>>& points);

// The same at the rate constants themselves, as constants_at gives them.
using ConstantValues = std::array<double, CONSTANTS>;
std::vector<Evaluation> evaluate_constants(const std::vector<ConstantValues>& constants);

// Where the evaluations this thread asks for (evaluate, evaluate_each) are made instead of
// here: a search in lockstep hands them to the thread that makes them (statistics/lockstep.h).
// Null: here, at once.
using EvaluationRoute = std::vector<Evaluation> (*)(const std::vector<ConstantValues>&);
void route_evaluations(EvaluationRoute to);
