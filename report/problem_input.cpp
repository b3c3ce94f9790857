#include "report/problem_input.h"

#include "problem/verbose.h"

void read_problem(const std::string& parameterFile, ReadProblem& problem) {
    verbose = false;  // standard output is the report's own
    problem.settings = RunSettings{};
    problem.constants = ConstantSet{};
    problem.plots.reset(new PlotSet(PlotSet::Silent{}));
    read_parameter_file(parameterFile, problem.settings, problem.constants, *problem.plots,
                        &problem.reading);
}
