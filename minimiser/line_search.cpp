#include "minimiser/line_search.h"

#include <cmath>

double trial_point[MAX_VARIABLES];

namespace {

// Tuning of the search, fixed: the fit's results depend on every one of them.
constexpr double FIRST_STEP_FRACTION = 0.25;  // first step, of the smallest non-zero |x[i]| (<= 1)
constexpr double FLAT_CHANGE = 2e-7;          // relative change up to which a step counts as flat
constexpr double HALF = 0.5;                  // one halving per step; midpoints; the vertex
constexpr double GROWTH = 1.5;                // abscissa growth while the values keep falling
constexpr double FIRST_TOLERANCE = 0.01;      // relative tolerance of the first interpolations
constexpr double ABSOLUTE_BELOW = 1e-4;       // |fb| up to which the tolerance is absolute
constexpr double TIGHTENING = 10;             // divisor of the tolerance at each retry
constexpr int MAX_RETRIES = 5;                // tightenings allowed when x would not move

// The labelled stages of the refinement; the bracketing hands over to one of them.
enum class Stage { Insert, Interpolate, AcceptB, CheckMovement, Finish, Done };

struct Search {
    int n;
    double* x;
    const double* d;
    double* value;
    ObjectiveFunction objective;
    FILE* trace;
    double a, b, c;     // the bracket, in units of d
    double fa, fb, fc;  // and its values
    double t, ft;       // latest trial
    double h;           // signed step increment of the bracketing
    int k;              // bracketing step counter, -1 at the first trial
    double tol;
    int retries;
    bool midpoint_used;
    bool interpolation_converged;
    int r;
    double result_value;  // the result point itself is in trial_point
};

void write_start(const Search& s) {
    fprintf(s.trace, "\nLinear search from the point:\n\n");
    for (int i = 1; i <= s.n; ++i)
        fprintf(s.trace, "x%2.2d = %12.4e\n", i, s.x[i - 1]);
}

void evaluate(Search& s) {
    for (int i = 0; i < s.n; ++i)
        trial_point[i] = s.t * s.d[i] + s.x[i];
    s.ft = s.objective(trial_point);
    if (s.trace == nullptr) return;
    fprintf(s.trace, "\n   *** Current point:\n\n");
    for (int i = 1; i <= s.n; ++i)
        fprintf(s.trace, "       x%2.2d = %12.4e\n", i, trial_point[i - 1]);
    fprintf(s.trace, "\n       sum of squares:%12.4e\n", s.ft);
}

void set_result_at(Search& s, double abscissa, double result_value) {
    for (int i = 0; i < s.n; ++i)
        trial_point[i] = abscissa * s.d[i] + s.x[i];
    s.result_value = result_value;
}

void store_result(Search& s) {
    for (int i = 0; i < s.n; ++i)
        s.x[i] = trial_point[i];
    *s.value = s.result_value;
}

// A quarter of the smallest non-zero coordinate magnitude, at most a quarter.
double initial_step(int n, const double* x) {
    double h = 1.0;
    for (int i = 0; i < n; ++i) {
        if (x[i] != 0 && std::fabs(x[i]) < h) h = std::fabs(x[i]);
    }
    return FIRST_STEP_FRACTION * h;
}

void shift_in_trial(Search& s) {
    s.a = s.b;
    s.fa = s.fb;
    s.b = s.c;
    s.fb = s.fc;
    s.c = s.t;
    s.fc = s.ft;
}

bool is_flat(const Search& s) {
    return std::fabs(s.ft - s.fc) <= FLAT_CHANGE * std::fabs(s.fc);
}

// First phase: steps of growing length until the values turn upwards.
// Anything that is not downhill (a not-a-number value too) counts as uphill.
Stage bracket(Search& s) {
    for (;;) {
        s.k = s.k + 1;
        bool halved = false;
        evaluate(s);
        while (is_flat(s)) {
            if (halved) {
                set_result_at(s, s.c, s.fc);
                s.r = 0;
                return Stage::Finish;
            }
            s.h = HALF * s.h;
            s.t = HALF * s.t;
            halved = true;
            evaluate(s);
        }
        if (s.ft <= s.fc) {
            shift_in_trial(s);
            s.t = GROWTH * s.t + s.h;
            continue;
        }
        if (s.k < 0) {
            // The first step went uphill: keep it as b and try the other side of x.
            s.b = s.t;
            s.fb = s.ft;
            s.t = -s.t;
            s.h = -s.h;
            continue;
        }
        shift_in_trial(s);
        if (s.k == 0) return Stage::Interpolate;
        s.t = HALF * (s.c + s.b);
        evaluate(s);
        return Stage::Insert;
    }
}

Stage insert(Search& s) {
    const double p = (s.a - s.t) * (s.t - s.b);
    if (p == 0 || s.ft == s.fb) return Stage::AcceptB;
    if (p < 0) {
        if (s.ft < s.fb) {
            s.a = s.b;
            s.fa = s.fb;
            s.b = s.t;
            s.fb = s.ft;
        } else {
            s.c = s.t;
            s.fc = s.ft;
        }
    } else {
        if (s.ft < s.fb) {
            s.c = s.b;
            s.fc = s.fb;
            s.b = s.t;
            s.fb = s.ft;
        } else {
            s.a = s.t;
            s.fa = s.ft;
        }
    }
    return Stage::Interpolate;
}

Stage interpolate(Search& s) {
    const double den = (s.b - s.a) * s.fc + (s.a - s.c) * s.fb + (s.c - s.b) * s.fa;
    if (den == 0) {
        // Collinear values: one bisection of the b-c interval, once per call.
        if (s.midpoint_used) return Stage::AcceptB;
        s.midpoint_used = true;
        s.t = HALF * (s.c + s.b);
        evaluate(s);
        return Stage::Insert;
    }
    s.t = HALF *
          ((s.b * s.b - s.a * s.a) * s.fc + (s.a * s.a - s.c * s.c) * s.fb +
           (s.c * s.c - s.b * s.b) * s.fa) /
          den;
    if ((s.c - s.t) * (s.t - s.a) <= 0) return Stage::AcceptB;
    evaluate(s);
    // Absolute tolerance for values near zero, relative otherwise.
    const double scale = std::fabs(s.fb) <= ABSOLUTE_BELOW ? 1.0 : 1.0 / s.fb;
    if (std::fabs(s.fb - s.ft) * scale > s.tol) return Stage::Insert;
    s.interpolation_converged = true;
    if (s.ft >= s.fb) return Stage::AcceptB;
    s.result_value = s.ft;
    return Stage::CheckMovement;
}

Stage accept_b(Search& s) {
    set_result_at(s, s.b, s.fb);
    return s.interpolation_converged ? Stage::CheckMovement : Stage::Finish;
}

// A converged search that would leave x where it was tightens the tolerance and goes on.
Stage check_movement(Search& s) {
    for (int i = 0; i < s.n; ++i) {
        if (trial_point[i] != s.x[i]) return Stage::Finish;
    }
    if (s.retries == MAX_RETRIES) {
        store_result(s);
        return Stage::Done;
    }
    s.interpolation_converged = false;
    s.retries = s.retries + 1;
    s.tol = s.tol / TIGHTENING;
    return Stage::Insert;
}

// Never stores a point that is higher than the entry point.
Stage finish(Search& s) {
    if (s.result_value <= *s.value) store_result(s);
    return Stage::Done;
}

Stage next_stage(Search& s, Stage stage) {
    switch (stage) {
        case Stage::Insert:
            return insert(s);
        case Stage::Interpolate:
            return interpolate(s);
        case Stage::AcceptB:
            return accept_b(s);
        case Stage::CheckMovement:
            return check_movement(s);
        case Stage::Finish:
            return finish(s);
        case Stage::Done:
            break;
    }
    return Stage::Done;
}

}  // namespace

int line_search(int n, double* x, const double* d, double* value, ObjectiveFunction objective,
                FILE* trace) {
    Search s{};
    s.n = n;
    s.x = x;
    s.d = d;
    s.value = value;
    s.objective = objective;
    s.trace = trace;
    if (trace != nullptr) write_start(s);

    s.fa = s.fb = s.fc = *value;
    s.a = s.b = s.c = 0;
    s.tol = FIRST_TOLERANCE;
    s.retries = 0;
    s.midpoint_used = false;
    s.interpolation_converged = false;
    s.r = 1;
    s.k = -2;
    s.h = initial_step(n, x);
    s.t = s.h;

    Stage stage = bracket(s);
    while (stage != Stage::Done)
        stage = next_stage(s, stage);
    return s.r;
}
