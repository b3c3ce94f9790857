#include "report/figure_panels.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "text/number_text.h"

namespace {

// Room above the residuals for the symmetric residual axis to breathe.
constexpr double RESIDUAL_HEADROOM = 1.2;
constexpr double RESIDUAL_TICS_EACH_SIDE = 2.5;

// One plot element per line, joined with gnuplot's line continuation.
std::string joined(const std::vector<std::string>& elements) {
    std::string text;
    for (size_t i = 0; i < elements.size(); ++i)
        text += "        " + elements[i] + (i + 1 < elements.size() ? ", \\\n" : "\n");
    return text;
}

// Every curve keeps its key entry, even one with nothing to draw, so the key always lists
// the whole problem; an empty block would stop gnuplot, so none is plotted.
std::vector<std::string> top_elements(const std::vector<CurveData>& data) {
    std::vector<std::string> elements;
    bool any_fitted = false, any_others = false;
    for (size_t c = 0; c < data.size(); ++c) {
        const std::string n = std::to_string(c + 1);
        const std::string lt = " lt " + n;
        std::string title = " title name" + n;
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

bool anything_on_top(const std::vector<CurveData>& data) {
    return std::any_of(data.begin(), data.end(), [](const CurveData& d) {
        return d.compared_drawn + d.others_drawn + d.fitted_drawn > 0;
    });
}

// The step of 1, 2 or 5 times a power of ten nearest to `step` (by ratio): tics a reader
// can add up.
double round_step(double step) {
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    double best = decade;
    for (double multiple : {2.0, 5.0, 10.0}) {
        const double candidate = multiple * decade;
        if (std::fabs(std::log(candidate / step)) < std::fabs(std::log(best / step)))
            best = candidate;
    }
    return best;
}

// A symmetric residual axis shows at a glance whether the fit lies above or below; a few
// round tics keep the short panel legible.
std::string residual_range(const std::vector<CurveData>& data) {
    double largest = 0.0;
    for (const CurveData& d : data)
        largest = std::max(largest, d.largest_residual);
    const double limit = RESIDUAL_HEADROOM * largest;
    const double step = round_step(limit / RESIDUAL_TICS_EACH_SIDE);
    if (!(limit > 0.0) || !std::isfinite(limit) || !(step > 0.0) || !std::isfinite(step))
        return "    set yrange [-1:1]\n    set ytics autofreq\n";
    return "    residual_limit = " + number_text(limit, DATA_PRECISION, NonFinite::R) +
           "\n    set yrange [-residual_limit:residual_limit]\n    set ytics " +
           number_text(step, DATA_PRECISION, NonFinite::R) + "\n";
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

void write_top_panel(std::ostream& out, const std::vector<CurveData>& data) {
    out << "    # Top panel: measured points and fitted curves. The key sits above the panel\n"
           "    # so that it never covers a point.\n"
           "    set lmargin at screen 0.11\n"
           "    set rmargin at screen 0.97\n"
           "    set origin 0, 0\n"
           "    set size 1, 0.95  # the page title above\n"
           "    set tmargin\n"
           "    set bmargin at screen 0.37\n"
           "    set grid ls 100\n"
           "    set key outside top center horizontal reverse Left samplen 2 width 2\n"
           "    set format x ''\n"
           "    set ytics autofreq\n"
           "    unset xlabel\n"
           "    set ylabel conc_label\n"
           "    set offsets graph 0.02, graph 0.02, graph 0.05, 0\n";
    if (anything_on_top(data)) {
        // Concentrations are drawn from zero up, unless a value lies below it; the ends
        // are not pushed out to the next tic, the offsets leave the room instead.
        out << "    set xrange [*:*]\n    set yrange [*<0:0<*]\n    set autoscale xfix\n"
               "    set autoscale yfix\n"
               "    plot \\\n"
            << joined(top_elements(data));
    } else {
        out << "    set xrange [0:1]\n    set yrange [0:1]\n"
               "    set label 1 'no point and no fitted curve to draw' at graph 0.5, 0.5 center\n"
               "    plot \\\n"
            << joined(top_elements(data)) << "    unset label 1\n";
    }
    out << "    time_min = GPVAL_X_MIN\n    time_max = GPVAL_X_MAX\n\n";
}

void write_residual_panel(std::ostream& out, const std::vector<CurveData>& data) {
    out << "    # Bottom panel: residuals of the compared points, on the time axis above.\n"
           "    set tmargin at screen 0.34\n"
           "    set bmargin at screen 0.08\n"
           "    unset key\n"
           "    set format x\n"
           "    set xlabel time_label\n"
           "    set ylabel residual_label\n"
           "    set offsets 0, 0, 0, 0\n"
           "    set xrange [time_min:time_max]\n"
        << residual_range(data) << "    plot \\\n"
        << joined(residual_elements(data))
        << "    unset multiplot\n"
           "    set output\n"
           "}\n";
}
