#include "simulation/objective.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <type_traits>

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
// time 0.0 with the same step, so they share t and the step count. Equation i
// integrates curve[i] at the constants of set[i]; its samples go to row
// slot[i] = set[i] * curves + curve[i] of the workspace (the curve's own row
// for set 0, the only set of a fit).
struct CurveSystem {
    int n;
    int curve[PLOTS];       // curve of equation i
    int slot[PLOTS];        // its row of samples
    int set[PLOTS];         // its set of constants
    double c[PLOTS];        // its concentration, the integrator's y
    double y0[PLOTS];       // its initial concentration
    double t;               // model time
    long long steps;        // steps taken since t = 0.0
    long long next_sample;  // earliest step count at which an equation samples
    double earliest_end;    // smallest t_end of the equations
};

// A law whose constants change with time hands them back by value, the others
// their own.
constexpr bool LAW_VARIES_WITH_TIME =
    !std::is_reference<decltype(rate_law_at_time(RateLawConstants{}, 0.0))>::value;

// The constants in effect at a time, kept for the next call: the integrator
// asks again for the time a step ended at as the next step begins.
struct AtTime {
    double t = std::numeric_limits<double>::quiet_NaN();
    RateLawConstants now;
};

template <bool VARIES = LAW_VARIES_WITH_TIME>
inline const RateLawConstants& in_effect(const RateLawConstants& k, double t, AtTime& kept) {
    if constexpr (VARIES) {
        if (!(kept.t == t)) {
            kept.now = rate_law_at_time(k, t);
            kept.t = t;
        }
        return kept.now;
    } else {
        return rate_law_at_time(k, t);
    }
}

// The rate law of every equation, inline in the integrator's loops. FIXED_N
// fixes the size of the system at compile time (0: sys_n equations).
template <int FIXED_N>
struct SystemRate {
    RateLawConstants k;
    const double* y0;
    int sys_n;
    AtTime* kept;

    int size() const { return FIXED_N != 0 ? FIXED_N : sys_n; }
    void operator()(double t, const double* y, double* dydt) const {
        // Once per evaluation of the system, not per equation: all share the time.
        const RateLawConstants& now = in_effect(k, t, *kept);
        for (int i = 0; i < size(); ++i)
            dydt[i] = rate_law(now, y[i], y0[i]);
    }
};

// Several sets of constants, the equations of each together in the system.
struct ManySets {
    RateLawConstants k[MAX_CONSTANT_SETS];
    int count;
    int first[MAX_CONSTANT_SETS + 1];  // set m: equations first[m] .. first[m + 1] - 1
};

// The rate law of every equation of several sets (of a law constant in time: see
// constant_sets_at_once). The system of any size runs set by set, a loop like SystemRate's
// each (an index per equation would keep the loop from working on two equations at once); a
// small one holds every equation's constants, in registers once the loop is unrolled.
template <int FIXED_N>
struct SetsRate {
    const ManySets* sets;
    RateLawConstants k[FIXED_N != 0 ? FIXED_N : 1];  // equation i's, for FIXED_N != 0
    const double* y0;
    int sys_n;

