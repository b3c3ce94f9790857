// The profile interval of one constant c of a least-squares fit with k constants:
//
//   { c : RSS(c) <= RSS_min (1 + F(0.95; 1, n - k) / (n - k)) }
//
// RSS(c) the sum of squares at c (with the other constants of the fit at their optimum for
// that c, where there are any). Each end is found by widening a bracket outwards from the
// optimum and refining it with a bracketing root finder (TOMS 748, Boost.Math). The interval
// is not symmetric where the problem is not linear in c.
#pragma once

#include <functional>
#include <string>

constexpr double CONFIDENCE = 0.95;
// The upper end is searched up to this multiple of the constant, the lower one down to 0.
constexpr double UNBOUNDED_ABOVE = 1e6;

struct IntervalEnd {
    enum Kind {
        FOUND,      // value is the end
        UNBOUNDED,  // RSS stays below the level up to `value` (0, or the upper limit)
        UNDEFINED,  // RSS is no number at `value`
        NOT_FOUND,  // the root finder gave up: `reason` says why
    };
    Kind kind = UNDEFINED;
    double value = 0.0;
    std::string reason;

    double end() const;  // the end, NaN unless FOUND
};

struct ProfileInterval {
    bool made = false;         // false where n <= k, RSS or c is unusable
    bool exact_match = false;  // RSS_min is 0: no level above it, no interval
    IntervalEnd lower, upper;
};

// Bits of the constant the root finder resolves: a sum of squares computed afresh has them
// all; a profile minimised over other constants only as many as its minimisation gives.
constexpr int EXACT_BITS = 30;
constexpr int PROFILE_BITS = 16;

// rss_at(c): the (profile) sum of squares at c; value, rss_min: the optimum; n compared
// points, k constants fitted; standard_error of c (sets the first bracket); bits: see above.
ProfileInterval profile_interval(const std::function<double(double)>& rss_at, double value,
                                 double rss_min, int n, int k, double standard_error,
                                 int bits = EXACT_BITS);
