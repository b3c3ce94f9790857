// The fit program's readers, run without their echo on the console.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "problem/records.h"

struct ReadProblem {
    RunSettings settings;
    ConstantSet constants;
    std::unique_ptr<PlotSet> plots;
    // The names of the plot lines in order, as the reader took them (also those beyond the
    // last slot).
    std::vector<std::string> plot_names;
};

// Reads the parameter file and its curve files with the fit program's own readers. Their
// echo is kept from the console, and only the plot names are taken from it, so the names are
// exactly those the reader read; the readers' diagnostics still go to standard error.
void read_problem_quietly(const std::string& parameterFile, ReadProblem& problem);
