#include "simulation/curve_simulation.h"

#include "simulation/curve_integration.h"
#include "simulation/model.h"
#include "simulation/workspace.h"

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
    if (steps < START_UP_STEPS) return count;
    if (stride < 1) stride = 1;
    start_curves(1, &t, c, model_rate);
    for (long long done = START_UP_STEPS; done < steps; ++done) {
        if (done % stride == 0) record();
        step_curves(1, &t, c, model_rate);
    }
    record();
    return count;
}
