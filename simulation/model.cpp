#include "simulation/model.h"

#include "simulation/rate_law.h"
#include "simulation/workspace.h"

void model_rate(double t, const double* y, double* dydt) {
    const RateLawConstants k = rate_law_constants(fit_workspace.rate_constants);
    dydt[0] = rate_law(rate_law_at_time(k, t), y[0], fit_workspace.initial_conc[0]);
}
