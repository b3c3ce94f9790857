// One curve simulated on its own, outside a fit: for pictures and checks of a fit's result.
#pragma once

// Integrates curve p of the workspace's plots as the objective does (from model time 0.0 at
// its initial concentration, step OBJECTIVE_STEP, Hamming's method with alpha = 0, the rate
// constants now in the workspace) for `steps` steps, the start-up counting four. Writes the
// start and then the state after every `stride`-th step and after the last one into
// t_out/y_out (model time, concentration), at most `capacity` pairs; returns their number.
int simulate_curve(int p, long long steps, long long stride, double* t_out, double* y_out,
                   int capacity);
