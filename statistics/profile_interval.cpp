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

// The profile t of one side: tau(c) = sqrt(RSS(c) - RSS_min), less its value at the level.
// tau is a straight line through the optimum where the model is linear in c, so the end the
// standard error predicts and the secants through points found lie close to the end.
struct ProfileT {
    const std::function<double(double)>& rss_at;
    double value, rss_min, tau_level;
    int side;  // -1: the lower end, +1: the upper one

    double beyond_level(double c) const {
        const double excess = rss_at(c) - rss_min;
        return std::isnan(excess) ? excess : std::sqrt(std::fmax(excess, 0.0)) - tau_level;
    }
    // The point a fraction t of the way from a to b: upwards on a logarithmic scale, where a
    // profile that flattens out (a constant the data bound only weakly from above) is nearer a
    // straight line.
    double on_scale(double a, double b, double t) const {
        if (side > 0 && value > 0.0) return std::exp(std::log(a) + (std::log(b) - std::log(a)) * t);
        return a + (b - a) * t;
    }
    double limit() const { return side < 0 ? 0.0 : UNBOUNDED_ABOVE * value; }
};

// A bracket of the end: tau below the level at `inner`, at or above it at `outer`.
struct Bracket {
    double inner, f_inner, outer, f_outer;
};

// Walks out from the optimum until tau reaches the level: first to the end the standard
// error predicts, then by secants kept within the strides. False, with `end` filled, where
// RSS is no number or stays below the level up to the limit.
bool walk_out(const ProfileT& p, double half_width, Bracket& b, IntervalEnd& end) {
    // Towards 0 the first try goes at most halfway: a constant whose standard error exceeds its
    // value would be tried at 0 at once, and the secants from so far out are of no use.
    double distance = usable(half_width) ? half_width : 0.5 * p.value;
    if (p.side < 0) distance = std::fmin(distance, 0.5 * p.value);
    b = {p.value, -p.tau_level, p.value, -p.tau_level};
    bool limit_tried = false;
    for (;;) {
        b.outer = p.value + p.side * distance;
        if (p.side * (b.outer - p.limit()) >= 0.0) b.outer = p.limit();
        b.f_outer = p.beyond_level(b.outer);
        end.value = b.outer;
        if (std::isnan(b.f_outer)) {
            end.kind = IntervalEnd::UNDEFINED;
            return false;
        }
        if (b.f_outer >= 0.0) return true;
        if (b.outer == p.limit()) {
            end.kind = IntervalEnd::UNBOUNDED;
            return false;
        }
        // The secant through the last two points (on the scale above), kept within the strides.
        const double covered = std::fabs(b.outer - p.value);
        double next =
            covered + std::fabs(b.outer - b.inner) * (-b.f_outer) / (b.f_outer - b.f_inner);
        if (p.side > 0 && p.value > 0.0)
            next = p.on_scale(b.inner, b.outer, 1.0 + (-b.f_outer) / (b.f_outer - b.f_inner)) -
                   p.value;
        if (!(b.f_outer > b.f_inner)) next = covered * (1.0 + MOST_STRIDE);
        // A profile that flattens out upwards (a divisor whose law tends to another as it
        // grows) is tried once at the limit: below the level there, the side is unbounded, and
        // the walk need not creep up to it.
        if (p.side > 0 && !limit_tried && next > covered * (1.0 + MOST_STRIDE)) {
            limit_tried = true;
            if (p.beyond_level(p.limit()) < 0.0) {
                end.kind = IntervalEnd::UNBOUNDED;
                end.value = p.limit();
                return false;
            }
        }
        b.inner = b.outer;
        b.f_inner = b.f_outer;
        distance = std::fmin(std::fmax(next, covered * (1.0 + LEAST_STRIDE)),
                             covered * (1.0 + MOST_STRIDE));
    }
}

