#include "statistics/fit_space.h"

#include "minimiser/direction_set.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace {

// The minimiser calls an objective without context: the space of the minimisation running.
const FitSpace* minimised = nullptr;

double sum_of_squares_in_minimised(const double* x) {
    return sum_of_squares_in(*minimised, x);
}

}  // namespace

int FitSpace::dimension() const {
    int n = 0;
    for (int j = 0; j < CONSTANTS; ++j)
        n += free[j] ? 1 : 0;
    return n;
}

FitSpace space_with_free(std::vector<int> free_constants) {
    FitSpace space;
    for (int j = 0; j < CONSTANTS; ++j) {
        space.free[j] = false;
        space.held[j] = fit_workspace.constant_mid[j];
    }
    for (int j : free_constants)
        space.free[j] = true;
    return space;
}

void constants_at(const FitSpace& space, const double* x, double* constants) {
    int i = 0;
    for (int j = 0; j < CONSTANTS; ++j)
        constants[j] = space.free[j] ? x[i++] * fit_workspace.constant_mid[j] : space.held[j];
    if (constants[0] < 0.0) constants[0] = 0.0;
}

void set_constants(const FitSpace& space, const double* x) {
    constants_at(space, x, fit_workspace.rate_constants);
}

double sum_of_squares_in(const FitSpace& space, const double* x) {
    set_constants(space, x);
    return sum_of_squares_of_constants();
}

double minimise_in(const FitSpace& space, double* x) {
    minimised = &space;
    double value = 0.0;
    direction_set_minimize(space.dimension(), x, &value, sum_of_squares_in_minimised, nullptr);
    minimised = nullptr;
    return value;
}
