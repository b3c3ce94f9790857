#include "simulation/curve_simulation.h"

#include "simulation/integrator.h"
#include "simulation/model.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace {
constexpr double ALPHA = 0.0;      // Hamming's classical coefficients, as in the objective
constexpr long long START_UP = 4;  // steps of the Runge-Kutta start-up
}  // namespace

int simulate_curve(int p, long long steps, long long stride, double* t_out, double* y_out,
                   int capacity) {
    FitWorkspace& ws = fit_workspace;
    ws.initial_conc[0] = ws.plot_set->plot[p].initialConcentration;
    double t = 0.0;
    double c[1] = {ws.initial_conc[0]};
    int count = 0;
    auto record = [&]() {
        if (count < capacity) {
            t_out[count] = t;
            y_out[count] = c[0];
            ++count;
        }
    };
    record();
    if (steps < START_UP) return count;
    if (stride < 1) stride = 1;
    hamming_step(1, 1, OBJECTIVE_STEP, &t, c, ALPHA, model_rate);
    for (long long done = START_UP; done < steps; ++done) {
        if (done % stride == 0) record();
        hamming_step(0, 1, OBJECTIVE_STEP, &t, c, ALPHA, model_rate);
    }
    record();
    return count;
}
