// How the curves are laid out in the picture: all on one pair of axes, one small panel each,
// or each scaled to its initial concentration. Real curves often differ too much for one
// pair of axes, so the choice follows what they differ in.
#pragma once

#include <cstddef>
#include <string>

#include "report/fit_report.h"

enum class Picture { OVERLAY, PANELS, NORMALISED };

// Curves whose time spans differ this much squeeze the short ones into a sliver of one axis.
constexpr double SPANS_APART = 10.0;
// Curves whose initial concentrations differ this much flatten the low ones on one axis.
constexpr double STARTS_APART = 100.0;
// Beyond this many curves the panels grow too small to read; the normalised picture follows.
constexpr std::size_t PANELS_AT_MOST = 25;

struct FigureLayout {
    Picture picture = Picture::OVERLAY;
    bool log_time = false;     // a log time axis (normalised only): point 0 at time 0 is left out
    double span_ratio = 1.0;   // longest over shortest time span of the curves
    double start_ratio = 1.0;  // highest over lowest initial concentration
    std::string reason;        // why this layout, for people
};

// The layout for `requested` (auto, overlay, panels or normalised; anything else counts as auto).
FigureLayout choose_layout(const FitReport& report, const std::string& requested);

const char* picture_name(Picture picture);

// "panels: the time spans differ 13-fold": the layout and why.
std::string described(const FigureLayout& layout);
