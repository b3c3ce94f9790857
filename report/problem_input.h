// The problem as the fit program reads it, read without its echo.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "problem/parameter_file.h"
#include "problem/records.h"

struct ReadProblem {
    RunSettings settings;
    ConstantSet constants;
    std::unique_ptr<PlotSet> plots;
    ParameterFileReading reading;  // whether the file opened, and the plot lines' names
};

// Reads the parameter file and its curve files with the fit program's own readers, their
// echo switched off; their diagnostics still go to standard error.
void read_problem(const std::string& parameterFile, ReadProblem& problem);
