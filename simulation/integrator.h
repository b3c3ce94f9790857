// Fixed-step integration of y' = f(t, y): Hamming's predictor-corrector,
// started with four classical Runge-Kutta steps.
//
// With f[k] = f(t[k], y[k]) and the step h, one step from y[j] to y[j+1]:
//
//   predictor (Milne)  p = y[j-3] + 4h/3 (2 f[j] - f[j-1] + 2 f[j-2])
//   modifier           m = p - M (p - c)_previous step        M = 112 / (121 - 5 alpha)
//   corrector          c = a0 y[j] + a1 y[j-1] + a2 y[j-2]
//                          + h (b0 f(t[j+1], m) + b1 f[j] + b2 f[j-1])
//       a0 = 9 (1 - alpha) / 8, a1 = alpha, a2 = (alpha - 1) / 8,
//       b0 = (9 - alpha) / 24, b1 = (7 alpha + 9) / 12, b2 = (17 alpha - 9) / 24
//   final correction   y[j+1] = c + E (p - c)                 E = (9 - 5 alpha) / (121 - 5 alpha)
//
// alpha = 0 gives Hamming's classical method: c = (9 y[j] - y[j-2]) / 8
// + 3h/8 (f(m) + 2 f[j] - f[j-1]), M = 112/121, E = 9/121. The final correction
// cancels the leading local error term, so on smooth problems the error falls
// faster than fourth order. The first step after a start-up has no modifier
// ((p - c) of the previous step is taken as 0).
#pragma once

// The fit programs integrate at most 16 curves at once; the companions' build for whole
// plates sets a larger capacity.
#ifndef VELKOR_MAX_EQUATIONS
#define VELKOR_MAX_EQUATIONS 50
#endif
constexpr int MAX_EQUATIONS = VELKOR_MAX_EQUATIONS;

// Right-hand side: fills dydt[0..n-1] with f(t, y). The return value is not used.
using DerivativeFunction = void (*)(double t, const double* y, double* dydt);

// start != 0: compute the coefficients from alpha, store h and take four
// Runge-Kutta steps (t advances by 4h); start == 0: one Hamming step of the
// stored h (t advances by h). One trajectory at a time: the history is static.
void hamming_step(int start, int n, double h, double* t, double* y, double alpha,
                  DerivativeFunction f);

// One classical Runge-Kutta step of the stored h from y_in at *t to y_out.
void rk4_step(int n, DerivativeFunction f, double* t, const double* y_in, double* y_out);

// Coefficients, step and history of the trajectory being integrated, set by a
// start-up call and read by the continuing calls that follow it.
struct IntegratorState {
    double a0, a1, a2;  // corrector: y[j], y[j-1], y[j-2]
    double b0, b1, b2;  // corrector: f[j+1], f[j], f[j-1]
    double m;           // modifier: previous p - c
    double e;           // final correction: new p - c
    double h;
    double hp;  // 4h/3 of Milne's predictor
    double Y1[MAX_EQUATIONS];
    double Y2[MAX_EQUATIONS];
    double Y3[MAX_EQUATIONS];
    double F1[MAX_EQUATIONS];
    double F2[MAX_EQUATIONS];
    double D[MAX_EQUATIONS];   // p - c of the last step; Runge-Kutta stage slope
    double FN[MAX_EQUATIONS];  // newest derivative; Runge-Kutta slope sum
    double P[MAX_EQUATIONS];   // predictor; Runge-Kutta stage point
};

// One per process: every trajectory, whoever integrates it, shares it.
extern IntegratorState integrator_state;

