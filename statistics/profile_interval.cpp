#include "statistics/profile_interval.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// A step of the secant walk goes at most this multiple of the distance already covered past
// the optimum, and no less than this fraction of it: the profile may bend, and a walk that
// crawls would never bracket the end.
constexpr double MOST_STRIDE = 4.0;
constexpr double LEAST_STRIDE = 0.25;
// Secant-and-probe rounds before the bracketing root finder takes over, and how far past the
// reckoned end a probe goes, as a fraction of the tolerance.
constexpr int SECANT_ROUNDS = 6;
constexpr double PROBE_MARGIN = 0.25;
// The root finder's evaluation budget per side.
constexpr std::uintmax_t ROOT_EVALUATIONS = 60;

bool usable(double v) {
    return std::isfinite(v) && v > 0.0;
}

// One end: where the profile t, tau(c) = sqrt(RSS(c) - RSS_min), reaches tau_level, searched
// from the optimum outwards in the direction `side` (-1 or +1). tau is a straight line
// through the optimum where the model is linear in c, so the first try (the end the standard
// error predicts) and the secants through the points found are close to the end, and the
// bracket the root finder refines is short.
IntervalEnd interval_end(const std::function<double(double)>& rss_at, double value, double rss_min,
                         double half_width, double level, int side, int bits) {
    const double tau_level = std::sqrt(level - rss_min);
    auto beyond_level = [&](double c) {
        const double excess = rss_at(c) - rss_min;
        return std::isnan(excess) ? excess : std::sqrt(std::fmax(excess, 0.0)) - tau_level;
    };
    const double limit = side < 0 ? 0.0 : UNBOUNDED_ABOVE * value;
    // The point a fraction `t` of the way from a to b: upwards on a logarithmic scale, where a
    // profile that flattens out (a constant the data bound only weakly from above) is nearer
    // a straight line.
    auto on_scale = [side, value](double a, double b, double t) {
        if (side > 0 && value > 0.0) return std::exp(std::log(a) + (std::log(b) - std::log(a)) * t);
        return a + (b - a) * t;
    };
    // Towards 0 the first try goes at most halfway: a constant whose standard error exceeds its
    // value would be tried at 0 at once, and the secants from so far out are of no use.
    double distance = usable(half_width) ? half_width : 0.5 * value;
    if (side < 0) distance = std::fmin(distance, 0.5 * value);
    double inner = value, f_inner = -tau_level, outer = value, f_outer = -tau_level;
    IntervalEnd end;
    bool limit_tried = false;
    for (;;) {
        outer = value + side * distance;
        if (side * (outer - limit) >= 0.0) outer = limit;
        f_outer = beyond_level(outer);
        end.value = outer;
        if (std::isnan(f_outer)) {
            end.kind = IntervalEnd::UNDEFINED;
            return end;
        }
        if (f_outer >= 0.0) break;
        if (outer == limit) {
            end.kind = IntervalEnd::UNBOUNDED;
            return end;
        }
        // The secant through the last two points (on the scale above), kept within the strides.
        const double covered = std::fabs(outer - value);
        double next = covered + (std::fabs(outer - inner)) * (-f_outer) / (f_outer - f_inner);
        if (side > 0 && value > 0.0)
            next = on_scale(inner, outer, 1.0 + (-f_outer) / (f_outer - f_inner)) - value;
        if (!(f_outer > f_inner)) next = covered * (1.0 + MOST_STRIDE);
        // A profile that flattens out upwards (a divisor whose law tends to another as it
        // grows) is tried once at the limit: below the level there, the side is unbounded, and
        // the walk need not creep up to it.
        if (side > 0 && !limit_tried && next > covered * (1.0 + MOST_STRIDE)) {
            limit_tried = true;
            const double f_limit = beyond_level(limit);
            if (f_limit < 0.0) {
                end.kind = IntervalEnd::UNBOUNDED;
                end.value = limit;
                return end;
            }
        }
        next = std::fmin(std::fmax(next, covered * (1.0 + LEAST_STRIDE)),
                         covered * (1.0 + MOST_STRIDE));
        inner = outer;
        f_inner = f_outer;
        distance = next;
    }
    // Above the level at once: a secant from the optimum's side shortens the bracket first.
    if (inner == value) {
        const double between = inner + (outer - inner) * (-f_inner) / (f_outer - f_inner);
        const double f_between = beyond_level(between);
        if (std::isnan(f_between)) {
            end.kind = IntervalEnd::UNDEFINED;
            end.value = between;
            return end;
        }
        if (f_between >= 0.0) {
            outer = between;
            f_outer = f_between;
        } else {
            inner = between;
            f_inner = f_between;
        }
    }
    // Secants on the nearly straight tau (Illinois: an end kept twice counts half, so that the
    // bracket closes from both sides). Where one lands within the tolerance of the end, as the
    // bracket's slope reckons it, a probe just past that reckoned end closes the bracket.
    boost::math::tools::eps_tolerance<double> resolved(bits);
    double weight_inner = f_inner, weight_outer = f_outer;
    int kept = 0;  // -1: inner was kept by the last secant, +1: outer was
    auto take = [&](double c, double f) {
        if (f >= 0.0) {
            outer = c;
            f_outer = weight_outer = f;
            if (kept == -1) weight_inner *= 0.5;
            kept = -1;
        } else {
            inner = c;
            f_inner = weight_inner = f;
            if (kept == 1) weight_outer *= 0.5;
            kept = 1;
        }
    };
    for (int round = 0; round < SECANT_ROUNDS && !resolved(inner, outer); ++round) {
        const double at = on_scale(inner, outer, -weight_inner / (weight_outer - weight_inner));
        const double f_at = beyond_level(at);
        if (std::isnan(f_at) || !(std::fabs(at - inner) < std::fabs(outer - inner))) break;
        take(at, f_at);
        if (f_at == 0.0) {
            inner = at;
            break;
        }
        const double tolerance = std::ldexp(1.0, 1 - bits) * std::fabs(at);
        const double reckoned = std::fabs(f_at) * std::fabs(outer - inner) / (f_outer - f_inner);
        if (!(reckoned < (1.0 - PROBE_MARGIN) * tolerance)) continue;
        const double reach = reckoned + PROBE_MARGIN * tolerance;
        const double probe = f_at < 0.0 ? at + side * reach : at - side * reach;
        const double f_probe = beyond_level(probe);
        if (std::isnan(f_probe)) break;
        kept = 0;
        take(probe, f_probe);
    }
    if (f_inner == 0.0 || resolved(inner, outer)) {
        end.kind = IntervalEnd::FOUND;
        end.value = f_inner == 0.0 ? inner : 0.5 * (inner + outer);
        return end;
    }
    double a = std::min(inner, outer), b = std::max(inner, outer);
    double fa = a == inner ? f_inner : f_outer, fb = a == inner ? f_outer : f_inner;
    std::uintmax_t evaluations = ROOT_EVALUATIONS;
    try {
        const auto root =
            boost::math::tools::toms748_solve(beyond_level, a, b, fa, fb, resolved, evaluations);
        end.kind = IntervalEnd::FOUND;
        end.value = 0.5 * (root.first + root.second);
    } catch (const std::exception& e) {
        end.kind = IntervalEnd::NOT_FOUND;
        end.reason = e.what();
    }
    return end;
}

}  // namespace

double IntervalEnd::end() const {
    return kind == FOUND ? value : std::numeric_limits<double>::quiet_NaN();
}

ProfileInterval profile_interval(const std::function<double(double)>& rss_at, double value,
                                 double rss_min, int n, int k, double standard_error, int bits) {
    ProfileInterval interval;
    if (n <= k || !std::isfinite(rss_min) || !usable(value)) return interval;
    interval.made = true;
    const double dof = n - k;
    const boost::math::fisher_f distribution(1.0, dof);
    const double f = boost::math::quantile(distribution, CONFIDENCE);
    const double level = rss_min * (1.0 + f / dof);
    if (!(level > rss_min)) {
        interval.exact_match = true;
        return interval;
    }
    const double half_width = standard_error * std::sqrt(f);
    interval.lower = interval_end(rss_at, value, rss_min, half_width, level, -1, bits);
    interval.upper = interval_end(rss_at, value, rss_min, half_width, level, +1, bits);
    return interval;
}
