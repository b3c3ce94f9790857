#include "compare/compare_figure.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "outputs/gnuplot_text.h"
#include "text/number_text.h"

namespace {

constexpr int COLUMN_PIXELS = 360;
// A fitted line is drawn through at most one point per pixel of its column's width (the
// reports hand it over at a thousand or more; gnuplot's time grows with the points).
constexpr size_t LINE_POINTS = COLUMN_PIXELS;
constexpr int HEIGHT_PIXELS = 640;
// Room above the largest residual.
constexpr double RESIDUAL_HEADROOM = 1.2;
const char* const COLOURS[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                               "#E69F00", "#56B4E9", "#000000", "#8C564B"};
constexpr int COLOUR_COUNT = sizeof COLOURS / sizeof COLOURS[0];

std::string num(double v) {
    return number_text(v, "%.10g", NonFinite::R);
}

bool drawable(double v) {
    return std::isfinite(v) && std::fabs(v) < 1e300;
}

double value_at(const nlohmann::json& array, size_t i) {
    return i < array.size() && array[i].is_number() ? array[i].get<double>() : NAN;
}

// Rows of the measured points, the drawn line and the residuals of one curve of one law.
void curve_blocks(std::ostream& out, const nlohmann::json& curve, const std::string& name,
                  double& largest) {
    std::string points, line, residuals;
    for (size_t i = 0; i < curve["time"].size(); ++i) {
        const double t = value_at(curve["time"], i), m = value_at(curve["measured"], i);
        const double s = value_at(curve["simulated"], i);
        if (drawable(t) && drawable(m)) points += num(t) + " " + num(m) + "\n";
        if (value_at(curve["compared"], i) == 1.0 && drawable(t) && drawable(m - s)) {
            residuals += num(t) + " " + num(m - s) + "\n";
            largest = std::max(largest, std::fabs(m - s));
        }
    }
    const size_t drawn = curve["drawn_time"].size();
    const size_t stride = drawn / LINE_POINTS + 1;
    for (size_t i = 0; i < drawn; ++i) {
        if (i % stride != 0 && i + 1 != drawn) continue;  // the line's end is always drawn
        const double t = value_at(curve["drawn_time"], i), y = value_at(curve["drawn_value"], i);
        if (drawable(t) && drawable(y)) line += num(t) + " " + num(y) + "\n";
    }
    // An empty block would stop gnuplot: a point outside every range stands in for it.
    const std::string none = "NaN NaN\n";
    out << "$points_" << name << " << EOD\n" << (points.empty() ? none : points) << "EOD\n";
    out << "$line_" << name << " << EOD\n" << (line.empty() ? none : line) << "EOD\n";
    out << "$residuals_" << name << " << EOD\n"
        << (residuals.empty() ? none : residuals) << "EOD\n";
}

}  // namespace

bool write_comparison_figure(const Comparison& c, const std::string& prefix,
                             const std::string& path) {
    std::ostringstream data, draw;
    double largest = 0.0;
    const size_t laws = c.ranked.size();
    for (size_t l = 0; l < laws; ++l)
        for (size_t p = 0; p < c.ranked[l].curves.size(); ++p)
            curve_blocks(data, c.ranked[l].curves[p],
                         std::to_string(l + 1) + "_" + std::to_string(p + 1), largest);
    const double limit = largest > 0.0 && std::isfinite(largest) ? RESIDUAL_HEADROOM * largest : 1;
    const std::string conc =
        c.conc_unit.empty() ? "concentration" : "concentration (" + c.conc_unit + ")";
    const std::string time = c.time_unit.empty() ? "time" : "time (" + c.time_unit + ")";
    for (size_t l = 0; l < laws; ++l) {
        const LawFit& f = c.ranked[l];
        const double left = double(l) / laws, width = 1.0 / laws;
        const std::string title =
            std::to_string(l + 1) + ". " + f.program + ", dAICc " + significant(f.delta, 3);
        draw << "    # " << f.law << "\n"
             << "    set origin " << num(left) << ", 0.36\n    set size " << num(width)
             << ", 0.58\n    set title " << gnuplot_string(shown(title)) << "\n"
             << "    set ylabel " << gnuplot_string(l == 0 ? shown(conc) : std::string()) << "\n"
             << "    set format x ''\n    unset xlabel\n    set yrange [0:*]\n    plot \\\n";
        for (size_t p = 0; p < f.curves.size(); ++p) {
            const std::string n = std::to_string(l + 1) + "_" + std::to_string(p + 1);
            const std::string colour = COLOURS[p % COLOUR_COUNT];
            draw << "        $points_" << n << " with points pt 7 ps 0.7 lc rgb '" << colour
                 << "' notitle, \\\n        $line_" << n << " with lines lw 1.5 lc rgb '" << colour
                 << "' notitle" << (p + 1 < f.curves.size() ? ", \\\n" : "\n");
        }
        if (f.curves.empty()) draw << "        NaN notitle\n";
        draw << "    set origin " << num(left) << ", 0\n    set size " << num(width)
             << ", 0.36\n    unset title\n    set format x\n    set xlabel "
             << gnuplot_string(shown(time)) << "\n    set ylabel "
             << gnuplot_string(l == 0 ? "residual" : "") << "\n    set yrange [-limit:limit]\n"
             << "    plot 0 with lines lc rgb '#808080' dt 2 notitle";
        for (size_t p = 0; p < f.curves.size(); ++p)
            draw << ", \\\n        $residuals_" << std::to_string(l + 1) << "_" << p + 1
                 << " with points pt 7 ps 0.6 lc rgb '" << COLOURS[p % COLOUR_COUNT] << "' notitle";
        draw << "\n    set yrange [*:*]\n";
    }
    std::ofstream out(path, std::ios::binary);
    out << "# The laws compared: one column per law, best first. Above: the measured points\n"
           "# and the law's fitted curves; below: its residuals, on one scale for all laws.\n"
           "# Run it where the comparison ran:  gnuplot <this file>\n"
           "reset\nset encoding utf8\n"
           "if (!exists(\"output_prefix\")) output_prefix = "
        << gnuplot_string(prefix)
        << "\nformats = 'svg png'\nwidth = " << COLUMN_PIXELS * std::max<size_t>(laws, 1)
        << "\nheight = " << HEIGHT_PIXELS << "\nlimit = " << num(limit) << "\n\n# ---- Data ----\n"
        << data.str()
        << "\n# ---- Drawing ----\n"
           "do for [format in formats] {\n"
           "    if (format eq 'svg') { set terminal svg size width, height font 'Sans,10' "
           "noenhanced background rgb 'white' }\n"
           "    if (format eq 'png') { set terminal pngcairo size width, height font 'Sans,10' "
           "noenhanced background rgb 'white' }\n"
           "    set output output_prefix . '.' . format\n"
           "    set multiplot\n    set grid lc rgb '#e0e0e0'\n    set lmargin 9\n"
           "    set rmargin 2\n"
        << draw.str() << "    unset multiplot\n    set output\n}\n";
    out.close();
    return static_cast<bool>(out);
}
