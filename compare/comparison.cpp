#include "compare/comparison.h"

#include <cmath>

#include "text/number_text.h"

namespace {
// Below this p the residuals' signs are taken to run in stretches.
constexpr double RUNS_LEVEL = 0.05;
}  // namespace

void warn_about_best(Comparison& c) {
    if (c.ranked.empty()) return;
    const LawFit& best = c.ranked.front();
    if (best.residual_test_p < RUNS_LEVEL) {
        c.warnings.emplace_back(
            c.parameter_file, 0, "residual_pattern",
            "even the best law, " + best.law +
                ", leaves residuals that run in stretches of one "
                "sign (runs test p = " +
                significant(best.residual_test_p, 2) +
                "): none of the laws compared follows the curves' shape; look for a wrong "
                "initial concentration or time zero, or a mechanism not among them");
    }
    for (size_t j = 0; j < best.names.size(); ++j) {
        const bool low = std::isnan(best.low[j]), high = std::isnan(best.high[j]);
        if (!low && !high) continue;
        c.warnings.emplace_back(
            c.parameter_file, 0, "not_determined",
            best.names[j] + " of the best law, " + best.law +
                ", is not determined: its 95 % "
                "interval is unbounded " +
                (low && high ? "on both sides"
                 : low       ? "below"
                             : "above") +
                (high && j >= 2 ? ", so the data show no sign of the effect it stands for" : "") +
                ". Quote its value with care, or compare again without that law");
    }
}
