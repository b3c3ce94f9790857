#include "checks/censored_tail.h"

#include <cmath>
#include <string>

#include "checks/message_text.h"
#include "text/number_text.h"

namespace input_checks {

namespace {

// The first point of the tail: from there on every simulated value is below the level; 0
// where there is no tail.
int tail_start(const std::vector<double>& simulated, int reached, double level) {
    int start = 0;
    for (int i = reached - 1; i >= 1; --i) {
        if (!(simulated[i] < level)) break;
        start = i;
    }
    return start;
}

}  // namespace

std::vector<int> check_censored_tail(const Plot& plot, int reached, const CurveFit& fit,
                                     const std::function<int(int)>& line_of, FileWarnings& out) {
    const double s = fit.residual_sd;
    if (fit.simulated == nullptr || !(s > 0.0) || !std::isfinite(s) ||
        static_cast<int>(fit.simulated->size()) < reached)
        return {};
    const double level = TAIL_LEVEL * s;
    const int start = tail_start(*fit.simulated, reached, level);
    if (start == 0) return {};
    std::vector<int> left_out;
    int kept = 0;
    for (int i = start; i < reached; ++i) {
        if (plot.point[i].concentration[0] > 0.0)
            ++kept;
        else
            left_out.push_back(i);
    }
    if (left_out.empty() || kept == 0) return {};
    const int last = reached - 1;
    out.always(
        line_of(left_out.front()), "censored_tail",
        "From point " + std::to_string(start) + " (line " + std::to_string(line_of(start)) +
            ", time " + number(plot.point[start].time) +
            ") on, the fitted substrate stays below twice the residual sd (" + number(level) +
            "): the substrate is gone and the measurements scatter around 0. " +
            count_of(static_cast<long long>(left_out.size()), "point", "points") +
            " of them at or below 0 are left out, while the " + count_of(kept, "point", "points") +
            " above 0 from the same noise are kept, which pulls the fitted tail up. The "
            "values were written as measured; cut the curve after point " +
            std::to_string(start) + " (time " + number(plot.point[start].time) + ", line " +
            std::to_string(line_of(start)) + ")" +
            (last > start ? ", dropping lines " + std::to_string(line_of(start + 1)) + " to " +
                                std::to_string(line_of(last))
                          : "") +
            ".");
    return left_out;
}

}  // namespace input_checks