// Above the level at the first try: a secant from the optimum's side shortens the bracket.
bool shorten_from_optimum(const ProfileT& p, Bracket& b, IntervalEnd& end) {
    const double between = b.inner + (b.outer - b.inner) * (-b.f_inner) / (b.f_outer - b.f_inner);
    const double f_between = p.beyond_level(between);
    if (std::isnan(f_between)) {
        end.kind = IntervalEnd::UNDEFINED;
        end.value = between;
        return false;
    }
    if (f_between >= 0.0) {
        b.outer = between;
        b.f_outer = f_between;
    } else {
        b.inner = between;
        b.f_inner = f_between;
    }
    return true;
}

// Secants on the nearly straight tau (Illinois: an end kept twice counts half, so that the
// bracket closes from both sides). Where one lands within the tolerance of the end, as the
// bracket's slope reckons it, a probe just past that reckoned end closes the bracket.
void close_by_secants(const ProfileT& p, Bracket& b,
                      boost::math::tools::eps_tolerance<double>& resolved, int bits) {
    double weight_inner = b.f_inner, weight_outer = b.f_outer;
    int kept = 0;  // -1: inner was kept by the last secant, +1: outer was
    auto take = [&](double c, double f) {
        if (f >= 0.0) {
            b.outer = c;
            b.f_outer = weight_outer = f;
            if (kept == -1) weight_inner *= 0.5;
            kept = -1;
        } else {
            b.inner = c;
            b.f_inner = weight_inner = f;
            if (kept == 1) weight_outer *= 0.5;
            kept = 1;
        }
    };
    for (int round = 0; round < SECANT_ROUNDS && !resolved(b.inner, b.outer); ++round) {
        const double at =
            p.on_scale(b.inner, b.outer, -weight_inner / (weight_outer - weight_inner));
        const double f_at = p.beyond_level(at);
        if (std::isnan(f_at) || !(std::fabs(at - b.inner) < std::fabs(b.outer - b.inner))) return;
        take(at, f_at);
        if (f_at == 0.0) {
            b.inner = at;
            return;
        }
        const double tolerance = std::ldexp(1.0, 1 - bits) * std::fabs(at);
        const double reckoned =
            std::fabs(f_at) * std::fabs(b.outer - b.inner) / (b.f_outer - b.f_inner);
        if (!(reckoned < (1.0 - PROBE_MARGIN) * tolerance)) continue;
        const double reach = reckoned + PROBE_MARGIN * tolerance;
        const double probe = f_at < 0.0 ? at + p.side * reach : at - p.side * reach;
        const double f_probe = p.beyond_level(probe);
        if (std::isnan(f_probe)) return;
        kept = 0;
        take(probe, f_probe);
    }
}

// One end, searched from the optimum outwards in the direction `side` (-1 or +1).
IntervalEnd interval_end(const std::function<double(double)>& rss_at, double value, double rss_min,
                         double half_width, double level, int side, int bits) {
    const ProfileT p{rss_at, value, rss_min, std::sqrt(level - rss_min), side};
    IntervalEnd end;
    Bracket b{};
    if (!walk_out(p, half_width, b, end)) return end;
    if (b.inner == value && !shorten_from_optimum(p, b, end)) return end;
    boost::math::tools::eps_tolerance<double> resolved(bits);
    close_by_secants(p, b, resolved, bits);
    if (b.f_inner == 0.0 || resolved(b.inner, b.outer)) {
        end.kind = IntervalEnd::FOUND;
        end.value = b.f_inner == 0.0 ? b.inner : 0.5 * (b.inner + b.outer);
        return end;
    }
    // The secants did not close in: the bracketing root finder refines what they left.
    double lo = std::min(b.inner, b.outer), hi = std::max(b.inner, b.outer);
    double f_lo = lo == b.inner ? b.f_inner : b.f_outer,
           f_hi = lo == b.inner ? b.f_outer : b.f_inner;
    std::uintmax_t evaluations = ROOT_EVALUATIONS;
    auto beyond_level = [&p](double c) { return p.beyond_level(c); };
    try {
        const auto root = boost::math::tools::toms748_solve(beyond_level, lo, hi, f_lo, f_hi,
                                                            resolved, evaluations);
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
