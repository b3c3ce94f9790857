#include "simulation/integrator.h"

IntegratorState integrator_state;

void rk4_step(int n, DerivativeFunction f, double* t, const double* y_in, double* y_out) {
    rk4_step_with(n, f, t, y_in, y_out);
}

void hamming_step(int start, int n, double h, double* t, double* y, double alpha,
                  DerivativeFunction f) {
    hamming_step_with(start, n, h, t, y, alpha, f);
}
