#include "report/fit_warnings.h"

#include <cmath>
#include <string>

#include "simulation/rate_law.h"
#include "text/number_text.h"

namespace {

// A held constant this many standard errors or more from its free-fit value is at odds
// with the data.
constexpr double HELD_STANDARD_ERRORS = 2.0;
// Below this p the residuals' signs are taken to run in stretches.
constexpr double RUNS_LEVEL = 0.05;
// Stretches named in the warning about the residuals.
constexpr int STRETCHES_NAMED = 3;

void warn(FitReport& report, const char* kind, const std::string& message) {
    report.warnings.emplace_back(report.parameter_file, 0, kind, message);
}

std::string number(double v) {
    return number_text(v, "%.6g");
}

std::string name(int j) {
    return LAW_CONSTANTS[j].name;
}

void warn_about_value(FitReport& report) {
    const double value = report.constants[0];
    const double low = report.ranges.constant_min[0], high = report.ranges.constant_max[0];
    if (value == 0.0) {
        warn(report, "km_clamped",
             name(0) + " is held at 0: the fit asked for a negative " + name(0) +
                 ", which the objective replaces by 0, so the result is a bound, not an "
                 "estimate");
    } else if (value < low || value > high) {
        warn(report, "km_outside_range",
             "the fitted " + name(0) + " " + number(value) + " lies outside the range " +
                 number(low) + " .. " + number(high) +
                 " given for constant 0: the range only sets the start of the fit (its "
                 "midpoint) and does not bound it");
    }
}

// What an unbounded side of a constant's interval says about the law.
std::string unbounded_meaning(int j, int side) {
    if (side > 0 && LAW_CONSTANTS[j].role == ConstantRole::DIVISOR)
        return ": the data are as well described without the effect of " + name(j);
    if (side < 0 && LAW_CONSTANTS[j].role == ConstantRole::DECAY_RATE)
        return ": the data are as well described without the effect of " + name(j);
    return "";
}

void warn_about_end(const IntervalEnd& end, int side, int j, const std::string& fit,
                    FitReport& report) {
    const std::string which = std::string("the ") + (side < 0 ? "lower" : "upper") +
                              " end of the " + fit + "95 % interval of " + name(j);
    switch (end.kind) {
        case IntervalEnd::FOUND:
            return;
        case IntervalEnd::UNDEFINED:
            warn(report, "interval_undefined",
                 which + " is undefined: the sum of squares is not a number at " + name(j) + " = " +
                     number(end.value));
            return;
        case IntervalEnd::UNBOUNDED:
            warn(report, "interval_unbounded",
                 which + " is unbounded: the sum of squares stays below the level up to " +
                     name(j) + " = " + number(end.value) + unbounded_meaning(j, side));
            return;
        case IntervalEnd::NOT_FOUND:
            warn(report, "interval_undefined", which + " was not found: " + end.reason);
            return;
    }
}

void warn_about_held_fit(const HeldFit& fit, FitReport& report) {
    warn_about_value(report);
    if (fit.never_moves) {
        warn(report, "not_determined",
             "the rate is zero at the start of every curve, so the simulated curves never "
             "leave their initial concentrations and " +
                 name(0) + " cannot be determined: no standard error and no interval are given");
    } else if (fit.no_dependence) {
        warn(report, "not_determined",
             "the simulated values do not depend on " + name(0) + ": " + name(0) +
                 " cannot be determined");
    } else if (fit.interval.exact_match) {
        warn(report, "exact_fit",
             "the curves are matched exactly (the sum of squares is 0): " + name(0) +
                 " has no 95 % interval");
    } else if (fit.interval.made) {
        warn_about_end(fit.interval.lower, -1, 0, "", report);
        warn_about_end(fit.interval.upper, +1, 0, "", report);
    }
}

void warn_about_free_fit(FitReport& report) {
    const FreeFit& free = report.free_fit;
    if (!free.made) return;
    if (!free.covariance.defined) {
        warn(report, "not_determined",
             "the fit of every constant together cannot tell them apart (J^T J is singular): "
             "its constants are not determined by these curves");
        return;
    }
    if (free.ran_off >= 0)
        warn(report, "not_determined",
             "the free fit's " + name(free.ran_off) + " ran off to " +
                 number(free.constants[free.ran_off]) +
                 ": the curves show none of its term, so the law is the one it tends to as " +
                 name(free.ran_off) +
                 " grows; it has no standard error or interval, and the other constants' are "
                 "those of that law");
    for (int j = 0; j < CONSTANTS; ++j) {
        if (j == free.ran_off) continue;
        warn_about_end(free.intervals[j].lower, -1, j, "free fit's ", report);
        warn_about_end(free.intervals[j].upper, +1, j, "free fit's ", report);
    }
}

std::string interval_text(double low, double high) {
    return (std::isnan(low) ? std::string("unbounded") : number(low)) + " .. " +
           (std::isnan(high) ? std::string("unbounded") : number(high));
}

// A held constant far from the data's value, or intervals of constant 0 that do not meet.
void warn_about_held_constants(FitReport& report) {
    const FreeFit& free = report.free_fit;
    if (!free.made || !free.covariance.defined) return;
    std::string far;
    for (int j = 1; j < CONSTANTS; ++j) {
        const double se = free.covariance.standard_error(j);
        const double distance = std::fabs(report.constants[j] - free.constants[j]) / se;
        if (!(distance > HELD_STANDARD_ERRORS)) continue;
        far += (far.empty() ? "" : "; ") + name(j) + " is held at " + number(report.constants[j]) +
               ", but the free fit gives " + number(free.constants[j]) + " ± " +
               significant(se, 2) + ", " + significant(distance, 2) + " standard errors away";
    }
    const double free_low = free.intervals[0].lower.end(),
                 free_high = free.intervals[0].upper.end();
    const bool apart =
        (!std::isnan(report.ci95[1]) && !std::isnan(free_low) && report.ci95[1] < free_low) ||
        (!std::isnan(report.ci95[0]) && !std::isnan(free_high) && report.ci95[0] > free_high);
    if (far.empty() && !apart) return;
    std::string held_list;
    for (int j = 1; j < CONSTANTS; ++j)
        held_list += (j == 1 ? "" : ", ") + name(j) + " " + number(report.constants[j]);
    std::string message = "the held fit's " + name(0) + " " + number(report.constants[0]) +
                          " (with " + held_list + " held) and the free fit's " + name(0) + " " +
                          number(free.constants[0]) + " ± " +
                          significant(free.covariance.standard_error(0), 2) + " disagree: ";
    if (!far.empty()) message += far;
    if (apart) {
        message += std::string(far.empty() ? "" : "; ") + "their 95 % intervals, " +
                   interval_text(report.ci95[0], report.ci95[1]) + " and " +
                   interval_text(free_low, free_high) + ", do not overlap";
    }
    message += ". The held " + name(0) +
               " rests on the value you held, not on the data: centre "
               "the range of each held constant on its free-fit value (its midpoint is the "
               "value held), or quote the free fit";
    warn(report, "held_constant", message);
}

void warn_about_runs(const ResidualRuns& runs, const std::string& fit, FitReport& report) {
    if (!runs.made || !(runs.p_value < RUNS_LEVEL)) return;
    std::string stretches;
    for (int s = 0; s < STRETCHES_NAMED && s < static_cast<int>(runs.longest.size()); ++s) {
        const SignStretch& st = runs.longest[s];
        if (st.length < 2) break;
        stretches += (stretches.empty() ? "" : "; ") + report.curves[st.curve].file + ": " +
                     std::to_string(st.length) + " points in a row " +
                     (st.sign > 0 ? "above" : "below") + " the fit, points " +
                     std::to_string(st.first) + " to " + std::to_string(st.last);
    }
    warn(report, "residual_pattern",
         "the residuals of the " + fit + " run in long stretches of one sign (" +
             std::to_string(runs.runs) + " runs where " + significant(runs.expected, 3) +
             " are expected, p = " + significant(runs.p_value, 2) + ")" +
             (stretches.empty() ? "" : ": " + stretches) +
             ". The law does not follow the curves' shape; the usual causes are inhibition by "
             "the product, a loss of enzyme activity during the run, or a wrong initial "
             "concentration or time zero");
}

}  // namespace

