#include "report/figure_style.h"

#include <algorithm>
#include <cmath>

#include "outputs/gnuplot_text.h"
#include "report/figure_axes.h"
#include "report/figure_data.h"
#include "text/number_text.h"

namespace {

// Okabe and Ito's palette, which stays distinguishable to colour-blind readers and in grey;
// its yellow is left out (it vanishes on white) and a brown takes its place.
const char* const COLOURS[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                               "#E69F00", "#56B4E9", "#000000", "#8C564B"};
constexpr size_t COLOUR_COUNT = sizeof COLOURS / sizeof COLOURS[0];
// gnuplot's filled circle, square, triangles up and down, diamond and pentagon. Six shapes
// against eight colours: 16 keyed curves never share both.
const int FILLED_POINT_TYPES[] = {7, 5, 9, 11, 13, 15};
constexpr size_t SHAPE_COUNT = sizeof FILLED_POINT_TYPES / sizeof FILLED_POINT_TYPES[0];
constexpr int FILLED_CIRCLE = 7;
constexpr int OPEN_CIRCLE = 6;
constexpr int DASHED = 2;  // the keyed curves past the palette's first round

// The colour scale of many curves: dark blue to vermilion through the same palette's blue,
// green and orange, light enough at neither end to vanish on white.
const char* const SCALE = "(0 '#2C1E8C', 1 '#0072B2', 2 '#009E73', 3 '#E69F00', 4 '#D55E00')";
// A scale over this many-fold is drawn logarithmic, so that low starts are told apart.
constexpr double LOG_SCALE_FROM = 10.0;

void write_keyed(std::ostream& out, size_t curves) {
    for (size_t c = 0; c < curves; ++c) {
        out << "set linetype " << c + 1 << " lc rgb '" << COLOURS[c % COLOUR_COUNT] << "' lw 2 pt "
            << FILLED_POINT_TYPES[c % SHAPE_COUNT] << " ps 1.3 dt "
            << (c < COLOUR_COUNT ? 1 : DASHED) << "\n";
    }
}

// Curves at one initial concentration (replicates) share a colour, which is what a reader
// of a plate wants to see.
void write_scaled(std::ostream& out, const FitReport& report) {
    double low = INFINITY, high = -INFINITY;
    bool all_usable = true;
    for (const CurveResult& curve : report.curves) {
        const double s0 = curve.initial_concentration;
        all_usable &= s0 > 0.0 && drawable(s0);
        low = std::min(low, s0);
        high = std::max(high, s0);
    }
    const bool by_start = all_usable && high > low;
    if (!by_start) low = 1, high = static_cast<double>(report.curves.size());
    out << "set palette defined " << SCALE << "\n"
        << "set cbrange [" << script_number(low) << ":" << script_number(high) << "]\n"
        << (by_start && high / low >= LOG_SCALE_FROM ? "set logscale cb\n" : "")
        << "colour_scale_label = "
        << gnuplot_string(shown(by_start ? with_unit("initial concentration", report.conc_unit)
                                         : std::string("curve")))
        << "\n";
    for (size_t c = 0; c < report.curves.size(); ++c) {
        const double value = by_start ? report.curves[c].initial_concentration : c + 1.0;
        out << "set linetype " << c + 1 << " lc palette cb " << script_number(value)
            << " lw 1.5 pt " << FILLED_CIRCLE << " ps 0.8 dt 1\n";
    }
}

}  // namespace

std::string curve_name(const CurveResult& curve, const std::string& conc_unit, size_t number) {
    std::string name;
    if (std::isfinite(curve.initial_concentration)) {
        name = significant(curve.initial_concentration, 6);
        if (!conc_unit.empty()) name += " " + conc_unit;
    }
    if (!curve.file.empty()) name += (name.empty() ? "" : ", ") + curve.file;
    return name.empty() ? "curve " + std::to_string(number) : name;
}

void write_styles(std::ostream& out, const FitReport& report) {
    out << "# ---- Colours and symbols: line type N draws curve N ----\n";
    if (keyed(report.curves.size())) {
        out << "# A filled symbol is a compared point; the points the fit did not compare (point\n"
               "# 0 and those it never reached or that hold no concentration) are open circles.\n";
        write_keyed(out, report.curves.size());
    } else {
        out << "# Too many curves for a key: the colour of a curve tells its place on the colour\n"
               "# scale. Points the fit did not compare are open circles.\n";
        write_scaled(out, report);
    }
    out << "not_compared_pt = " << OPEN_CIRCLE << "\n"
        << "zero_line_colour = '#808080'\n"
           "set style line 100 lt 1 lc rgb '#e0e0e0' lw 1 dt 1  # the grid\n\n";
}
