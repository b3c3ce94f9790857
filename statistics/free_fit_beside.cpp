#include "statistics/free_fit_beside.h"

#include <functional>
#include <string>
#include <vector>

#include "statistics/lockstep.h"

namespace {

// The constant whose interval the child works out; this process does the others.
constexpr int CHILD_CONSTANT = 0;

ChildWork::Message message_of(const ProfileInterval& p) {
    return {p.made ? 1.0 : 0.0, p.exact_match ? 1.0 : 0.0, double(p.lower.kind),
            p.lower.value,      double(p.upper.kind),      p.upper.value};
}

ProfileInterval interval_of(const ChildWork::Message& m) {
    ProfileInterval p;
    if (m.size() != 6) {
        p.made = true;
        p.lower.kind = p.upper.kind = IntervalEnd::NOT_FOUND;
        p.lower.reason = p.upper.reason = "the process that searched for it failed";
        return p;
    }
    p.made = m[0] != 0.0;
    p.exact_match = m[1] != 0.0;
    p.lower.kind = static_cast<IntervalEnd::Kind>(static_cast<int>(m[2]));
    p.lower.value = m[3];
    p.upper.kind = static_cast<IntervalEnd::Kind>(static_cast<int>(m[4]));
    p.upper.value = m[5];
    p.lower.reason = p.upper.reason = "the root finder gave up";
    return p;
}

}  // namespace

FreeFitBeside::FreeFitBeside(int n) : n_(n) {
    child_ = std::make_unique<ChildWork>([n](const ChildWork::Sender& send) {
        const FreeFit fit = free_fit_without_intervals(n);
        send(fit.point);
        send(message_of(free_fit_interval(fit, CHILD_CONSTANT)));
    });
}

FreeFit FreeFitBeside::result() {
    ChildWork::Message point, interval;
    // A child that failed before it sent the optimum leaves the work to this process.
    if (!child_->receive(point)) point = free_fit_point(n_);
    FreeFit fit = free_fit_at(point, n_);
    std::vector<std::function<void()>> searches;
    for (int j = 0; j < CONSTANTS; ++j)
        if (j != CHILD_CONSTANT)
            searches.push_back([&fit, j] { fit.intervals[j] = free_fit_interval(fit, j); });
    run_in_lockstep(searches);
    fit.intervals[CHILD_CONSTANT] =
        child_->receive(interval) ? interval_of(interval) : free_fit_interval(fit, CHILD_CONSTANT);
    child_.reset();
    return fit;
}
