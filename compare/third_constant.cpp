#include "compare/third_constant.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// The fraction of activity lost over the longest curve at the range's midpoint: 1 - e^-1.
constexpr double DECAY_OVER_SPAN = 2.0;
}  // namespace

bool derived_range(const std::string& role, const std::vector<CurveExtent>& curves, Range& range) {
    if (curves.empty()) return false;
    double low = curves.front().initial_concentration, high = low, span = 0.0;
    for (const CurveExtent& c : curves) {
        low = std::min(low, c.initial_concentration);
        high = std::max(high, c.initial_concentration);
        span = std::max(span, c.span);
    }
    if (role == "divisor") {
        if (!(low > 0.0) || !std::isfinite(high)) return false;
        range = low < high ? Range{low, high} : Range{0.5 * low, 2.0 * high};
        return true;
    }
    if (role == "decay_rate") {
        if (!(span > 0.0) || !std::isfinite(span)) return false;
        range = Range{0.0, DECAY_OVER_SPAN / span};
        return true;
    }
    return false;
}

bool parse_range(const std::string& text, Range& range) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    const std::string a = text.substr(0, comma), b = text.substr(comma + 1);
    char* end = nullptr;
    range.low = std::strtod(a.c_str(), &end);
    if (a.empty() || *end != '\0') return false;
    range.high = std::strtod(b.c_str(), &end);
    if (b.empty() || *end != '\0') return false;
    // The fit starts at the midpoint: a range too wide for a double to hold it is refused.
    return std::isfinite(range.low) && std::isfinite(range.high) && range.low < range.high &&
           std::isfinite(0.5 * (range.low + range.high));
}
