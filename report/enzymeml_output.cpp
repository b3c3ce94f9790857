#include "report/enzymeml_output.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/dataset.h"
#include "formats/enzymeml_document.h"
#include "formats/enzymeml_units.h"
#include "formats/enzymeml_writer.h"
#include "report/curve_results.h"
#include "simulation/rate_law.h"

namespace {

using nlohmann::json;

bool read_text(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return !in.bad();
}

bool is_name_character(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The law's equation with the substrate's species id for S; the constants keep their names,
// which are the parameters' ids.
std::string equation_for(const std::string& species) {
    const std::string text = LAW_EQUATION;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (is_name_character(text[i])) {
            std::size_t end = i;
            while (end < text.size() && is_name_character(text[end]))
                ++end;
            const std::string word = text.substr(i, end - i);
            out += word == "S" ? species : word;
            i = end;
        } else {
            out += text[i++];
        }
    }
    return out;
}

double number(const json& j, const char* key) {
    return j.contains(key) && j[key].is_number() ? j[key].get<double>() : 0.0;
}

// The simulated courses at the free fit, each in its source's units.
std::vector<formats::SimulatedCourse> courses(const FitReport& report, const json& record) {
    FitReport at_free = report;
    for (CurveResult& curve : at_free.curves) {
        curve.sim_time.clear();
        curve.sim_value.clear();
    }
    draw_curves(report.free_fit.constants, at_free);
    const double conc = number(record["concentration"], "mol_per_litre");
    const double time = number(record["time"], "seconds");
    std::vector<formats::SimulatedCourse> all;
    for (std::size_t p = 0; p < at_free.curves.size() && p < record["curves"].size(); ++p) {
        const json& r = record["curves"][p];
        formats::SimulatedCourse course;
        course.measurement_id = r.value("measurement_id", "");
        const double source_conc = number(r["source_concentration"], "mol_per_litre");
        const double source_time = number(r["source_time"], "seconds");
        const double shift = number(r, "time_shift");
        const CurveResult& curve = at_free.curves[p];
        for (std::size_t i = 0; i < curve.sim_time.size(); ++i) {
            course.time.push_back(curve.sim_time[i] * time / source_time + shift);
            course.data.push_back(curve.sim_value[i] * conc / source_conc);
        }
        all.push_back(course);
    }
    return all;
}

}  // namespace

bool enzymeml_document(const FitReport& report, const std::string& source,
                       const std::string& parameter_file, std::string& document,
                       std::string& error) {
    const std::filesystem::path folder = std::filesystem::path(parameter_file).parent_path();
    const std::string record_path = (folder / "import.json").string();
    std::string text, record_text;
    if (!read_text(source, text)) {
        error = "cannot read the EnzymeML document " + source;
        return false;
    }
    if (!read_text(record_path, record_text)) {
        error = "cannot read " + record_path +
                ", the record velkor-import writes beside the "
                "parameter file: --enzymeml needs a problem made by velkor-import";
        return false;
    }
    try {
        const json doc = formats::parse_enzymeml(text, source);
        const json record = json::parse(record_text);
        if (!report.free_fit.made || record["curves"].size() != report.curves.size()) {
            error = report.free_fit.made
                        ? record_path + " names " + std::to_string(record["curves"].size()) +
                              " curves, the parameter file " + std::to_string(report.curves.size())
                        : "the free fit was not made: nothing to write back";
            return false;
        }
        formats::FitForDocument fit;
        fit.species_id = record["source"].value("species_id", "");
        fit.equation = equation_for(fit.species_id);
        const formats::Unit conc{record["concentration"].value("name", ""),
                                 number(record["concentration"], "mol_per_litre")};
        const formats::Unit time{record["time"].value("name", ""),
                                 number(record["time"], "seconds")};
        for (int j = 0; j < CONSTANTS; ++j) {
            formats::FittedConstant c;
            c.id = c.name = LAW_CONSTANTS[j].name;
            c.value = report.free_fit.constants[j];
            c.standard_error = report.free_fit.covariance.standard_error(j);
            c.lower_bound = report.ranges.constant_min[j];
            c.upper_bound = report.ranges.constant_max[j];
            c.initial_value = (report.ranges.constant_min[j] + report.ranges.constant_max[j]) / 2;
            const ConstantRole role = LAW_CONSTANTS[j].role;
            if (role == ConstantRole::AFFINITY || role == ConstantRole::DIVISOR)
                c.unit = formats::unit_definition(conc, time, 0);
            else if (role == ConstantRole::MAXIMAL_RATE)
                c.unit = formats::unit_definition(conc, time, -1);
            fit.constants.push_back(c);
        }
        fit.courses = courses(report, record);
        document =
            formats::write_enzymeml(doc, fit).dump(2, ' ', false, json::error_handler_t::replace) +
            "\n";
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}