    int size() const { return FIXED_N != 0 ? FIXED_N : sys_n; }
    void operator()(double t, const double* y, double* dydt) const {
        if constexpr (FIXED_N != 0) {
            for (int i = 0; i < FIXED_N; ++i) {
                const RateLawConstants& now = rate_law_at_time(k[i], t);
                dydt[i] = rate_law(now, y[i], y0[i]);
            }
        } else {
            // Copies in locals: dydt could alias the sets, as far as the compiler knows.
            for (int m = 0; m < sets->count; ++m) {
                const RateLawConstants now = rate_law_at_time(sets->k[m], t);
                const int first = sets->first[m], end = sets->first[m + 1];
                for (int i = first; i < end; ++i)
                    dydt[i] = rate_law(now, y[i], y0[i]);
            }
        }
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

void take_sample(int p, int slot, double c, CurveSampling& s, long long steps) {
    fit_workspace.sim_value[slot][s.k + 1] = c;
    s.k += 1;
    s.k_steps = steps;
    if (s.k < fit_workspace.plot_set->plot[p].pointCount - 1) s.needed = steps_needed(p, s.k);
}

// The equations after i move up one place, so that each set's stay together.
void drop_equation(CurveSystem& sys, int i) {
    for (int j = i; j + 1 < sys.n; ++j) {
        hamming_move_history(j + 1, j);
        sys.curve[j] = sys.curve[j + 1];
        sys.slot[j] = sys.slot[j + 1];
        sys.set[j] = sys.set[j + 1];
        sys.c[j] = sys.c[j + 1];
        sys.y0[j] = sys.y0[j + 1];
    }
    sys.n -= 1;
}

void plan_next_event(CurveSystem& sys, const CurveSampling* sampling) {
    sys.next_sample = 0;
    sys.earliest_end = 0.0;
    for (int i = 0; i < sys.n; ++i) {
        const int p = sys.curve[i];
        const CurveSampling& s = sampling[sys.slot[i]];
        const double t_end = last_time(fit_workspace.plot_set->plot[p]);
        const long long sample_at = s.k_steps + s.needed;
        if (i == 0 || sample_at < sys.next_sample) sys.next_sample = sample_at;
        if (i == 0 || t_end < sys.earliest_end) sys.earliest_end = t_end;
    }
}

// After a step at which some equation reached a point or its end: samples,
// drops the equations that are done, and plans the next such step.
void update_system(CurveSystem& sys, CurveSampling* sampling) {
    for (int i = sys.n - 1; i >= 0; --i) {
        const int p = sys.curve[i];
        CurveSampling& s = sampling[sys.slot[i]];
        if (done(s, sys.steps) == s.needed) take_sample(p, sys.slot[i], sys.c[i], s, sys.steps);
        if (!still_sampling(s, fit_workspace.plot_set->plot[p], sys.t, sys.steps))
            drop_equation(sys, i);
    }
    plan_next_event(sys, sampling);
}

// The right-hand side of a system of FIXED_N equations (0: any number).
template <int FIXED_N>
SystemRate<FIXED_N> rate_of(const RateLawConstants& k, const CurveSystem& sys, AtTime* kept) {
    return {k, sys.y0, sys.n, kept};
}
template <int FIXED_N>
SetsRate<FIXED_N> rate_of(const ManySets& sets, const CurveSystem& sys, AtTime*) {
    SetsRate<FIXED_N> rate{&sets, {}, sys.y0, sys.n};
    if constexpr (FIXED_N != 0)
        for (int i = 0; i < FIXED_N; ++i)
            rate.k[i] = sets.k[sys.set[i]];
    return rate;
}

// Where each set's equations lie in the system now.
void place_sets(RateLawConstants&, const CurveSystem&) {}
void place_sets(ManySets& sets, const CurveSystem& sys) {
    int i = 0;
    for (int m = 0; m <= sets.count; ++m) {
        while (i < sys.n && sys.set[i] < m)
            ++i;
        sets.first[m] = i;
    }
}

// Continuing steps until an equation reaches a point or its end. Nothing but
// the step itself runs per step, on local copies of the caller's state. Kept
// out of line: a loop of its own gets the registers to itself.
template <int FIXED_N, class Constants>
__attribute__((noinline)) void run_until_event(CurveSystem& sys, const Constants& k) {
    AtTime kept;
    const auto rate = rate_of<FIXED_N>(k, sys, &kept);
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

template <int N, class Constants>
void run_system_of_size(CurveSystem& sys, const Constants& k) {
    if constexpr (N == 0)
        run_until_event<0>(sys, k);
    else if (sys.n == N)
        run_until_event<N>(sys, k);
    else
        run_system_of_size<N - 1>(sys, k);
}

// k: the constants of every equation (RateLawConstants) or of each set (ManySets).
template <class Constants>
void integrate_system(CurveSystem& sys, CurveSampling* sampling, Constants k) {
    if (sys.n == 0) return;
    place_sets(k, sys);
    AtTime kept;
    start_curves(sys.n, &sys.t, sys.c, rate_of<0>(k, sys, &kept));
    sys.steps = START_UP_STEPS;
    update_system(sys, sampling);
    while (sys.n > 0) {
        place_sets(k, sys);
        run_system_of_size<SMALL_SYSTEM>(sys, k);
        update_system(sys, sampling);
    }
}

// Adds the points of curve p to SStot.
void add_to_ss_tot(const Plot& plot, double& ss_tot) {
    const int N = plot.pointCount;
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
}

// Prepares curve p, row `slot`, for an evaluation.
void start_curve(int p, int slot, CurveSampling& s) {
    FitWorkspace& ws = fit_workspace;
    const Plot& plot = ws.plot_set->plot[p];
    const int N = plot.pointCount;
    ws.step_size[p] = OBJECTIVE_STEP;
    ws.initial_conc[0] = plot.initialConcentration;
    ws.sim_value[slot][0] = ws.initial_conc[0];
    s.k = 0;
    s.k_steps = 0;
    s.needed = N > 1 ? steps_needed(p, 0) : 0;
}

void add_equation(CurveSystem& sys, int p, int slot, int set) {
    sys.curve[sys.n] = p;
    sys.slot[sys.n] = slot;
    sys.set[sys.n] = set;
    sys.c[sys.n] = fit_workspace.plot_set->plot[p].initialConcentration;
    sys.y0[sys.n] = sys.c[sys.n];
    sys.n += 1;
}

// Residuals of the sampled points of a set, curve by curve, point by point.
double residual_sum(const CurveSampling* sampling, int set) {
    const PlotSet& plots = *fit_workspace.plot_set;
    double sum = 0.0;
    for (int p = 0; p < plots.plotCount; ++p) {
        const int slot = set * plots.plotCount + p;
        const CurveSampling& s = sampling[slot];
        fit_workspace.points_sampled[slot] = plots.plot[p].pointCount > 0 ? s.k + 1 : 0;
        if (plots.plot[p].pointCount <= 0) continue;
        for (int i = 1; i <= s.k; ++i) {
            const double v = plots.plot[p].point[i].concentration[0];
            // A concentration of 0 or below marks a point that was not measured: it is
            // simulated, but never compared (see point_compared).
            if (v > 0.0) {
                const double d = fit_workspace.sim_value[slot][i] - v;
                sum += d * d;
            }
        }
    }
    return sum;
}

// Every curve once per set, in systems of at most curves_per_system equations
// (rows set * curves + curve); SStot of the data.
template <class Constants>
double integrate_sets(const Constants& k, int count, int curves_per_system,
                      CurveSampling* sampling) {
    FitWorkspace& ws = fit_workspace;
    double ss_tot = 0.0;
    CurveSystem sys;
    sys.n = 0;
    const int plot_count = ws.plot_set->plotCount;
    for (int slot = 0; slot < count * plot_count; ++slot) {
        const int p = slot % plot_count, set = slot / plot_count;
        // A curve without points (its file was missing or empty) takes no part.
        if (ws.plot_set->plot[p].pointCount > 0) {
            // SStot is the data's: counted with the first set, in the order of a fit.
            if (set == 0) add_to_ss_tot(ws.plot_set->plot[p], ss_tot);
            start_curve(p, slot, sampling[slot]);
            if (still_sampling(sampling[slot], ws.plot_set->plot[p], 0.0, 0))
                add_equation(sys, p, slot, set);
        }
        if (sys.n == curves_per_system || slot == count * plot_count - 1) {
            sys.t = 0.0;
            integrate_system(sys, sampling, k);
        }
    }
    return ss_tot;
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
    CurveSampling sampling[PLOTS];
    const double ss_tot = integrate_sets(k, 1, curves_per_system, sampling);
    ws.sum_of_squares = residual_sum(sampling, 0);
    ws.fit_quality = 1.0 - ws.sum_of_squares / ss_tot;
    return ws.sum_of_squares;
}

int constant_sets_at_once() {
    // A law that varies with time calls a library function at every step of each set; the
    // calls keep the sets' steps from overlapping, and one set at a time was found faster.
    if (LAW_VARIES_WITH_TIME) return 1;
    const int curves = fit_workspace.plot_set->plotCount;
    const int fitting = curves > 0 ? std::min(PLOTS, MAX_EQUATIONS) / curves : MAX_CONSTANT_SETS;
    return std::max(1, std::min(MAX_CONSTANT_SETS, fitting));
}

void sum_of_squares_of_sets(const double (*rate_constants)[CONSTANTS], int count, double* sums,
                            double* qualities) {
    CurveSampling sampling[PLOTS];
    double ss_tot = 0.0;
    if (count == 1) {
        ss_tot = integrate_sets(rate_law_constants(rate_constants[0]), 1, PLOTS, sampling);
    } else {
        ManySets sets{};
        sets.count = count;
        for (int m = 0; m < count; ++m)
            sets.k[m] = rate_law_constants(rate_constants[m]);
        ss_tot = integrate_sets(sets, count, PLOTS, sampling);
    }
    for (int m = 0; m < count; ++m) {
        sums[m] = residual_sum(sampling, m);
        qualities[m] = 1.0 - sums[m] / ss_tot;
    }
}
