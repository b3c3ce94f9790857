#include "report/figure_panels.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "report/figure_axes.h"

namespace {

constexpr double RESIDUAL_TICS_EACH_SIDE = 2.5;
constexpr int TIME_TICS = 10;  // at most, on a log time axis

// Every keyed curve keeps its key entry, even one with nothing to draw, so the key always
// lists the whole problem; an empty block would stop gnuplot, so none is plotted.
std::vector<std::string> top_elements(const std::vector<CurveData>& data, bool keyed) {
    std::vector<std::string> elements;
    bool any_fitted = false, any_others = false;
    for (size_t c = 0; c < data.size(); ++c) {
        const std::string n = std::to_string(c + 1);
        const std::string lt = " lt " + n;
        std::string title = keyed ? " title name" + n : " notitle";
        if (data[c].compared_drawn > 0) {
            elements.push_back("$measured" + n + " using 1:($3 == 1 ? $2 : NaN) with points" + lt +
                               title);
            title = " notitle";
        }
        if (data[c].others_drawn > 0) {
            elements.push_back("$measured" + n + " using 1:($3 == 0 ? $2 : NaN) with points" + lt +
                               " pt not_compared_pt notitle");
            any_others = true;
        }
        if (data[c].fitted_drawn > 0) {
            elements.push_back("$fitted" + n + " using 1:2 with lines" + lt + title);
            title = " notitle";
            any_fitted = true;
        }
        if (title != " notitle") elements.push_back("NaN with points" + lt + title);
    }
    if (any_fitted) elements.push_back("NaN with lines lc rgb 'black' lw 2 title fitted_key");
    if (any_others)
        elements.push_back(
            "NaN with points lc rgb 'black' pt not_compared_pt ps 1.3 lw 2 title not_compared_key");
    if (elements.empty()) elements.push_back("NaN notitle");  // a problem without curves
    return elements;
}

std::vector<std::string> residual_elements(const std::vector<CurveData>& data) {
    std::vector<std::string> elements = {"0 with lines lc rgb zero_line_colour dt 2 lw 1 notitle"};
    for (size_t c = 0; c < data.size(); ++c) {
        if (data[c].residuals_drawn == 0) continue;
        const std::string n = std::to_string(c + 1);
        elements.push_back("$residual" + n + " using 1:2 with points lt " + n + " notitle");
    }
    return elements;
}

bool anything_to_draw(const std::vector<CurveData>& data) {
    return std::any_of(data.begin(), data.end(), [](const CurveData& d) { return d.anything(); });
}

double largest_residual(const std::vector<CurveData>& data) {
    double largest = 0.0;
    for (const CurveData& d : data)
        largest = std::max(largest, d.largest_residual);
    return largest;
}

// The log time axis spans the points, since the simulation starts long before the first.
std::string log_axis_of(const std::vector<CurveData>& data) {
    double low = INFINITY, high = -INFINITY;
    for (const CurveData& d : data) {
        for (double time : d.point_times) {
            low = std::min(low, time);
            high = std::max(high, time);
        }
    }
    return log_time_axis(low, high, TIME_TICS);
}

// Many curves: the colour scale and the two black entries take the key's place, side by
// side under the title.
void write_scale_header(std::ostream& out) {
    out << "    set colorbox horizontal user origin screen 0.34, screen 0.9 \\\n"
           "        size screen 0.28, screen 0.02\n"
           "    set label 2 colour_scale_label at screen 0.33, screen 0.91 right\n"
           "    set key at screen 0.68, screen 0.94 left top vertical reverse Left \\\n"
           "        samplen 2\n"
           "    set tmargin at screen 0.82\n";
}

void write_top(std::ostream& out, const std::vector<CurveData>& data, const FigureLayout& layout,
               bool keyed) {
    out << "    # Top panel: measured points and fitted curves. The key sits above the panel\n"
           "    # so that it never covers a point.\n"
           "    set lmargin at screen 0.11\n"
           "    set rmargin at screen 0.97\n"
           "    set origin 0, 0\n"
           "    set size 1, 0.95  # the page title above\n"
           "    set bmargin at screen 0.37\n"
           "    set grid ls 100\n";
    if (keyed)
        out << "    set tmargin\n"
               "    set key outside top center horizontal reverse Left samplen 2 width 2\n";
    else
        write_scale_header(out);
    out << "    set format x ''\n"
           "    set ytics autofreq\n"
           "    unset xlabel\n"
           "    set ylabel value_label\n"
           "    set offsets graph 0.02, graph 0.02, graph 0.05, 0\n";
    if (anything_to_draw(data)) {
        // Values are drawn from zero up, unless one lies below it; the ends are not pushed
        // out to the next tic, the offsets leave the room instead.
        out << (layout.log_time ? log_axis_of(data)
                                : "    set xrange [*:*]\n    set autoscale xfix\n")
            << "    set yrange [*<0:0<*]\n    set autoscale yfix\n"
               "    plot \\\n"
            << joined(top_elements(data, keyed));
    } else {
        out << "    set xrange [0:1]\n    set yrange [0:1]\n"
               "    set label 1 'no point and no fitted curve to draw' at graph 0.5, 0.5 center\n"
               "    plot \\\n"
            << joined(top_elements(data, keyed)) << "    unset label 1\n";
    }
    out << "    time_min = GPVAL_X_MIN\n    time_max = GPVAL_X_MAX\n\n";
}

void write_residuals(std::ostream& out, const std::vector<CurveData>& data,
                     const FigureLayout& layout, bool keyed) {
    out << "    # Bottom panel: residuals of the compared points, on the time axis above.\n"
        << (keyed ? "" : "    unset colorbox\n    unset label 2\n")
        << "    set tmargin at screen 0.34\n"
           "    set bmargin at screen 0.08\n"
           "    unset key\n"
           "    set format x\n"
           "    set xlabel time_label\n"
           "    set ylabel residual_label\n"
           "    set offsets 0, 0, 0, 0\n"
        << (layout.log_time && anything_to_draw(data) ? log_axis_of(data)
                                                      : "    set xrange [time_min:time_max]\n")
        << residual_axis(largest_residual(data), RESIDUAL_TICS_EACH_SIDE) << "    plot \\\n"
        << joined(residual_elements(data))
        << "    unset multiplot\n"
           "    set output\n"
           "}\n";
}

}  // namespace

void write_terminal_choice(std::ostream& out) {
    out << "do for [format in formats] {\n"
           "    if (format eq 'svg') {\n"
           "        set terminal svg size width, height dynamic font text_font noenhanced \\\n"
           "            background rgb 'white'\n"
           "    }\n"
           "    if (format eq 'png') {\n"
           "        if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n"
           "            set terminal pngcairo size width, height font text_font noenhanced \\\n"
           "                background rgb 'white'\n"
           "        } else {\n"
           "            set terminal png size width, height noenhanced\n"
           "        }\n"
           "    }\n"
           "    if (format eq 'pdf') {\n"
           "        set terminal pdfcairo size width / 100.0, height / 100.0 \\\n"
           "            font text_font noenhanced\n"
           "    }\n"
           "    set output output_prefix . '.' . format\n"
           "    set multiplot title title_text font ',14'\n\n";
}

void write_stacked_panels(std::ostream& out, const std::vector<CurveData>& data,
                          const FigureLayout& layout, bool keyed) {
    write_top(out, data, layout, keyed);
    write_residuals(out, data, layout, keyed);
}
