#include "report/figure_script.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "outputs/gnuplot_text.h"
#include "report/figure_data.h"
#include "report/figure_panels.h"
#include "simulation/rate_law.h"
#include "text/number_text.h"

namespace {

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

// The fitted constant in the title.
const char* const CONSTANT_PRECISION = "%.5g";

void write_opening(std::ostream& out, const std::string& prefix) {
    out << "# The fit of " << LAW_CONSTANTS[0].name
        << ": measured points, fitted curves and residuals of every curve.\n"
           "# Written by the fit report with its data inline, so it can be edited and run on\n"
           "# its own. Run it in the folder the report ran in:  gnuplot <this file>\n"
           "reset\n"
           "set encoding utf8\n\n"
           "# ---- Terminal and output ----\n"
           "# One picture per format of the list ('pdf' may be added: pdfcairo at\n"
           "# width/100 by height/100 inches). Names are relative to where gnuplot runs.\n"
           "# The report sets output_prefix itself while it renders.\n"
           "if (!exists(\"output_prefix\")) output_prefix = "
        << gnuplot_string(prefix)
        << "\n"
           "formats = 'svg png'\n"
           "width = "
        << WIDTH_PIXELS << "\nheight = " << HEIGHT_PIXELS
        << "\ntext_font = " << gnuplot_string(FONT) << "\n\n";
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
    const std::string value = number_text(report.constants[0], CONSTANT_PRECISION, NonFinite::R);
    const std::string file =
        report.parameter_file.empty() ? "(no parameter file)" : report.parameter_file;
    const std::string title = report.program + ": " + file + ", " + LAW_CONSTANTS[0].name + " = " +
                              value + (report.conc_unit.empty() ? "" : " " + report.conc_unit);
    out << "# ---- Labels ----\n"
           "title_text = "
        << gnuplot_string(shown(title))
        << "\ntime_label = " << gnuplot_string(shown(with_unit("time", report.time_unit)))
        << "\nconc_label = " << gnuplot_string(shown(with_unit("concentration", report.conc_unit)))
        << "\nresidual_label = " << gnuplot_string(shown(with_unit("residual", report.conc_unit)))
        << "\nfitted_key = 'fitted curve'\nnot_compared_key = 'not compared'\n"
           "# The key names each curve by its file.\n";
    for (size_t c = 0; c < report.curves.size(); ++c)
        out << "name" << c + 1 << " = " << gnuplot_string(shown(report.curves[c].file)) << "\n";
    out << "\n";
}

void write_block(std::ostream& out, const std::string& name, const std::string& rows) {
    out << "$" << name << " << EOD\n" << rows << "EOD\n";
}

void write_data(std::ostream& out, const std::vector<CurveData>& data) {
    out << "# ---- Data ----\n"
           "# Per curve N: $measuredN (time, measured, compared 1 or not 0), $fittedN (the\n"
           "# simulation at the fitted "
        << LAW_CONSTANTS[0].name
        << ") and $residualN (time, measured - simulated of the\n"
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

}  // namespace

bool write_figure_script(const FitReport& report, const std::string& prefix,
                         const std::string& path) {
    // A file name cannot hold a NUL byte, and gnuplot's strings cannot either.
    if (prefix.find('\0') != std::string::npos) return false;
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    out << script(report, prefix);
    out.close();
    return !out.fail();
}
