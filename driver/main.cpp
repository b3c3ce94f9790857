// Program entry: read the command line and the problem, then fit it nine times.
#include <iostream>

#include "driver/command_line.h"
#include "driver/fit_driver.h"
#include "problem/records.h"
#include "problem/verbose.h"

namespace {
// The same fit, nine times: every run is identical, and the repeated output is part of the
// program's output format that scripts rely on.
constexpr int FIT_RUNS = 9;
}  // namespace

int main(int argc, char** argv) {
    // Value-initialised, so a run without a parameter file works on zeros.
    RunSettings* settings = new RunSettings();
    ConstantSet* constants = new ConstantSet();
    PlotSet* plots = new PlotSet();

    read_command_line(argc, argv, *settings, *constants, *plots);

    if (verbose) {
        std::cout << "workSet" << std::endl;
        std::cout << settings->max_error << " " << settings->max_iterations << " "
                  << settings->integration_steps << std::endl;
    }
    std::cout << "<----------Calculation Results ---------->" << std::endl;

    for (int run = 0; run < FIT_RUNS; ++run)
        run_fit(constants, plots, settings);

    delete settings;
    delete constants;
    delete plots;
    return 0;
}