void warn_about_fit(const HeldFit& fit, FitReport& report) {
    warn_about_held_fit(fit, report);
    warn_about_free_fit(report);
    warn_about_held_constants(report);
    warn_about_runs(report.runs, "held fit", report);
    warn_about_runs(report.free_fit.runs, "free fit", report);
}

void warn_about_free_fit_only(FitReport& report) {
    warn_about_free_fit(report);
    warn_about_runs(report.free_fit.runs, "free fit", report);
}

bool warn_beyond_fit_program(int plot_lines, const PlotSet& plots, FitReport& report) {
    std::string longer;
    int longer_count = 0;
    for (int p = 0; p < plots.plotCount && p < FIT_PROGRAM_PLOTS; ++p) {
        if (plots.plot[p].pointCount <= FIT_PROGRAM_POINTS) continue;
        if (++longer_count <= 3)
            longer += (longer.empty() ? "" : ", ") + std::to_string(p + 1) + " (" +
                      std::to_string(plots.plot[p].pointCount) + " points)";
    }
    if (plot_lines <= FIT_PROGRAM_PLOTS && longer_count == 0) return false;
    std::string message = "this problem is larger than " + std::string(VELKOR_PROGRAM) +
                          " reads, " + std::to_string(FIT_PROGRAM_PLOTS) + " curves of " +
                          std::to_string(FIT_PROGRAM_POINTS) + " points: ";
    if (plot_lines > FIT_PROGRAM_PLOTS)
        message += "it would fit curves 1 to " + std::to_string(FIT_PROGRAM_PLOTS) + " of the " +
                   std::to_string(plot_lines) + " (from " + report.curves.front().file + " to " +
                   report.curves[FIT_PROGRAM_PLOTS - 1].file + ")";
    if (longer_count > 0)
        message += std::string(plot_lines > FIT_PROGRAM_PLOTS ? ", and " : "") +
                   "it would read only the first " + std::to_string(FIT_PROGRAM_POINTS) +
                   " points of curve" + (longer_count > 1 ? "s " : " ") + longer +
                   (longer_count > 3 ? " and " + std::to_string(longer_count - 3) + " more" : "");
    message += ". This report fits all of it, so " + std::string(VELKOR_PROGRAM) + "'s " + name(0) +
               " would differ from the held fit's here. Split the problem, or quote "
               "this report's fits";
    warn(report, "beyond_fit_program", message);
    return true;
}
