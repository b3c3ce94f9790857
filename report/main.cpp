// The fit report: the fit that the fit program makes, with what it leaves unsaid.
//
//   exit 0  a fit was made (warnings or not)
//        1  an output file could not be written
//        2  nothing can be fitted: no parameter file read, or no point compared
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "problem/input_file.h"
#include "problem/records.h"
#include "report/analysis.h"
#include "report/figure.h"
#include "report/fit_report.h"
#include "report/input_checks.h"
#include "report/json_output.h"
#include "report/quiet_reading.h"
#include "report/report_options.h"
#include "report/summary.h"
#include "report/table_output.h"

namespace {

const char* const PROGRAM = VELKOR_PROGRAM "-report";

int nothing_to_fit(const std::string& reason) {
    std::cerr << PROGRAM << ": " << reason << std::endl;
    return 2;
}

bool write_outputs(const FitReport& report, const std::string& prefix) {
    const std::string files[] = {prefix + ".json", prefix + ".tsv", prefix + ".gp"};
    const bool written[] = {write_report_json(report, files[0]),
                            write_point_table(report, files[1]),
                            write_figure_script(report, prefix)};
    for (int i = 0; i < 3; ++i) {
        if (!written[i]) {
            std::cerr << PROGRAM << ": cannot write " << files[i] << ": " << std::strerror(errno)
                      << std::endl;
            return false;
        }
    }
    return true;
}

void render(FigureRenderer& renderer, const std::string& prefix) {
    if (!renderer.available()) {
        std::cout << "gnuplot is not installed: render the picture with `gnuplot " << prefix
                  << ".gp` (Debian package gnuplot-nox)" << std::endl;
        return;
    }
    if (renderer.render(prefix))
        std::cout << "picture: " << prefix << ".svg, " << prefix << ".png" << std::endl;
    else
        std::cout << "gnuplot could not render " << prefix << ".gp (see its messages above)"
                  << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    const ReportOptions options = read_report_options(argc, argv);
    if (options.help) {
        print_report_usage(PROGRAM);
        return 0;
    }
    if (!options.surplus.empty()) {
        print_report_usage(PROGRAM);
        return nothing_to_fit("unexpected word " + options.surplus);
    }
    if (!options.file_given) {
        print_report_usage(PROGRAM);
        return nothing_to_fit("no parameter file given (-f FILE)");
    }
    std::ifstream probe;
    if (!open_for_reading(probe, options.parameter_file))
        return nothing_to_fit("cannot open the parameter file " + options.parameter_file);
    probe.close();

    FigureRenderer renderer;  // gnuplot starts while the fit runs

    ReadProblem problem;
    read_problem_quietly(options.parameter_file, problem);
    const ConstantSet& constants = problem.constants;
    PlotSet* plots = problem.plots.get();

    FitReport report{};
    report.program = VELKOR_PROGRAM;
    report.parameter_file = options.parameter_file;
    report.time_unit = options.time_unit;
    report.conc_unit = options.conc_unit;
    analyse_fit(constants, *plots, report);
    for (int p = 0; p < plots->plotCount; ++p)
        report.curves[p].file = problem.plot_names[p];
    std::vector<Warning> fit_warnings;
    fit_warnings.swap(report.warnings);
    check_input(options.parameter_file, constants, *plots, report.points_sampled, report.warnings);
    report.warnings.insert(report.warnings.end(), fit_warnings.begin(), fit_warnings.end());

    if (report.points_compared == 0) {
        print_warnings(report);
        return nothing_to_fit("no point of any curve is compared, so nothing can be fitted");
    }
    if (!write_outputs(report, options.prefix)) return 1;
    print_summary(report);
    render(renderer, options.prefix);
    return 0;
}
