#include "report/summary.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

#include "simulation/rate_law.h"
#include "text/number_text.h"

namespace {

// %.Ng, or "undefined" for NaN.
std::string g(double v, int digits = 6) {
    return significant(v, digits, NonFinite::UNDEFINED);
}

// The fit program's own format, so the two can be compared digit for digit.
std::string e5(double v) {
    return number_text(v, "%10.5e");
}

std::string name(int j) {
    return LAW_CONSTANTS[j].name;
}

std::string with_unit(const std::string& value, const std::string& unit) {
    return unit.empty() || value == "undefined" ? value : value + " " + unit;
}

void line(const std::string& label, const std::string& value) {
    char head[32];
    std::snprintf(head, sizeof head, "%-22s", label.c_str());
    std::cout << head << value << std::endl;
}

int point_count(const FitReport& report) {
    int points = 0;
    for (const CurveResult& curve : report.curves)
        points += static_cast<int>(curve.points.size());
    return points;
}

std::string interval(const FitReport& report) {
    const double low = report.ci95[0], high = report.ci95[1];
    if (std::isnan(low) && std::isnan(high) && std::isnan(report.standard_error))
        return "undefined";
    return (std::isnan(low) ? std::string("unbounded") : g(low)) + " .. " +
           (std::isnan(high) ? std::string("unbounded") : g(high)) + " (profile)";
}

void print_held(const FitReport& report) {
    for (int j = 1; j < CONSTANTS; ++j) {
        line(name(j) + " held at", g(report.constants[j]) + " (midpoint of " +
                                       g(report.ranges.constant_min[j]) + " .. " +
                                       g(report.ranges.constant_max[j]) + ")");
    }
}

// A refit that ran into the clamp at 0 gives a bound, not an estimate.
std::string refit(double value) {
    return value == 0.0 ? "0 (held at 0)" : g(value, 4);
}

void print_sensitivity(const FitReport& report) {
    for (int j = 1; j < CONSTANTS; ++j) {
        const std::string ends =
            refit(report.at_range_ends[j][0]) + " .. " + refit(report.at_range_ends[j][1]);
        line(name(0) + " with " + name(j) + " at ends",
             ends + " (" + name(j) + " = " + g(report.ranges.constant_min[j]) + " .. " +
                 g(report.ranges.constant_max[j]) + ")");
    }
}

void print_free_fit(const FitReport& report) {
    const FreeFit& free = report.free_fit;
    if (!free.made) {
        line("free fit", "not made (fewer than 3 points compared)");
        return;
    }
    const Covariance& c = free.covariance;
    line("free fit (" + name(0) + ", " + name(1) + ")",
         name(0) + " " + g(free.constants[0], 5) + " ± " + g(c.standard_error(0), 2) + ", " +
             name(1) + " " + g(free.constants[1], 5) + " ± " + g(c.standard_error(1), 2) +
             ", correlation " + g(c.correlation(0, 1), 3));
    std::cout << "                      (the fit program holds " << name(1)
              << "; this fit does not)" << std::endl;
}

}  // namespace

void print_summary(const FitReport& report) {
    std::cout << report.program << " fit of " << report.parameter_file << ": " << name(0)
              << " fitted, the other constants held" << std::endl;
    print_held(report);
    line("points compared", std::to_string(report.points_compared) + " of " +
                                std::to_string(point_count(report)) + " in " +
                                std::to_string(report.curves.size()) + " curves");
    line("sum of squares", g(report.sum_of_squares));
    line("residual sd", with_unit(g(report.residual_sd, 3), report.conc_unit));
    line("R squared",
         g(report.r_squared) + " (the fit program's quality figure: " + e5(report.quality) + ")");
    line(name(0),
         e5(report.constants[0]) + " ± " + g(report.standard_error, 2) + " (standard error)");
    line("95 % interval of " + name(0), interval(report));
    print_sensitivity(report);
    print_free_fit(report);
    print_warnings(report);
}

void print_warnings(const FitReport& report) {
    if (report.warnings.empty()) {
        std::cout << "no warnings" << std::endl;
        return;
    }
    std::cout << "warnings (" << report.warnings.size() << "):" << std::endl;
    for (const Warning& w : report.warnings) {
        std::cout << "  ";
        if (!w.file.empty()) std::cout << w.file << (w.line > 0 ? ":" : "");
        if (w.line > 0) std::cout << w.line;
        if (!w.file.empty()) std::cout << ": ";
        std::cout << w.message << std::endl;
    }
}
