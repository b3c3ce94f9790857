#include "report/figure_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "report/figure_data.h"
#include "text/number_text.h"

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

struct Extent {
    double low = INF, high = -INF;
    void add(double value) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    // high / low of positive values; 1 when there are fewer than two.
    double ratio() const { return low > 0.0 && high > low ? high / low : 1.0; }
};

struct CurveFacts {
    Extent spans;   // of the curves' drawable points
    Extent starts;  // initial concentrations above zero, of curves with a point to draw
    bool negative_time = false;
    bool positive_time = false;
};

CurveFacts facts_of(const FitReport& report) {
    CurveFacts facts;
    for (const CurveResult& curve : report.curves) {
        Extent times;
        for (const PointRow& point : curve.points) {
            if (!drawable(point.time) || !drawable(point.measured)) continue;
            times.add(point.time);
            facts.negative_time |= point.time < 0.0;
            facts.positive_time |= point.time > 0.0;
        }
        if (times.high < times.low) continue;
        if (times.high > times.low) facts.spans.add(times.high - times.low);
        if (curve.initial_concentration > 0.0 && drawable(curve.initial_concentration))
            facts.starts.add(curve.initial_concentration);
    }
    return facts;
}

std::string fold(double ratio) {
    return number_text(ratio, ratio < 10.0 ? "%.2g" : ratio < 1e6 ? "%.0f" : "%.0e") + "-fold";
}

// The rule of `auto`: different spans call for panels while they stay legible, then for the
// normalised picture on a log time axis; very different starts for the normalised picture.
Picture automatic(const FitReport& report, const FigureLayout& layout) {
    const bool spans_apart = layout.span_ratio >= SPANS_APART;
    if (spans_apart && report.curves.size() <= PANELS_AT_MOST) return Picture::PANELS;
    if (spans_apart || layout.start_ratio >= STARTS_APART) return Picture::NORMALISED;
    return Picture::OVERLAY;
}

std::string reason_for(const FigureLayout& layout, const std::string& requested, size_t curves) {
    const std::string spans = "the time spans differ " + fold(layout.span_ratio);
    const std::string starts = "the initial concentrations differ " + fold(layout.start_ratio);
    if (requested == "panels" && layout.picture == Picture::NORMALISED)
        return "more than " + std::to_string(PANELS_AT_MOST) + " curves are too many for panels";
    if (requested != "auto") return "as asked";
    switch (layout.picture) {
        case Picture::PANELS:
            return spans;
        case Picture::NORMALISED:
            return layout.start_ratio >= STARTS_APART ? starts
                                                      : spans + ", and " + std::to_string(curves) +
                                                            " curves are too many for panels";
        case Picture::OVERLAY:
            break;
    }
    return spans + ", the initial concentrations " + fold(layout.start_ratio);
}

}  // namespace

FigureLayout choose_layout(const FitReport& report, const std::string& requested) {
    const CurveFacts facts = facts_of(report);
    FigureLayout layout;
    layout.span_ratio = facts.spans.ratio();
    layout.start_ratio = facts.starts.ratio();
    if (requested == "overlay")
        layout.picture = Picture::OVERLAY;
    else if (requested == "panels")
        layout.picture =
            report.curves.size() <= PANELS_AT_MOST ? Picture::PANELS : Picture::NORMALISED;
    else if (requested == "normalised")
        layout.picture = Picture::NORMALISED;
    else
        layout.picture = automatic(report, layout);
    // A log axis spreads the short curves over as much width as the long ones; it cannot
    // show a time of 0 or below, so it is taken only when no point lies before time 0.
    layout.log_time = layout.picture == Picture::NORMALISED && layout.span_ratio >= SPANS_APART &&
                      facts.positive_time && !facts.negative_time;
    const std::string asked =
        requested == "overlay" || requested == "panels" || requested == "normalised" ? requested
                                                                                     : "auto";
    layout.reason = reason_for(layout, asked, report.curves.size());
    return layout;
}

std::string described(const FigureLayout& layout) {
    return std::string(picture_name(layout.picture)) +
           (layout.log_time ? " on a log time axis" : "") + ": " + layout.reason;
}

const char* picture_name(Picture picture) {
    switch (picture) {
        case Picture::PANELS:
            return "panels";
        case Picture::NORMALISED:
            return "normalised";
        case Picture::OVERLAY:
            break;
    }
    return "overlay";
}
