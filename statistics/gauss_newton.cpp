#include "statistics/gauss_newton.h"

#include <cstddef>

#include "simulation/workspace.h"
#include "statistics/standard_errors.h"

namespace {

// Steps at the most; from a close start two or three suffice.
constexpr int MOST_STEPS = 12;
// Halvings of a step that does not lower RSS before the descent gives up.
constexpr int MOST_HALVINGS = 2;
// After this many steps J is worked out at the current point.
constexpr int REFRESH_AFTER = 3;

}  // namespace

std::vector<double> point_of_constants(const FitSpace& space, const std::vector<double>& free) {
    std::vector<double> x;
    std::size_t m = 0;
    for (int j = 0; j < CONSTANTS && m < free.size(); ++j)
        if (space.free[j]) x.push_back(free[m++] / fit_workspace.constant_mid[j]);
    return x;
}

Descent gauss_newton_descent(const FitSpace& space, const std::vector<double>& start,
                             const Evaluation& at_start, std::vector<std::vector<double>> columns,
                             double converged) {
    Descent now{start, at_start, false};
    if (start.empty()) return now;
    for (int step = 0; step < MOST_STEPS; ++step) {
        std::vector<double> r(now.at.compared.size());
        for (std::size_t i = 0; i < r.size(); ++i)
            r[i] = now.at.measured[i] - now.at.compared[i];
        double d[3], promised = 0.0;
        if (!gauss_newton_step(columns, r, d, promised)) break;
        // A step that promises next to nothing is not worth an evaluation.
        if (!(promised > converged * now.at.sum_of_squares)) {
            now.converged = true;
            break;
        }
        bool lowered = false;
        double scale = 1.0;
        for (int halving = 0; halving <= MOST_HALVINGS && !lowered; ++halving, scale *= 0.5) {
            std::vector<double> trial = now.constants;
            for (std::size_t m = 0; m < trial.size(); ++m)
                trial[m] += scale * d[m];
            Evaluation at = evaluate(space, point_of_constants(space, trial).data());
            if (at.sum_of_squares < now.at.sum_of_squares) {
                now = Descent{trial, at, false};
                lowered = true;
            }
        }
        if (!lowered) break;
        if ((step + 1) % REFRESH_AFTER == 0) {
            const std::vector<double> x = point_of_constants(space, now.constants);
            columns = jacobian_columns(space, x.data());
        }
    }
    return now;
}
