// The fit report: the fit that the fit program makes, with what it leaves unsaid.
//
//   exit 0  a fit was made (warnings or not)
//        1  an output file could not be written
//        2  nothing can be fitted: no parameter file read, or no point compared
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "checks/input_checks.h"
#include "outputs/gnuplot_process.h"
#include "outputs/pending_files.h"
#include "problem/records.h"
#include "report/enzymeml_output.h"
#include "report/figure_layout.h"
#include "report/figure_script.h"
#include "report/fit_analysis.h"
#include "report/fit_report.h"
#include "report/free_only.h"
#include "report/json_output.h"
#include "report/law_json.h"
#include "report/problem_input.h"
#include "report/report_options.h"
#include "report/summary.h"
#include "report/table_output.h"

namespace {

const char* const PROGRAM = VELKOR_PROGRAM "-report";

// A parameter file the reader could not open would make it print its own complaint; this
// asks the file system instead of opening the file a second time.
bool readable_file(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

int nothing_to_fit(const std::string& reason) {
    std::cerr << PROGRAM << ": " << reason << std::endl;
    return 2;
}

int bad_command_line(const std::string& reason) {
    std::cerr << PROGRAM << ": " << reason << std::endl;
    print_report_usage(PROGRAM, std::cerr);
    return 2;
}

// PREFIX.json, .tsv and .gp, all or none; the reason of a failure on standard error.
// `enzymeml`: the document for PREFIX.enzymeml.json, none when empty.
bool write_outputs(const FitReport& report, const FigureLayout& layout, const std::string& prefix,
                   const std::string& enzymeml) {
    PendingFiles files;
    const std::string names[] = {prefix + ".json", prefix + ".tsv", prefix + ".gp",
                                 prefix + ".enzymeml.json"};
    const int count = enzymeml.empty() ? 3 : 4;
    std::string paths[4];
    for (int i = 0; i < count; ++i)
        paths[i] = files.add(names[i]);
    bool written[] = {write_report_json(report, paths[0]), write_point_table(report, paths[1]),
                      write_figure_script(report, layout, prefix, paths[2]), true};
    if (count == 4) {
        std::ofstream out(paths[3], std::ios::binary);
        out << enzymeml;
        out.close();
        written[3] = static_cast<bool>(out);
    }
    for (int i = 0; i < count; ++i) {
        if (!written[i]) {
            std::cerr << PROGRAM << ": cannot write " << names[i] << ": " << std::strerror(errno)
                      << std::endl;
            return false;
        }
    }
    std::string failed;
    if (files.commit(failed)) return true;
    std::cerr << PROGRAM << ": cannot write " << failed << ": " << std::strerror(errno)
              << std::endl;
    return false;
}

// The images are rendered under temporary names too and renamed once both are complete;
// images of an earlier run are removed first, so that none passes for this run's.
void render(FigureRenderer& renderer, const FigureLayout& layout, const std::string& prefix) {
    const std::string svg = prefix + ".svg", png = prefix + ".png";
    std::remove(svg.c_str());
    std::remove(png.c_str());
    if (!renderer.available()) {
        std::cout << "gnuplot is not installed: render the picture with `gnuplot " << prefix
                  << ".gp` (Debian package gnuplot-nox)" << std::endl;
        return;
    }
    const std::string drawn = prefix + ".partial-" + std::to_string(getpid());
    const bool rendered = renderer.render(prefix + ".gp", drawn) &&
                          std::rename((drawn + ".svg").c_str(), svg.c_str()) == 0 &&
                          std::rename((drawn + ".png").c_str(), png.c_str()) == 0;
    std::remove((drawn + ".svg").c_str());
    std::remove((drawn + ".png").c_str());
    if (rendered) {
        std::cout << "picture: " << svg << ", " << png << " (" << described(layout) << ")"
                  << std::endl;
        return;
    }
    std::remove(svg.c_str());
    std::cout << "gnuplot could not render " << prefix << ".gp (see its messages above)"
              << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    const ReportOptions options = read_report_options(argc, argv);
    if (!options.error.empty()) return bad_command_line(options.error);
    if (options.help) {
        print_report_usage(PROGRAM, std::cout);
        return 0;
    }
    if (options.law) {
        std::cout << law_json().dump(2) << std::endl;
        return 0;
    }
    if (options.parameter_file.empty())
        return bad_command_line("no parameter file given (-f FILE)");
    if (!readable_file(options.parameter_file))
        return nothing_to_fit("cannot open the parameter file " + options.parameter_file);

    ReadProblem problem;
    if (options.free_only) {
        read_problem(options.parameter_file, problem);
        if (!problem.reading.opened)
            return nothing_to_fit("cannot open the parameter file " + options.parameter_file);
        return report_free_fit_only(VELKOR_PROGRAM, options.parameter_file, problem.constants,
                                    *problem.plots, problem.reading.plot_names, options.prefix);
    }

    FigureRenderer renderer;  // gnuplot starts while the fit runs
    read_problem(options.parameter_file, problem);
    if (!problem.reading.opened)
        return nothing_to_fit("cannot open the parameter file " + options.parameter_file);
    const ConstantSet& constants = problem.constants;
    PlotSet* plots = problem.plots.get();

    FitReport report{};
    report.program = VELKOR_PROGRAM;
    report.parameter_file = options.parameter_file;
    report.time_unit = options.time_unit;
    report.conc_unit = options.conc_unit;
    analyse_fit(constants, *plots, problem.reading.plot_names, report);
    std::vector<Warning> fit_warnings;
    fit_warnings.swap(report.warnings);
    std::vector<std::vector<double>> simulated;
    for (const CurveResult& curve : report.curves) {
        simulated.emplace_back();
        for (const PointRow& row : curve.points)
            simulated.back().push_back(row.simulated);
    }
    const FitFacts facts{report.points_sampled, &simulated, report.residual_sd};
    check_input(options.parameter_file, constants, *plots, facts, report.warnings);
    report.warnings.insert(report.warnings.end(), fit_warnings.begin(), fit_warnings.end());

    if (report.points_compared == 0) {
        print_warnings(report);
        return nothing_to_fit("no point of any curve is compared, so nothing can be fitted");
    }
    const FigureLayout layout = choose_layout(report, options.picture);
    std::string enzymeml, enzymeml_error;
    if (!options.enzymeml.empty() &&
        !enzymeml_document(report, options.enzymeml, options.parameter_file, enzymeml,
                           enzymeml_error))
        return nothing_to_fit(enzymeml_error);
    if (!write_outputs(report, layout, options.prefix, enzymeml)) return 1;
    print_summary(report);
    render(renderer, layout, options.prefix);
    return 0;
}
