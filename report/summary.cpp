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

// "value ± se", or the value and "held".
std::string estimate(double value, double se, bool held) {
    return held ? g(value, 5) + " held" : g(value, 5) + " ± " + g(se, 2);
}

std::string interval_of(const ProfileInterval& p) {
    if (!p.made || p.exact_match) return "undefined";
    const auto side = [](const IntervalEnd& e) {
        return e.kind == IntervalEnd::FOUND       ? g(e.value, 5)
               : e.kind == IntervalEnd::UNBOUNDED ? std::string("unbounded")
                                                  : std::string("undefined");
    };
    return side(p.lower) + " .. " + side(p.upper);
}

std::string runs_text(const ResidualRuns& r) {
    if (!r.made) return "undefined";
    return "p = " + g(r.p_value, 2) + " (" + std::to_string(r.runs) + " runs, " + g(r.expected, 3) +
           " expected)";
}

// Characters of UTF-8 text ("±" is two bytes, one character).
std::size_t characters(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

std::string padded(const std::string& text, std::size_t width) {
    const std::size_t n = characters(text);
    return text + std::string(n < width ? width - n : 1, ' ');
}

// Label, held fit, free fit: the two fits side by side.
constexpr std::size_t LABEL_WIDTH = 24, HELD_WIDTH = 37;

void row(const std::string& label, const std::string& held, const std::string& free) {
    std::cout << padded(label, LABEL_WIDTH) << padded(held, HELD_WIDTH) << free << std::endl;
}

void print_both_fits(const FitReport& report) {
    const FreeFit& free = report.free_fit;
    std::cout << std::endl;
    std::string holds;
    for (int j = 1; j < CONSTANTS; ++j)
        holds += (j == 1 ? "" : ", ") + name(j) + " " + g(report.constants[j]);
    row("the two fits", report.beyond_fit_program ? "held fit" : "held fit (the fit program's)",
        "free fit");
    row("", "holds " + holds, free.made ? "every constant fitted" : "not made");
    if (!free.made) {
        row("", "", "(it needs more points than constants)");
        return;
    }
    const Covariance& c = free.covariance;
    for (int j = 0; j < CONSTANTS; ++j) {
        row(name(j), estimate(report.constants[j], report.standard_error, j > 0),
            estimate(free.constants[j], c.standard_error(j), false));
        const std::string held_interval =
            j == 0 ? interval(report).substr(0, interval(report).find(" (profile)")) : "";
        row("  95 % interval", held_interval, interval_of(free.intervals[j]));
    }
    const int n = free.points_compared;
    row("sum of squares", g(report.sum_of_squares), g(free.sum_of_squares));
    row("residual sd", with_unit(g(report.residual_sd, 3), report.conc_unit),
        with_unit(g(std::sqrt(free.sum_of_squares / (n - CONSTANTS)), 3), report.conc_unit));
    row("residual signs' runs", runs_text(report.runs), runs_text(free.runs));
    std::string correlations;
    for (int j = 0; j < CONSTANTS; ++j)
        for (int l = j + 1; l < CONSTANTS; ++l)
            correlations += (correlations.empty() ? "" : ", ") + name(j) + "-" + name(l) + " " +
                            g(c.correlation(j, l), 3);
    row("correlations", "", correlations);
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
    print_both_fits(report);
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
