#include "import/parameter_text.h"

#include <cmath>

#include "formats/units.h"

namespace velkor_import {

namespace {

using formats::number_text;

std::string one_word(const std::string& text) {
    std::string word = "'";
    for (char c : text)
        word += static_cast<unsigned char>(c) <= 0x20 || c == 0x7F ? '_' : c;
    return word + "'";
}

std::string estimate(const char* what, double value, double se, const std::string& unit) {
    return std::string(what) + " " + number_text(value) + " " + unit +
           (std::isfinite(se) ? " (standard error " + number_text(se) + ")"
                              : " (standard error unknown)");
}

std::string range_line(int index, const Range& r) {
    return "const " + std::to_string(index) + " " + number_text(r.low) + " " +
           number_text(r.value) + " " + number_text(r.high) + "\n";
}

}  // namespace

Range centred_range(double value, double standard_error) {
    const double half = value / 2;
    const double w = std::isfinite(standard_error) && standard_error >= 0
                         ? std::min(2 * standard_error, half)
                         : half;
    return {value - w, value, value + w};
}

std::string parameter_file_text(const Problem& problem, const FreeFit& fit,
                                const std::string& source) {
    const std::string rate = problem.conc.name + "/" + problem.time.name;
    std::string text;
    text += "# Written by velkor-import from " + one_word(source) + ": " +
            std::to_string(problem.curves.size()) + " curves.\n";
    text += "# Concentrations and Km in " + problem.conc.name + ", times in " + problem.time.name +
            ", Vmax in " + rate + ".\n";
    text += "# Km and Vmax estimated together by " + fit.method + ":\n";
    text += "#   " + estimate("Km", fit.km, fit.km_se, problem.conc.name) + ",\n";
    text += "#   " + estimate("Vmax", fit.vmax, fit.vmax_se, rate) + ".\n";
    text +=
        "# Index 0 is Km: the fit starts at the middle of its range. Index 1 is Vmax: held at\n";
    text +=
        "# the middle of its range. Each range is the estimate plus or minus twice its standard\n";
    text +=
        "# error, at most half the estimate. The three settings below are read and echoed only.\n";
    text += "integration_steps 1000\nmax_iterations 200\nmax_error 1e-6\n";
    text += range_line(0, centred_range(fit.km, fit.km_se));
    text += range_line(1, centred_range(fit.vmax, fit.vmax_se));
    for (const ProblemCurve& curve : problem.curves)
        text += "plot " + curve.file + "\n";
    return text;
}

}  // namespace velkor_import
