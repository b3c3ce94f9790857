#include "report/figure_script.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "outputs/gnuplot_text.h"
#include "report/figure_data.h"
#include "report/figure_grid.h"
#include "report/figure_panels.h"
#include "report/figure_style.h"
#include "simulation/rate_law.h"
#include "text/number_text.h"

namespace {

constexpr Canvas STACKED_CANVAS = {900, 700};
const char* const FONT = "Sans,12";

// Rows of each fitted curve: every step up to 1,000 while there are few curves, fewer for
// many, so that hundreds of curves stay quick to draw and the script small.
constexpr size_t MOST_FITTED_ROWS = 1000;
constexpr size_t FEWEST_FITTED_ROWS = 150;
constexpr size_t FITTED_ROWS_PER_PICTURE = 40000;

// The fitted constant in the title.
const char* const CONSTANT_PRECISION = "%.5g";

void write_opening(std::ostream& out, const std::string& prefix, const FigureLayout& layout,
                   const Canvas& canvas) {
    out << "# The fit of " << LAW_CONSTANTS[0].name
        << ": measured points, fitted curves and residuals of every curve.\n"
           "# Written by the fit report with its data inline, so it can be edited and run on\n"
           "# its own. Run it in the folder the report ran in:  gnuplot <this file>\n"
           "# Layout: "
        << shown(described(layout))
        << ".\n"
           "# The report's option --picture overlay|panels|normalised draws another.\n"
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
        << canvas.width << "\nheight = " << canvas.height
        << "\ntext_font = " << gnuplot_string(FONT) << "\n\n";
}

void write_labels(std::ostream& out, const FitReport& report, const FigureLayout& layout) {
    const std::string value = number_text(report.constants[0], CONSTANT_PRECISION, NonFinite::R);
    const std::string file =
        report.parameter_file.empty() ? "(no parameter file)" : report.parameter_file;
    const std::string title = report.program + ": " + file + ", " + LAW_CONSTANTS[0].name + " = " +
                              value + (report.conc_unit.empty() ? "" : " " + report.conc_unit);
    const bool normalised = layout.picture == Picture::NORMALISED;
    const std::string value_label = normalised ? "S / S0, fraction of the initial concentration"
                                               : with_unit("concentration", report.conc_unit);
    const std::string residual_label =
        normalised ? "residual / S0" : with_unit("residual", report.conc_unit);
    out << "# ---- Labels ----\n"
           "title_text = "
        << gnuplot_string(shown(title))
        << "\ntime_label = " << gnuplot_string(shown(with_unit("time", report.time_unit)))
        << "\nvalue_label = " << gnuplot_string(shown(value_label))
        << "\nresidual_label = " << gnuplot_string(shown(residual_label))
        << "\nfitted_key = 'fitted curve'\nnot_compared_key = 'not compared'\n"
           "compared_key = 'compared'\n"
           "# Each curve is named by its initial concentration and its file.\n";
    for (size_t c = 0; c < report.curves.size(); ++c)
        out << "name" << c + 1 << " = "
            << gnuplot_string(shown(curve_name(report.curves[c], report.conc_unit, c + 1))) << "\n";
    out << "\n";
}

void write_block(std::ostream& out, const std::string& name, const std::string& rows) {
    out << "$" << name << " << EOD\n" << rows << "EOD\n";
}

void write_data(std::ostream& out, const std::vector<CurveData>& data, const DataView& view) {
    out << "# ---- Data ----\n"
           "# Per curve N: $measuredN (time, measured, compared 1 or not 0), $fittedN (the\n"
           "# simulation at the fitted "
        << LAW_CONSTANTS[0].name
        << ") and $residualN (time, measured - simulated of the\n"
           "# compared points). Undefined values are left out.\n";
    if (view.normalised)
        out << "# Concentrations and residuals are divided by the curve's initial concentration.\n";
    if (view.positive_time)
        out << "# Only times above 0 are kept: a log axis cannot show the others.\n";
    for (size_t c = 0; c < data.size(); ++c) {
        const std::string n = std::to_string(c + 1);
        out << "# curve " << n << "\n";
        if (!data[c].measured.empty()) write_block(out, "measured" + n, data[c].measured);
        if (data[c].fitted_drawn > 0) write_block(out, "fitted" + n, data[c].fitted);
        if (!data[c].residual.empty()) write_block(out, "residual" + n, data[c].residual);
    }
    out << "\n";
}

DataView view_of(const FitReport& report, const FigureLayout& layout) {
    DataView view;
    view.normalised = layout.picture == Picture::NORMALISED;
    view.positive_time = layout.log_time;
    const size_t curves = std::max<size_t>(report.curves.size(), 1);
    view.fitted_rows =
        std::min(MOST_FITTED_ROWS, std::max(FEWEST_FITTED_ROWS, FITTED_ROWS_PER_PICTURE / curves));
    return view;
}

std::string script(const FitReport& report, const FigureLayout& layout, const std::string& prefix) {
    const DataView view = view_of(report, layout);
    const std::vector<CurveData> data = collect(report, view);
    const bool panels = layout.picture == Picture::PANELS;
    std::ostringstream out;
    write_opening(out, prefix, layout, panels ? grid_canvas(data.size()) : STACKED_CANVAS);
    write_styles(out, report);
    write_labels(out, report, layout);
    write_data(out, data, view);
    out << "# ---- Drawing, once per format ----\n";
    write_terminal_choice(out);
    if (panels) {
        std::vector<std::string> names;
        for (size_t c = 0; c < report.curves.size(); ++c)
            names.push_back(curve_name(report.curves[c], report.conc_unit, c + 1));
        write_grid_panels(out, data, names);
    } else {
        write_stacked_panels(out, data, layout, keyed(data.size()));
    }
    return out.str();
}

}  // namespace

bool write_figure_script(const FitReport& report, const FigureLayout& layout,
                         const std::string& prefix, const std::string& path) {
    // A file name cannot hold a NUL byte, and gnuplot's strings cannot either.
    if (prefix.find('\0') != std::string::npos) return false;
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    out << script(report, layout, prefix);
    out.close();
    return !out.fail();
}
