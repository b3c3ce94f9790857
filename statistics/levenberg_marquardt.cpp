#include "statistics/levenberg_marquardt.h"

#include <cmath>
#include <cstddef>

#include "statistics/gauss_newton.h"
#include "statistics/standard_errors.h"

namespace {

// Jacobians worked out, at the most.
constexpr int MOST_ITERATIONS = 25;
// lambda at the start; the factor it first grows by after a step that lowered nothing (each
// further failure doubles the factor); the value past which no step is worth trying, a tiny
// move along the gradient.
constexpr double FIRST_LAMBDA = 1e-3;
constexpr double FIRST_GROWTH = 2.0;
constexpr double MOST_LAMBDA = 1e8;

// The free constants of an evaluation, in index order.
std::vector<double> free_constants(const FitSpace& space, const Evaluation& at) {
    std::vector<double> c;
    for (int j = 0; j < CONSTANTS; ++j)
        if (space.free[j]) c.push_back(at.constants[j]);
    return c;
}

}  // namespace

MarquardtFit levenberg_marquardt(const FitSpace& space, std::vector<double> x) {
    MarquardtFit fit{x, evaluate(space, x.data()), false};
    if (!std::isfinite(fit.at.sum_of_squares)) return fit;
    double lambda = FIRST_LAMBDA;
    for (int iteration = 0; iteration < MOST_ITERATIONS; ++iteration) {
        const std::vector<std::vector<double>> columns =
            forward_columns(space, fit.x.data(), fit.at);
        if (columns.empty()) return fit;
        std::vector<double> r(fit.at.compared.size());
        for (std::size_t i = 0; i < r.size(); ++i)
            r[i] = fit.at.measured[i] - fit.at.compared[i];
        double d[3], promised = 0.0;
        if (!gauss_newton_step(columns, r, d, promised)) return fit;
        if (!(promised > FORWARD_CONVERGED * fit.at.sum_of_squares)) {
            fit.converged = true;
            return fit;
        }
        const std::vector<double> c = free_constants(space, fit.at);
        bool lowered = false;
        double growth = FIRST_GROWTH;
        while (!lowered && lambda <= MOST_LAMBDA) {
            if (!gauss_newton_step(columns, r, d, promised, lambda)) return fit;
            // The linear model's decrease for the damped step: d^T J^T r + lambda d^T D d.
            double predicted = promised;
            for (std::size_t m = 0; m < columns.size(); ++m)
                for (const double v : columns[m])
                    predicted += lambda * d[m] * d[m] * v * v;
            std::vector<double> trial = c;
            for (std::size_t m = 0; m < trial.size(); ++m)
                trial[m] += d[m];
            const std::vector<double> x_trial = point_of_constants(space, trial);
            Evaluation at = evaluate(space, x_trial.data());
            const double gain = (fit.at.sum_of_squares - at.sum_of_squares) / predicted;
            if (at.sum_of_squares < fit.at.sum_of_squares) {
                fit = MarquardtFit{x_trial, at, false};
                lowered = true;
                // Nielsen's update: a step as good as the model predicted shrinks lambda
                // threefold, a poor one keeps it about as it was.
                const double t = 2.0 * gain - 1.0;
                lambda *= std::fmax(1.0 / 3.0, 1.0 - t * t * t);
            } else {
                lambda *= growth;
                growth *= 2.0;
            }
        }
        if (!lowered) return fit;
    }
    return fit;
}
