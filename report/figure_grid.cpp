#include "report/figure_grid.h"

#include <algorithm>
#include <cmath>

#include "outputs/gnuplot_text.h"
#include "report/figure_axes.h"

namespace {

// Pixels: each panel's cell, the page's title and key above, its time label below and the
// concentration labels on the left.
constexpr int CELL_WIDTH = 330;
constexpr int CELL_HEIGHT = 340;
constexpr int HEADER = 72;
constexpr int PAGE_KEY_TOP = 36;
constexpr int FOOTER = 36;
constexpr int LEFT = 26;
// Within a cell: the panel's title above, the tic labels left and below.
constexpr int CELL_TITLE = 42;
constexpr int CELL_TICS_LEFT = 58;
constexpr int CELL_RIGHT = 14;
constexpr int CELL_TICS_BELOW = 30;
constexpr int STRIP_GAP = 6;
constexpr double VALUES_SHARE = 0.64;  // of the plotted height; the residual strip has the rest
constexpr size_t MOST_COLUMNS = 5;
// About this many tics on a panel's axes: more would run into each other.
constexpr int TIME_TICS = 4;
constexpr int LOG_TIME_TICS = 5;
constexpr int VALUE_TICS = 4;
constexpr double RESIDUAL_TICS_EACH_SIDE = 1.2;
// A panel whose points crowd into the start of its time axis (the middle one before this
// share of the last time, as when a curve ends with one reading long after the others, or
// was sampled at doubling times) is drawn on a log time axis.
constexpr double CROWDED_SHARE = 0.1;
constexpr size_t FEWEST_FOR_LOG = 3;
// A title longer than its cell would run into the next one.
constexpr size_t TITLE_CHARACTERS = 42;

struct Grid {
    size_t columns, rows;
    Canvas canvas;
};

Grid grid_of(size_t curves) {
    Grid grid;
    const size_t n = std::max<size_t>(curves, 1);
    // A little wider than square, as a page is.
    grid.columns = std::min(MOST_COLUMNS, static_cast<size_t>(std::ceil(std::sqrt(1.3 * n))));
    grid.rows = (n + grid.columns - 1) / grid.columns;
    grid.canvas = {LEFT + static_cast<int>(grid.columns) * CELL_WIDTH,
                   HEADER + static_cast<int>(grid.rows) * CELL_HEIGHT + FOOTER};
    return grid;
}

// Screen coordinates (0 .. 1, from the left and from the bottom) of pixel positions.
std::string across(const Canvas& canvas, int pixels) {
    return "screen " + script_number(static_cast<double>(pixels) / canvas.width);
}

std::string down(const Canvas& canvas, int pixels_from_top) {
    return "screen " + script_number(1.0 - static_cast<double>(pixels_from_top) / canvas.height);
}

// Cut at a character boundary, so that no UTF-8 sequence is broken.
std::string fitted_title(const std::string& name) {
    if (name.size() <= TITLE_CHARACTERS) return name;
    size_t cut = TITLE_CHARACTERS - 3;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.substr(0, cut) + "...";
}

// Only times above 0 have a place on a log axis, and only a curve without earlier points
// gets one.
bool crowded(const std::vector<double>& times) {
    std::vector<double> positive;
    for (double time : times) {
        if (time < 0.0) return false;
        if (time > 0.0) positive.push_back(time);
    }
    if (positive.size() < FEWEST_FOR_LOG) return false;
    std::sort(positive.begin(), positive.end());
    return positive[positive.size() / 2] < CROWDED_SHARE * positive.back();
}

double positive_low(const std::vector<double>& times) {
    double low = INFINITY;
    for (double time : times)
        if (time > 0.0) low = std::min(low, time);
    return low;
}

// The symbols' meaning, once for the page under its title, and the time label at its foot:
// a plot of nothing but its key, across the page.
void write_page_key(std::ostream& out, const Canvas& canvas) {
    out << "    # The key of every panel, under the page title; the time label at the foot.\n"
           "    set lmargin at screen 0\n"
           "    set rmargin at screen 1\n"
        << "    set tmargin at " << down(canvas, PAGE_KEY_TOP) << "\n"
        << "    set bmargin at " << down(canvas, HEADER - 8) << "\n"
        << "    unset border\n"
           "    unset xtics\n"
           "    unset ytics\n"
           "    unset ylabel\n"
           "    set xrange [0:1]\n"
           "    set yrange [0:1]\n"
           "    set key inside center center horizontal reverse Left samplen 2 width 2\n"
           "    set label 3 time_label at "
        << across(canvas, canvas.width / 2) << ", " << down(canvas, canvas.height - 12)
        << " center\n"
           "    plot \\\n"
        << joined({"NaN with points lc rgb 'black' pt 7 ps 1 title compared_key",
                   "NaN with points lc rgb 'black' pt not_compared_pt ps 1 lw 2 title "
                   "not_compared_key",
                   "NaN with lines lc rgb 'black' lw 2 title fitted_key"})
        << "    unset key\n"
           "    unset label 3\n"
           "    set border\n"
           "    set grid ls 100\n\n";
}

// `time` is the using-column of the time: every row's, or on a log axis those above 0.
std::vector<std::string> value_elements(const CurveData& data, const std::string& n,
                                        const std::string& time) {
    std::vector<std::string> elements;
    const std::string lt = " lt " + n;
    if (data.compared_drawn > 0)
        elements.push_back("$measured" + n + " using " + time +
                           ":($3 == 1 ? $2 : NaN) with points" + lt + " notitle");
    if (data.others_drawn > 0)
        elements.push_back("$measured" + n + " using " + time +
                           ":($3 == 0 ? $2 : NaN) with points" + lt +
                           " pt not_compared_pt notitle");
    if (data.fitted_drawn > 0)
        elements.push_back("$fitted" + n + " using " + time + ":2 with lines" + lt + " notitle");
    if (elements.empty()) elements.push_back("NaN notitle");
    return elements;
}

void write_panel(std::ostream& out, const Grid& grid, size_t c, const CurveData& data,
                 const std::string& name) {
    const Canvas& canvas = grid.canvas;
    const int column = static_cast<int>(c % grid.columns), row = static_cast<int>(c / grid.columns);
    const int left = LEFT + column * CELL_WIDTH, top = HEADER + row * CELL_HEIGHT;
    const int plot_top = top + CELL_TITLE, plot_bottom = top + CELL_HEIGHT - CELL_TICS_BELOW;
    const int values_bottom =
        plot_top + static_cast<int>(VALUES_SHARE * (plot_bottom - plot_top - STRIP_GAP));
    const std::string n = std::to_string(c + 1);
    const bool log_time = crowded(data.point_times);
    const std::string time = log_time ? "($1 > 0 ? $1 : NaN)" : "1";
    const std::string time_range =
        log_time ? log_time_axis(positive_low(data.point_times), data.time_high, LOG_TIME_TICS)
                 : time_axis(data.time_low, data.time_high, TIME_TICS);
    out << "    # Curve " << n << "\n"
        << "    set lmargin at " << across(canvas, left + CELL_TICS_LEFT) << "\n"
        << "    set rmargin at " << across(canvas, left + CELL_WIDTH - CELL_RIGHT) << "\n"
        << "    set tmargin at " << down(canvas, plot_top) << "\n"
        << "    set bmargin at " << down(canvas, values_bottom) << "\n"
        << "    set title " << gnuplot_string(shown(fitted_title(name))) << " font ',11'\n"
        << "    set format x ''\n"
        << "    set ylabel " << (column == 0 ? "value_label" : "''") << " font ',10'\n"
        << time_range << value_axis(data.value_low, data.value_high, VALUE_TICS);
    if (!data.anything()) out << "    set label 1 'nothing to draw' at graph 0.5, 0.5 center\n";
    out << "    plot \\\n" << joined(value_elements(data, n, time));
    if (!data.anything()) out << "    unset label 1\n";
    out << "    unset title\n"
        << "    set tmargin at " << down(canvas, values_bottom + STRIP_GAP) << "\n"
        << "    set bmargin at " << down(canvas, plot_bottom) << "\n"
        << "    set format x\n"
        << "    set ylabel " << (column == 0 ? "residual_label" : "''") << " font ',10'\n"
        << residual_axis(data.largest_residual, RESIDUAL_TICS_EACH_SIDE) << "    plot \\\n"
        << "        0 with lines lc rgb zero_line_colour dt 2 lw 1 notitle"
        << (data.residuals_drawn > 0 ? ", \\\n        $residual" + n + " using " + time +
                                           ":2 with points lt " + n + " notitle\n"
                                     : "\n")
        << (log_time ? "    unset logscale x\n" : "") << "\n";
}

}  // namespace

Canvas grid_canvas(size_t curves) {
    return grid_of(curves).canvas;
}

void write_grid_panels(std::ostream& out, const std::vector<CurveData>& data,
                       const std::vector<std::string>& names) {
    const Grid grid = grid_of(data.size());
    out << "    # One panel per curve, row by row: its points and fitted curve above, its\n"
           "    # residuals below, each panel with axes of its own.\n"
           "    set tics font ',10'\n"
           "    unset xlabel\n"
           "    unset colorbox  # the titles name the curves\n";
    write_page_key(out, grid.canvas);
    for (size_t c = 0; c < data.size(); ++c)
        write_panel(out, grid, c, data[c], c < names.size() ? names[c] : std::string());
    if (data.empty())
        out << "    set xrange [0:1]\n    set yrange [0:1]\n"
               "    set label 1 'no curve to draw' at graph 0.5, 0.5 center\n"
               "    plot NaN notitle\n    unset label 1\n";
    out << "    unset multiplot\n"
           "    set output\n"
           "}\n";
}
