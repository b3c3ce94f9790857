#include "report/fit_warnings.h"

#include <string>

#include "simulation/rate_law.h"
#include "text/number_text.h"

namespace {

void warn(FitReport& report, const std::string& message) {
    report.warnings.push_back({report.parameter_file, 0, message});
}

std::string number(double v) {
    return number_text(v, "%.6g");
}

void warn_about_value(FitReport& report) {
    const std::string name = LAW_CONSTANTS[0].name;
    const double value = report.constants[0];
    const double low = report.ranges.constant_min[0], high = report.ranges.constant_max[0];
    if (value == 0.0) {
        warn(report, name + " is held at 0: the fit asked for a negative " + name +
                         ", which the objective replaces by 0, so the result is a bound, not an "
                         "estimate");
    } else if (value < low || value > high) {
        warn(report, "the fitted " + name + " " + number(value) + " lies outside the range " +
                         number(low) + " .. " + number(high) +
                         " given for constant 0: the range only sets the start of the fit (its "
                         "midpoint) and does not bound it");
    }
}

void warn_about_end(const IntervalEnd& end, const char* side, FitReport& report) {
    const std::string which =
        std::string("the ") + side + " end of the 95 % interval of " + LAW_CONSTANTS[0].name;
    switch (end.kind) {
        case IntervalEnd::FOUND:
            return;
        case IntervalEnd::UNDEFINED:
            warn(report, which + " is undefined: the sum of squares is not a number at " +
                             LAW_CONSTANTS[0].name + " = " + number(end.value));
            return;
        case IntervalEnd::UNBOUNDED:
            warn(report, which +
                             " is unbounded: the sum of squares stays below the level up "
                             "to " +
                             LAW_CONSTANTS[0].name + " = " + number(end.value));
            return;
        case IntervalEnd::NOT_FOUND:
            warn(report, which + " was not found: " + end.reason);
            return;
    }
}

}  // namespace

void warn_about_fit(const HeldFit& fit, FitReport& report) {
    const std::string name = LAW_CONSTANTS[0].name;
    warn_about_value(report);
    if (fit.never_moves) {
        warn(report,
             "the rate is zero at the start of every curve, so the simulated curves "
             "never leave their initial concentrations and " +
                 name + " cannot be determined: no standard error and no interval are given");
    } else if (fit.no_dependence) {
        warn(report, "the simulated values do not depend on " + name + ": " + name +
                         " cannot be determined");
    } else if (fit.interval.exact_match) {
        warn(report, "the curves are matched exactly (the sum of squares is 0): " + name +
                         " has no 95 % interval");
    } else if (fit.interval.made) {
        warn_about_end(fit.interval.lower, "lower", report);
        warn_about_end(fit.interval.upper, "upper", report);
    }
}
