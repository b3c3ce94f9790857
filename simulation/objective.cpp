#include "simulation/objective.h"

#include <cstdio>

#include "simulation/curve_integration.h"
#include "simulation/rate_law.h"
#include "simulation/workspace.h"

namespace {

static_assert(PLOTS <= MAX_EQUATIONS, "every curve must fit into one system");

// Sampling counters of one curve. Point k+1 is reached when done, the steps
// taken since point k, equals needed exactly; done is counted from the step
// count of the whole integration.
struct CurveSampling {
    int k;              // last sampled point
    int needed;         // steps from point k to point k+1; <= 0: never reached
    long long k_steps;  // step count at which point k was sampled
};

long long done(const CurveSampling& s, long long steps) {
    return steps - s.k_steps;
}

// Curves that are integrated together, one equation each. All start at model
// time 0.0 with the same step, so they share t and the step count.
struct CurveSystem {
    int n;
    int curve[PLOTS];       // curve of equation i
    double c[PLOTS];        // its concentration, the integrator's y
    double y0[PLOTS];       // its initial concentration
    double t;               // model time
    long long steps;        // steps taken since t = 0.0
    long long next_sample;  // earliest step count at which an equation samples
    double earliest_end;    // smallest t_end of the equations
};

// The rate law of every equation, inline in the integrator's loops. FIXED_N
// fixes the size of the system at compile time (0: sys_n equations).
template <int FIXED_N>
struct SystemRate {
    RateLawConstants k;
    const double* y0;
    int sys_n;

    int size() const { return FIXED_N != 0 ? FIXED_N : sys_n; }
    void operator()(double t, const double* y, double* dydt) const {
        // Once per evaluation of the system, not per equation: all share the time.
        const RateLawConstants& now = rate_law_at_time(k, t);
        for (int i = 0; i < size(); ++i)
            dydt[i] = rate_law(now, y[i], y0[i]);
    }
};

int steps_needed(int p, int k) {
    return interval_steps(fit_workspace.point_time[p][k], fit_workspace.point_time[p][k + 1],
                          fit_workspace.step_size[p]);
}

double last_time(const Plot& plot) {
    return plot.point[plot.pointCount - 1].time;
}

// Whether curve p takes another step: the end test of its loop, and a point
// left that the step count can still meet exactly. Past that, further steps
// change nothing observable, so the curve leaves the system.
bool still_sampling(const CurveSampling& s, const Plot& plot, double t, long long steps) {
    return t <= last_time(plot) && s.k < plot.pointCount - 1 && done(s, steps) < s.needed;
}

void take_sample(int p, double c, CurveSampling& s, long long steps) {
    fit_workspace.sim_value[p][s.k + 1] = c;
    s.k += 1;
    s.k_steps = steps;
    if (s.k < fit_workspace.plot_set->plot[p].pointCount - 1) s.needed = steps_needed(p, s.k);
}

void drop_equation(CurveSystem& sys, int i) {
    const int last = sys.n - 1;
    if (i != last) {
        hamming_move_history(last, i);
        sys.curve[i] = sys.curve[last];
        sys.c[i] = sys.c[last];
        sys.y0[i] = sys.y0[last];
    }
    sys.n = last;
}

void plan_next_event(CurveSystem& sys, const CurveSampling* sampling) {
    sys.next_sample = 0;
    sys.earliest_end = 0.0;
    for (int i = 0; i < sys.n; ++i) {
        const int p = sys.curve[i];
        const double t_end = last_time(fit_workspace.plot_set->plot[p]);
        const long long sample_at = sampling[p].k_steps + sampling[p].needed;
        if (i == 0 || sample_at < sys.next_sample) sys.next_sample = sample_at;
        if (i == 0 || t_end < sys.earliest_end) sys.earliest_end = t_end;
    }
}

// After a step at which some equation reached a point or its end: samples,
// drops the equations that are done, and plans the next such step.
void update_system(CurveSystem& sys, CurveSampling* sampling) {
    for (int i = sys.n - 1; i >= 0; --i) {
        const int p = sys.curve[i];
        if (done(sampling[p], sys.steps) == sampling[p].needed)
            take_sample(p, sys.c[i], sampling[p], sys.steps);
        if (!still_sampling(sampling[p], fit_workspace.plot_set->plot[p], sys.t, sys.steps))
            drop_equation(sys, i);
    }
    plan_next_event(sys, sampling);
}

// Continuing steps until an equation reaches a point or its end. Nothing but
// the step itself runs per step, on local copies of the caller's state. Kept
// out of line: a loop of its own gets the registers to itself.
template <int FIXED_N>
__attribute__((noinline)) void run_until_event(CurveSystem& sys, const RateLawConstants& k) {
    const SystemRate<FIXED_N> rate{k, sys.y0, sys.n};
    const int n = rate.size();
    double c[PLOTS];
    for (int i = 0; i < n; ++i)
        c[i] = sys.c[i];
    double t = sys.t;
    long long steps = sys.steps;
    const long long next_sample = sys.next_sample;
    const double earliest_end = sys.earliest_end;
    do {
        step_curves(n, &t, c, rate);
        steps += 1;
    } while (steps < next_sample && t <= earliest_end);
    for (int i = 0; i < n; ++i)
        sys.c[i] = c[i];
    sys.t = t;
    sys.steps = steps;
}

// Small systems, fixed at compile time, keep their history in registers:
// the chains of a few curves then overlap without trips through memory.
constexpr int SMALL_SYSTEM = 4;

template <int N>
void run_system_of_size(CurveSystem& sys, const RateLawConstants& k) {
    if constexpr (N == 0)
        run_until_event<0>(sys, k);
    else if (sys.n == N)
        run_until_event<N>(sys, k);
    else
        run_system_of_size<N - 1>(sys, k);
}

void integrate_system(CurveSystem& sys, CurveSampling* sampling, const RateLawConstants& k) {
    if (sys.n == 0) return;
    const SystemRate<0> rate{k, sys.y0, sys.n};
    start_curves(sys.n, &sys.t, sys.c, rate);
    sys.steps = START_UP_STEPS;
    update_system(sys, sampling);
    while (sys.n > 0) {
        run_system_of_size<SMALL_SYSTEM>(sys, k);
        update_system(sys, sampling);
    }
}

// Prepares curve p for an evaluation and adds its points to SStot.
void start_curve(int p, CurveSampling& s, double& ss_tot) {
    FitWorkspace& ws = fit_workspace;
    const Plot& plot = ws.plot_set->plot[p];
    const int N = plot.pointCount;
    ws.step_size[p] = OBJECTIVE_STEP;
    ws.initial_conc[0] = plot.initialConcentration;
    ws.sim_value[p][0] = ws.initial_conc[0];

    // The mean runs over every point but the last and is divided by the number of
    // points, not of the terms: that is the quality figure users have always seen.
    double mean = 0.0;
    for (int i = 0; i < N - 1; ++i)
        mean += plot.point[i].concentration[0];
    mean = mean / N;
    for (int i = 0; i < N - 1; ++i) {
        const double d = plot.point[i].concentration[0] - mean;
        ss_tot += d * d;
    }

    s.k = 0;
    s.k_steps = 0;
    s.needed = N > 1 ? steps_needed(p, 0) : 0;
}

void add_equation(CurveSystem& sys, int p) {
    sys.curve[sys.n] = p;
    sys.c[sys.n] = fit_workspace.plot_set->plot[p].initialConcentration;
    sys.y0[sys.n] = sys.c[sys.n];
    sys.n += 1;
}

// Residuals of the sampled points, curve by curve, point by point.
double residual_sum(const CurveSampling* sampling) {
    const PlotSet& plots = *fit_workspace.plot_set;
    double sum = 0.0;
    for (int p = 0; p < plots.plotCount; ++p) {
        fit_workspace.points_sampled[p] = plots.plot[p].pointCount > 0 ? sampling[p].k + 1 : 0;
        if (plots.plot[p].pointCount <= 0) continue;
        for (int i = 1; i <= sampling[p].k; ++i) {
            const double v = plots.plot[p].point[i].concentration[0];
            // A concentration of 0 or below marks a point that was not measured: it is
            // simulated, but never compared (see point_compared).
            if (v > 0.0) {
                const double d = fit_workspace.sim_value[p][i] - v;
                sum += d * d;
            }
        }
    }
    return sum;
}

}  // namespace

