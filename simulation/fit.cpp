#include "simulation/fit.h"

#include "minimiser/direction_set.h"
#include "simulation/workspace.h"

namespace {

// The minimiser calls an objective without context, so the one being minimised and the
// point of its latest evaluation are kept here for the length of one fit.
ObjectiveFunction minimised = nullptr;
double last_point = 0.0;

double recorded(const double* x) {
    last_point = x[0];
    return minimised(x);
}

}  // namespace

ConstantZeroFit fit_constant_zero(const double* held, ObjectiveFunction objective, FILE* trace) {
    for (int j = 1; j < CONSTANTS; ++j)
        fit_workspace.rate_constants[j] = held[j];
    minimised = objective;
    double x[CONSTANTS] = {};
    x[0] = START_IN_MIDPOINTS;
    double value = 0.0;
    direction_set_minimize(1, x, &value, recorded, trace);
    minimised = nullptr;

    ConstantZeroFit fit;
    fit.point = last_point;
    for (int j = 0; j < CONSTANTS; ++j)
        fit.constants[j] = fit_workspace.rate_constants[j];
    return fit;
}
