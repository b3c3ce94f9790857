#include "statistics/free_fit.h"

#include <limits>

#include "statistics/evaluation.h"
#include "statistics/fit_space.h"

FreeFit free_fit(int n) {
    FreeFit free;
    free.made = false;
    free.sum_of_squares = std::numeric_limits<double>::quiet_NaN();
    for (int j = 0; j < CONSTANTS; ++j)
        free.constants[j] = std::numeric_limits<double>::quiet_NaN();
    if (n < 3) return free;
    const FitSpace space = space_with_free({0, 1});
    double x[2] = {1.0, 1.0};
    minimise_in(space, x);
    const Evaluation at = evaluate(space, x);
    free.made = true;
    free.sum_of_squares = at.sum_of_squares;
    for (int j = 0; j < CONSTANTS; ++j)
        free.constants[j] = at.constants[j];
    free.covariance = gauss_newton_covariance(
        {jacobian_column(space, x, 0), jacobian_column(space, x, 1)}, at.sum_of_squares / (n - 2));
    return free;
}