bool point_compared(const Plot& plot, int sampled, int i) {
    return i >= 1 && i < sampled && plot.point[i].concentration[0] > 0.0;
}

int interval_steps(double from, double to, double step) {
    const double needed = (to - from) / step + 0.5;
    if (!(needed < 2147483648.0 && needed > -2147483649.0)) return -1;
    return static_cast<int>(needed);
}

double sum_of_squares_at(const double* x) {
    return sum_of_squares_in_systems(x, PLOTS);
}

double fit_objective(const double* x) {
    const double sum = sum_of_squares_at(x);
    std::printf("%10.5e\n", fit_workspace.fit_quality);
    return sum;
}

double sum_of_squares_in_systems(const double* x, int curves_per_system) {
    FitWorkspace& ws = fit_workspace;
    ws.rate_constants[0] = x[0] * ws.constant_mid[0];
    if (ws.rate_constants[0] < 0.0) ws.rate_constants[0] = 0.0;
    return sum_of_squares_of_constants(curves_per_system);
}

double sum_of_squares_of_constants(int curves_per_system) {
    FitWorkspace& ws = fit_workspace;
    const RateLawConstants k = rate_law_constants(ws.rate_constants);

    double ss_tot = 0.0;
    CurveSampling sampling[PLOTS];
    CurveSystem sys;
    sys.n = 0;
    const int plot_count = ws.plot_set->plotCount;
    for (int p = 0; p < plot_count; ++p) {
        // A curve without points (its file was missing or empty) takes no part.
        if (ws.plot_set->plot[p].pointCount > 0) {
            start_curve(p, sampling[p], ss_tot);
            if (still_sampling(sampling[p], ws.plot_set->plot[p], 0.0, 0)) add_equation(sys, p);
        }
        if (sys.n == curves_per_system || p == plot_count - 1) {
            sys.t = 0.0;
            integrate_system(sys, sampling, k);
        }
    }

    ws.sum_of_squares = residual_sum(sampling);
    ws.fit_quality = 1.0 - ws.sum_of_squares / ss_tot;
    return ws.sum_of_squares;
}
