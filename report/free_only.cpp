#include "report/free_only.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "checks/input_checks.h"
#include "outputs/pending_files.h"
#include "report/curve_results.h"
#include "report/fit_warnings.h"
#include "report/json_output.h"
#include "report/law_json.h"
#include "simulation/workspace.h"
#include "statistics/free_fit.h"

namespace {

using json = nlohmann::ordered_json;

json curve_json(const CurveResult& curve) {
    json time = json::array(), measured = json::array(), simulated = json::array(),
         compared = json::array(), drawn_time = json::array(), drawn_value = json::array();
    for (const PointRow& row : curve.points) {
        time.push_back(row.time);
        measured.push_back(row.measured);
        simulated.push_back(row.simulated);
        compared.push_back(row.compared ? 1 : 0);
    }
    for (size_t i = 0; i < curve.sim_time.size(); ++i) {
        drawn_time.push_back(curve.sim_time[i]);
        drawn_value.push_back(curve.sim_value[i]);
    }
    return {{"file", curve.file},
            {"initial_concentration", curve.initial_concentration},
            {"time", time},
            {"measured", measured},
            {"simulated", simulated},
            {"compared", compared},
            {"drawn_time", drawn_time},
            {"drawn_value", drawn_value}};
}

}  // namespace

int report_free_fit_only(const std::string& program, const std::string& parameter_file,
                         const ConstantSet& constants, PlotSet& plots,
                         const std::vector<std::string>& files, const std::string& prefix) {
    FitReport report{};
    report.program = program;
    report.parameter_file = parameter_file;
    report.ranges = constants;
    load_workspace(&constants, &plots);
    const double start = 1.0;
    const Evaluation at_mid = evaluate(space_with_free({0}), &start);
    const int n = static_cast<int>(at_mid.compared.size());
    report.free_fit = free_fit(n);
    const Evaluation& at = report.free_fit.made ? report.free_fit.at : at_mid;
    fill_curves(at, report);
    for (size_t p = 0; p < report.curves.size() && p < files.size(); ++p)
        report.curves[p].file = files[p];
    draw_curves(at.constants, report);
    warn_about_free_fit_only(report);
    const FitFacts facts{report.points_sampled};
    std::vector<Warning> input;
    check_input(parameter_file, constants, plots, facts, input);
    report.warnings.insert(report.warnings.begin(), input.begin(), input.end());
    if (report.points_compared == 0) {
        std::cerr << program
                  << "-report: no point of any curve is compared, so nothing can be "
                     "fitted"
                  << std::endl;
        return 2;
    }

    json j = law_json();
    j["parameter_file"] = parameter_file;
    j["points_compared"] = report.points_compared;
    j["free_fit"] = free_fit_json(report);
    json curves = json::array();
    for (const CurveResult& curve : report.curves)
        curves.push_back(curve_json(curve));
    j["curves"] = curves;
    j["warnings"] = warnings_json(report);

    PendingFiles pending;
    const std::string path = pending.add(prefix + ".json");
    std::ofstream out(path, std::ios::binary);
    out << j.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
    out.close();
    std::string failed;
    if (!out || !pending.commit(failed)) {
        std::cerr << program << "-report: cannot write " << prefix
                  << ".json: " << std::strerror(errno) << std::endl;
        return 1;
    }
    return 0;
}
