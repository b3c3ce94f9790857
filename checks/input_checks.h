// Warnings about the traps of the input format: what the readers passed over or misread,
// and where the problem as read will not be fitted the way its author meant.
#pragma once

#include <string>
#include <vector>

#include "checks/warning.h"
#include "problem/records.h"

// Reads the parameter file and every curve file it names again, line by line (so that each
// warning can name its file and line), and appends a warning for every trap found.
// constants and plots are the records as the readers filled them from the same files;
// `fit` is what the fit saw: points_sampled[p] is the number of points of curve p, point 0
// included, that the simulation reached (the objective's count). Never throws, never crashes on any
// input, and reads nothing but the named regular files.
struct FitFacts {
    const int* points_sampled;  // per curve, point 0 included
    // Per curve and point the simulated value (NaN where not reached), and the residual sd,
    // for the checks of the curves' tails; none when null.
    const std::vector<std::vector<double>>* simulated = nullptr;
    double residual_sd = 0.0;
};

void check_input(const std::string& parameterFile, const ConstantSet& constants,
                 const PlotSet& plots, const FitFacts& fit, std::vector<Warning>& warnings);
