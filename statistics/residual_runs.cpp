#include "statistics/residual_runs.h"

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>

#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace {

struct CurveRuns {
    int runs = 0, positive = 0, negative = 0;
    SignStretch longest{};
};

CurveRuns runs_of_curve(const Plot& plot, int p, const Evaluation& e) {
    CurveRuns c;
    SignStretch current{p, 0, 0, 0, 0};
    for (int i = 0; i < plot.pointCount; ++i) {
        if (!point_compared(plot, e.points_sampled[p], i)) continue;
        const double r = plot.point[i].concentration[0] - e.simulated[p][i];
        if (!(r != 0.0) || std::isnan(r)) continue;
        const int sign = r > 0.0 ? 1 : -1;
        (sign > 0 ? c.positive : c.negative) += 1;
        if (sign != current.sign) {
            ++c.runs;
            current = {p, i, i, 0, sign};
        }
        current.last = i;
        current.length += 1;
        if (current.length > c.longest.length) c.longest = current;
    }
    return c;
}

}  // namespace

ResidualRuns residual_runs(const Evaluation& e) {
    const PlotSet& plots = *fit_workspace.plot_set;
    ResidualRuns t;
    for (int p = 0; p < plots.plotCount; ++p) {
        const CurveRuns c = runs_of_curve(plots.plot[p], p, e);
        const double np = c.positive, nm = c.negative, n = np + nm;
        t.runs += c.runs;
        t.positive += c.positive;
        t.negative += c.negative;
        if (n >= 2) {
            t.expected += 1.0 + 2.0 * np * nm / n;
            t.variance += 2.0 * np * nm * (2.0 * np * nm - n) / (n * n * (n - 1.0));
        } else {
            t.expected += n;  // one residual is one run, for certain
        }
        if (c.longest.length > 0) t.longest.push_back(c.longest);
    }
    std::stable_sort(
        t.longest.begin(), t.longest.end(),
        [](const SignStretch& a, const SignStretch& b) { return a.length > b.length; });
    if (!(t.variance > 0.0)) return t;
    t.made = true;
    t.z = (t.runs - t.expected) / std::sqrt(t.variance);
    t.p_value = boost::math::cdf(boost::math::normal(), t.z);
    return t;
}
