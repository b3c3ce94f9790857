#include "report/json_output.h"

#include <cctype>
#include <fstream>
#include <nlohmann/json.hpp>

#include "simulation/rate_law.h"

namespace {

// Keys in the order a reader meets them: the fit first, the curves and warnings last.
using json = nlohmann::ordered_json;

// JSON keys of the constants: their names in lower case (km, vmax, k2).
std::string key(int j) {
    std::string key(LAW_CONSTANTS[j].name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// NaN is dumped as null.
json pair(double a, double b) {
    return json::array({a, b});
}

json interval_json(const ProfileInterval& p) {
    return pair(p.lower.end(), p.upper.end());
}

json runs_json(const ResidualRuns& r, const FitReport& report) {
    if (!r.made) return nullptr;
    json longest = json::array();
    for (const SignStretch& s : r.longest)
        longest.push_back({{"curve", s.curve + 1},
                           {"file", report.curves[s.curve].file},
                           {"first_point", s.first},
                           {"last_point", s.last},
                           {"length", s.length},
                           {"sign", s.sign > 0 ? "above" : "below"}});
    return {{"test", "runs of residual signs, within each curve, pooled"},
            {"runs", r.runs},
            {"expected_runs", r.expected},
            {"variance", r.variance},
            {"positive", r.positive},
            {"negative", r.negative},
            {"z", r.z},
            {"p_value", r.p_value},
            {"longest", longest}};
}

}  // namespace

nlohmann::ordered_json free_fit_json(const FitReport& report) {
    const FreeFit& free = report.free_fit;
    if (!free.made) return nullptr;
    const Covariance& c = free.covariance;
    json j;
    for (int k = 0; k < CONSTANTS; ++k)
        j[key(k)] = free.constants[k];
    for (int k = 0; k < CONSTANTS; ++k)
        j[key(k) + "_standard_error"] = c.standard_error(k);
    j["correlation"] = c.correlation(0, 1);
    json matrix = json::array();
    for (int k = 0; k < CONSTANTS; ++k) {
        json row = json::array();
        for (int l = 0; l < CONSTANTS; ++l)
            row.push_back(c.correlation(k, l));
        matrix.push_back(row);
    }
    j["correlations"] = matrix;
    for (int k = 0; k < CONSTANTS; ++k)
        j[key(k) + "_ci95"] = interval_json(free.intervals[k]);
    j["sum_of_squares"] = free.sum_of_squares;
    j["residual_test"] = runs_json(free.runs, report);
    return j;
}

nlohmann::ordered_json warnings_json(const FitReport& report) {
    json warnings = json::array();
    for (const Warning& w : report.warnings)
        warnings.push_back({{"file", w.file.empty() ? json(nullptr) : json(w.file)},
                            {"line", w.line > 0 ? json(w.line) : json(nullptr)},
                            {"kind", w.kind},
                            {"message", w.message}});
    return warnings;
}

namespace {

json curves_json(const FitReport& report) {
    json curves = json::array();
    for (const CurveResult& curve : report.curves)
        curves.push_back({{"file", curve.file},
                          {"initial_concentration", curve.initial_concentration},
                          {"points", curve.points.size()},
                          {"points_compared", curve.points_compared},
                          {"rms_residual", curve.rms_residual},
                          {"r_squared", curve.r_squared}});
    return curves;
}

json report_json(const FitReport& report) {
    json j;
    j["program"] = report.program;
    j["law"] = LAW_NAME;
    j["parameter_file"] = report.parameter_file;
    j["units"] = {{"time", report.time_unit}, {"concentration", report.conc_unit}};
    j[key(0)] = report.constants[0];
    json held = json::object(), ranges = json::object();
    for (int c = 0; c < CONSTANTS; ++c) {
        if (c > 0) held[key(c)] = report.constants[c];
        ranges[key(c)] = pair(report.ranges.constant_min[c], report.ranges.constant_max[c]);
    }
    j["held"] = held;
    j["ranges"] = ranges;
    j["points_compared"] = report.points_compared;
    j["sum_of_squares"] = report.sum_of_squares;
    j["residual_sd"] = report.residual_sd;
    j["r_squared"] = report.r_squared;
    j["quality"] = report.quality;
    j[key(0) + "_standard_error"] = report.standard_error;
    j[key(0) + "_ci95"] = pair(report.ci95[0], report.ci95[1]);
    for (int c = 1; c < CONSTANTS; ++c)
        j[key(0) + "_at_" + key(c) + "_range_ends"] =
            pair(report.at_range_ends[c][0], report.at_range_ends[c][1]);
    j["residual_test"] = runs_json(report.runs, report);
    j["free_fit"] = free_fit_json(report);
    j["curves"] = curves_json(report);
    j["warnings"] = warnings_json(report);
    return j;
}

}  // namespace

bool write_report_json(const FitReport& report, const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    if (!file) return false;
    // Invalid UTF-8 in a file name must not stop the report: replace it.
    file << report_json(report).dump(2, ' ', false, json::error_handler_t::replace) << '\n';
    file.close();
    return static_cast<bool>(file);
}