// The method itself, for any right-hand side callable as f(t, y, dydt):
// hamming_step passes a function pointer, the objective an inline rate law.
template <class Derivative>
inline void rk4_step_with(int n, Derivative f, double* t, const double* y_in, double* y_out) {
    IntegratorState& s = integrator_state;
    const double hh = 0.5 * s.h;
    const double h6 = s.h / 6.0;
    const double tm = *t + hh;
    const double te = *t + s.h;
    f(*t, y_in, s.FN);
    for (int i = 0; i < n; ++i)
        s.P[i] = hh * s.FN[i] + y_in[i];
    f(tm, s.P, s.D);
    for (int i = 0; i < n; ++i) {
        s.FN[i] = 2.0 * s.D[i] + s.FN[i];
        s.P[i] = hh * s.D[i] + y_in[i];
    }
    f(tm, s.P, s.D);
    for (int i = 0; i < n; ++i) {
        s.FN[i] = 2.0 * s.D[i] + s.FN[i];
        s.P[i] = s.h * s.D[i] + y_in[i];
    }
    f(te, s.P, s.D);
    for (int i = 0; i < n; ++i)
        y_out[i] = (s.FN[i] + s.D[i]) * h6 + y_in[i];
    *t = te;
}

template <class Derivative>
inline void hamming_start_with(int n, double h, double* t, double* y, double alpha, Derivative f) {
    IntegratorState& s = integrator_state;
    s.a0 = 9.0 * (1.0 - alpha) / 8.0;
    s.a1 = alpha;
    s.a2 = (alpha - 1.0) / 8.0;
    s.b0 = (9.0 - alpha) / 24.0;
    s.b1 = (7.0 * alpha + 9.0) / 12.0;
    s.b2 = (17.0 * alpha - 9.0) / 24.0;
    const double q = 121.0 - 5.0 * alpha;
    s.m = 112.0 / q;
    s.e = (9.0 - 5.0 * alpha) / q;
    s.h = h;
    s.hp = 4.0 * h / 3.0;

    rk4_step_with(n, f, t, y, s.Y3);
    rk4_step_with(n, f, t, s.Y3, s.Y2);
    f(*t, s.Y2, s.F2);
    rk4_step_with(n, f, t, s.Y2, s.Y1);
    f(*t, s.Y1, s.F1);
    rk4_step_with(n, f, t, s.Y1, y);
    // The Runge-Kutta steps used D as scratch: the first Hamming step has no modifier.
    for (int i = 0; i < n; ++i)
        s.D[i] = 0.0;
}

template <class Derivative>
inline void hamming_continue_with(int n, double* t, double* y, Derivative f) {
    IntegratorState& s = integrator_state;
    f(*t, y, s.FN);
    for (int i = 0; i < n; ++i) {
        s.P[i] = (2.0 * (s.FN[i] + s.F2[i]) - s.F1[i]) * s.hp + s.Y3[i];
        s.F2[i] = s.F1[i];
        s.F1[i] = s.FN[i];
        s.Y3[i] = s.Y2[i];
        s.Y2[i] = s.Y1[i];
        s.Y1[i] = y[i];
        y[i] = s.P[i] - s.m * s.D[i];
    }
    *t = *t + s.h;
    f(*t, y, s.FN);
    for (int i = 0; i < n; ++i) {
        const double c = ((s.a0 * s.Y1[i] + s.a1 * s.Y2[i]) + s.a2 * s.Y3[i]) +
                         ((s.b0 * s.FN[i] + s.b1 * s.F1[i]) + s.b2 * s.F2[i]) * s.h;
        s.D[i] = s.P[i] - c;
        y[i] = s.e * s.D[i] + c;
    }
}

template <class Derivative>
inline void hamming_step_with(int start, int n, double h, double* t, double* y, double alpha,
                              Derivative f) {
    if (start != 0)
        hamming_start_with(n, h, t, y, alpha, f);
    else
        hamming_continue_with(n, t, y, f);
}

// Moves the history of equation `from` into slot `to`, so that a caller can
// drop equation `to` from a running system by moving its last one there
// (the state y is the caller's to move).
inline void hamming_move_history(int from, int to) {
    IntegratorState& s = integrator_state;
    s.Y1[to] = s.Y1[from];
    s.Y2[to] = s.Y2[from];
    s.Y3[to] = s.Y3[from];
    s.F1[to] = s.F1[from];
    s.F2[to] = s.F2[from];
    s.D[to] = s.D[from];
}
