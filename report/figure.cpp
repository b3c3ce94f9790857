#include "report/figure.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report/utf8_text.h"

extern char** environ;

namespace {

// ---- The look of the picture ----------------------------------------------------------

constexpr int WIDTH_PIXELS = 900;
constexpr int HEIGHT_PIXELS = 700;
const char* const FONT = "Sans,12";

// Okabe and Ito's palette, which stays distinguishable to colour-blind readers and in grey;
// its yellow is left out (it vanishes on white) and a brown takes its place.
const char* const COLOURS[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                               "#E69F00", "#56B4E9", "#000000", "#8C564B"};
constexpr int COLOUR_COUNT = sizeof COLOURS / sizeof COLOURS[0];
// gnuplot's filled circle, square, triangles up and down, diamond and pentagon. Six shapes
// against eight colours: the 16 curves a problem can hold never share both.
const int FILLED_POINT_TYPES[] = {7, 5, 9, 11, 13, 15};
constexpr int SHAPE_COUNT = sizeof FILLED_POINT_TYPES / sizeof FILLED_POINT_TYPES[0];
constexpr int OPEN_CIRCLE = 6;
constexpr int DASHED = 2;  // the curves past the palette's first round

// Room above the residuals for the symmetric residual axis to breathe.
constexpr double RESIDUAL_HEADROOM = 1.2;
constexpr double RESIDUAL_TICS_EACH_SIDE = 2.5;

// Data-block numbers: plenty for a picture, short enough for a person to read.
const char* const DATA_PRECISION = "%.10g";
const char* const KM_PRECISION = "%.5g";
constexpr double LARGEST_DRAWN = 1e300;

// ---- Text as gnuplot reads it -----------------------------------------------------------

// Text shown in the picture: a line break would end the gnuplot command, a control
// character or a broken UTF-8 sequence would spoil the SVG, so they become blanks and '?'.
std::string shown(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c);
            ++i;
        } else if (size_t length = utf8_length(text, i)) {
            out.append(text, i, length);
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

bool has_control_character(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// Single quotes take everything literally (no backslash escapes, no backquoted commands,
// no macros); only the quote itself is doubled.
std::string single_quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// Double quotes can hold a line break as an escape. Every character gnuplot would act on
// inside them (quote, backslash, backquote, the macro sign) is escaped too, in octal.
std::string double_quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '"' || c == '\\' || c == '`' || c == '@') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A gnuplot string literal of exactly this text: a path must stay what it is, whatever
// it holds.
std::string quoted(const std::string& text) {
    return has_control_character(text) ? double_quoted(text) : single_quoted(text);
}

std::string formatted(const char* format, double value) {
    if (std::isnan(value)) return "NaN";
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string with_unit(const std::string& label, const std::string& unit) {
    return unit.empty() ? label : label + " (" + unit + ")";
}

// ---- What each curve has to draw --------------------------------------------------------

struct CurveData {
    std::string measured;  // data-block rows: time, measured, compared (1) or not (0)
    std::string fitted;    // time, simulated; a blank row where the simulation is undefined
    std::string residual;  // time, measured - simulated, of the compared points
    int compared_drawn = 0;
    int others_drawn = 0;
    int fitted_drawn = 0;
    int residuals_drawn = 0;
    double largest_residual = 0.0;
};

std::string data_row(double x, double y) {
    return formatted(DATA_PRECISION, x) + " " + formatted(DATA_PRECISION, y);
}

// Only pairs gnuplot can place are written, so what it makes of an undefined value never
// matters; a curve with no pair left is not plotted at all (an empty block stops gnuplot).
// gnuplot itself drops values past a quarter of the largest double, and axes and tics near
// that overflow, so the bound is far below it.
bool drawable(double value) {
    return std::fabs(value) <= LARGEST_DRAWN;
}

bool drawable(double x, double y) {
    return drawable(x) && drawable(y);
}

void collect_points(const CurveResult& curve, CurveData& data) {
    for (const PointRow& point : curve.points) {
        if (!drawable(point.time, point.measured)) continue;
        data.measured += data_row(point.time, point.measured) + (point.compared ? " 1\n" : " 0\n");
        (point.compared ? data.compared_drawn : data.others_drawn)++;
        const double residual = point.measured - point.simulated;
        if (!point.compared || !drawable(point.time, residual)) continue;
        data.residual += data_row(point.time, residual) + "\n";
        data.residuals_drawn++;
        data.largest_residual = std::max(data.largest_residual, std::fabs(residual));
    }
}

void collect_simulation(const CurveResult& curve, CurveData& data) {
    const size_t steps = std::min(curve.sim_time.size(), curve.sim_value.size());
    bool in_gap = true;  // no blank row before the first value, nor two in a row
    for (size_t i = 0; i < steps; ++i) {
        if (drawable(curve.sim_time[i], curve.sim_value[i])) {
            data.fitted += data_row(curve.sim_time[i], curve.sim_value[i]) + "\n";
            data.fitted_drawn++;
            in_gap = false;
        } else if (!in_gap) {
            data.fitted += "\n";  // one blank row breaks the line; two would start a new block
            in_gap = true;
        }
    }
}

std::vector<CurveData> collect(const FitReport& report) {
    std::vector<CurveData> all(report.curves.size());
    for (size_t c = 0; c < report.curves.size(); ++c) {
        collect_points(report.curves[c], all[c]);
        collect_simulation(report.curves[c], all[c]);
    }
    return all;
}

// ---- The script, section by section ------------------------------------------------------

void write_opening(std::ostream& out, const std::string& prefix) {
    out << "# The fit of Km: measured points, fitted curves and residuals of every curve.\n"
           "# Written by the fit report with its data inline, so it can be edited and run on\n"
           "# its own. Run it in the folder the report ran in:  gnuplot <this file>\n"
           "reset\n"
           "set encoding utf8\n\n"
           "# ---- Terminal and output ----\n"
           "# One picture per format of the list ('pdf' may be added: pdfcairo at\n"
           "# width/100 by height/100 inches). Names are relative to where gnuplot runs.\n"
           "output_prefix = "
        << quoted(prefix)
        << "\n"
           "formats = 'svg png'\n"
           "width = "
        << WIDTH_PIXELS << "\nheight = " << HEIGHT_PIXELS << "\ntext_font = " << quoted(FONT)
        << "\n\n";
}

void write_styles(std::ostream& out, size_t curves) {
    out << "# ---- Colours and symbols: line type N draws curve N ----\n"
           "# A filled symbol is a compared point; the points the fit did not compare (point\n"
           "# 0 and those it never reached or that hold no concentration) are open circles.\n";
    for (size_t c = 0; c < curves; ++c) {
        out << "set linetype " << c + 1 << " lc rgb '" << COLOURS[c % COLOUR_COUNT] << "' lw 2 pt "
            << FILLED_POINT_TYPES[c % SHAPE_COUNT] << " ps 1.3 dt "
            << (c < static_cast<size_t>(COLOUR_COUNT) ? 1 : DASHED) << "\n";
    }
    out << "not_compared_pt = " << OPEN_CIRCLE << "\n"
        << "zero_line_colour = '#808080'\n"
           "set style line 100 lt 1 lc rgb '#e0e0e0' lw 1 dt 1  # the grid\n\n";
}

void write_labels(std::ostream& out, const FitReport& report) {
    const std::string km = formatted(KM_PRECISION, report.constants[0]);
    const std::string file =
        report.parameter_file.empty() ? "(no parameter file)" : report.parameter_file;
    const std::string title = report.program + ": " + file + ", Km = " + km +
                              (report.conc_unit.empty() ? "" : " " + report.conc_unit);
    out << "# ---- Labels ----\n"
           "title_text = "
        << quoted(shown(title))
        << "\ntime_label = " << quoted(shown(with_unit("time", report.time_unit)))
        << "\nconc_label = " << quoted(shown(with_unit("concentration", report.conc_unit)))
        << "\nresidual_label = " << quoted(shown(with_unit("residual", report.conc_unit)))
        << "\nfitted_key = 'fitted curve'\nnot_compared_key = 'not compared'\n"
           "# The key names each curve by its file.\n";
    for (size_t c = 0; c < report.curves.size(); ++c)
        out << "name" << c + 1 << " = " << quoted(shown(report.curves[c].file)) << "\n";
    out << "\n";
}

void write_block(std::ostream& out, const std::string& name, const std::string& rows) {
    out << "$" << name << " << EOD\n" << rows << "EOD\n";
}

void write_data(std::ostream& out, const std::vector<CurveData>& data) {
    out << "# ---- Data ----\n"
           "# Per curve N: $measuredN (time, measured, compared 1 or not 0), $fittedN (the\n"
           "# simulation at the fitted Km) and $residualN (time, measured - simulated of the\n"
           "# compared points). Undefined values are left out.\n";
    for (size_t c = 0; c < data.size(); ++c) {
        const std::string n = std::to_string(c + 1);
        out << "# curve " << n << "\n";
        if (!data[c].measured.empty()) write_block(out, "measured" + n, data[c].measured);
        if (data[c].fitted_drawn > 0) write_block(out, "fitted" + n, data[c].fitted);
        if (!data[c].residual.empty()) write_block(out, "residual" + n, data[c].residual);
    }
    out << "\n";
}

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
    return "    residual_limit = " + formatted(DATA_PRECISION, limit) +
           "\n    set yrange [-residual_limit:residual_limit]\n    set ytics " +
           formatted(DATA_PRECISION, step) + "\n";
}

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

std::string script(const FitReport& report, const std::string& prefix) {
    const std::vector<CurveData> data = collect(report);
    std::ostringstream out;
    write_opening(out, prefix);
    write_styles(out, report.curves.size());
    write_labels(out, report);
    write_data(out, data);
    out << "# ---- Drawing: the same two panels once per format ----\n";
    write_terminal_choice(out);
    write_top_panel(out, data);
    write_residual_panel(out, data);
    return out.str();
}

// ---- gnuplot as a child process ---------------------------------------------------------

struct Gnuplot {
    pid_t pid;
    int input;  // the write end of gnuplot's standard input
};

bool file_is_non_empty(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

// A gnuplot that died early would make the write raise SIGPIPE and end the report; with the
// signal ignored the write fails with EPIPE instead.
bool write_all(int fd, const std::string& text) {
    struct sigaction ignore = {}, previous;
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    sigaction(SIGPIPE, &previous, nullptr);
    return written == text.size();
}

// Closes gnuplot's input and waits for it; true when it exited with status 0.
bool finish(Gnuplot* gnuplot) {
    close(gnuplot->input);
    int status = 0;
    pid_t result;
    do {
        result = waitpid(gnuplot->pid, &status, 0);
    } while (result < 0 && errno == EINTR);
    return result == gnuplot->pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Most of what gnuplot spends before its first picture goes to loading cairo and the fonts;
// an empty picture drawn into /dev/null at once does that while the fit runs (about 40 ms of
// a render's 150 on the development machine). It prints nothing, and the script's own
// `reset` and terminal settings leave no trace of it.
const char* const WARM_UP =
    "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n"
    "    set terminal pngcairo\n"
    "    set output '/dev/null'\n"
    "    set xrange [0:1]\n"
    "    set yrange [0:1]\n"
    "    plot NaN notitle\n"
    "    set output\n"
    "}\n";

// gnuplot reads its commands from a pipe and writes nothing the report's standard output
// should carry, so its standard output goes to standard error with its messages.
Gnuplot* start_gnuplot() {
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    char program[] = "gnuplot";
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    // posix_spawnp searches PATH itself and reports a missing program as an error, where a
    // shell would print "not found".
    const int error = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[0]);
    if (error != 0) {
        close(pipe_ends[1]);
        return nullptr;
    }
    Gnuplot* gnuplot = new Gnuplot{pid, pipe_ends[1]};
    if (write_all(gnuplot->input, WARM_UP)) return gnuplot;
    finish(gnuplot);
    delete gnuplot;
    return nullptr;
}

}  // namespace

bool write_figure_script(const FitReport& report, const std::string& prefix) {
    // A file name cannot hold a NUL byte, and gnuplot's strings cannot either.
    if (prefix.find('\0') != std::string::npos) return false;
    std::ofstream out(prefix + ".gp", std::ios::binary);
    if (!out) return false;
    out << script(report, prefix);
    out.close();
    return !out.fail();
}

FigureRenderer::FigureRenderer() : process_(start_gnuplot()) {}

FigureRenderer::~FigureRenderer() {
    if (process_ != nullptr) finish(static_cast<Gnuplot*>(process_));
    delete static_cast<Gnuplot*>(process_);
}

bool FigureRenderer::available() const {
    return process_ != nullptr;
}

// gnuplot is used once: it quits after the script, so a second render finds it gone.
bool FigureRenderer::render(const std::string& prefix) {
    if (process_ == nullptr) return false;
    Gnuplot* gnuplot = static_cast<Gnuplot*>(process_);
    process_ = nullptr;
    const std::string svg = prefix + ".svg", png = prefix + ".png";
    // Images left by an earlier run must not pass for this one's.
    std::remove(svg.c_str());
    std::remove(png.c_str());
    const bool sent = write_all(gnuplot->input, "load " + quoted(prefix + ".gp") + "\nquit\n");
    const bool exited_cleanly = finish(gnuplot);
    delete gnuplot;
    return sent && exited_cleanly && file_is_non_empty(svg) && file_is_non_empty(png);
}
