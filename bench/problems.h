// The benchmark problems: measured Michaelis-Menten progress curves (closed
// form, with a small fixed wobble standing in for measurement noise).
#pragma once

#include <cmath>

#include "tests/support/michaelis_menten.h"

namespace bench_problems {

struct Curve {
    double s0;
    double span;  // time of the last point; the first is at 0
    int points;   // evenly spaced
};

struct Problem {
    const char* name;
    double km, vmax;  // of the measured curves
    int curves;
    Curve curve[16];
};

// 16 curves of 256 points 0.1 apart, each spanning 25.5 (mM, s).
inline Problem large_problem() {
    Problem p{"large", 1.0, 0.1, 16, {}};
    for (int i = 0; i < 16; ++i)
        p.curve[i] = {0.25 * (i + 1), 25.5, 256};
    return p;
}

// Five curves recorded in minutes over 100 to 1,400 minutes (mM, min).
inline Problem long_problem() {
    return {"long",
            2.0,
            0.04,
            5,
            {{2.0, 100.0, 101},
             {5.0, 200.0, 101},
             {8.0, 300.0, 101},
             {30.0, 1000.0, 126},
             {45.0, 1400.0, 141}}};
}

inline double point_time(const Curve& c, int i) {
    return c.span * i / (c.points - 1);
}

inline double measured(const Problem& p, int curve, int i) {
    const Curve& c = p.curve[curve];
    const double wobble = 1.0 + 0.01 * std::sin(1.7 * i + 0.9 * curve);
    return testing_support::substrate_at(c.s0, p.km, p.vmax, point_time(c, i)) * wobble;
}

// Km's admissible range has its midpoint off the true value, so the fit has work to do.
inline double km_min(const Problem& p) {
    return 0.2 * p.km;
}
inline double km_max(const Problem& p) {
    return 2.3 * p.km;
}
inline double vmax_min(const Problem& p) {
    return 0.5 * p.vmax;
}
inline double vmax_max(const Problem& p) {
    return 1.5 * p.vmax;
}

// Integration steps of one evaluation: every curve over its span with step 0.01.
inline double curve_steps(const Problem& p) {
    double steps = 0.0;
    for (int i = 0; i < p.curves; ++i)
        steps += p.curve[i].span / 0.01;
    return steps;
}

}  // namespace bench_problems
