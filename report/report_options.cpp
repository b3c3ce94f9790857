#include "report/report_options.h"

#include <ostream>

#include "options/strict_command_line.h"

namespace {
const char* const PICTURES[] = {"auto", "overlay", "panels", "normalised"};

bool known_picture(const std::string& name) {
    for (const char* p : PICTURES)
        if (name == p) return true;
    return false;
}
}  // namespace

ReportOptions read_report_options(int argc, char** argv) {
    StrictCommandLine line;
    line.flag("help", 'h');
    line.flag("law");
    line.flag("free-only");
    line.value("file", 'f');
    line.value("output", 'o');
    line.value("time-unit");
    line.value("conc-unit");
    line.value("picture");
    line.value("enzymeml");
    ReportOptions options;
    if (!line.parse(argc, argv, options.error)) return options;
    options.help = line.given("help");
    options.law = line.given("law");
    options.free_only = line.given("free-only");
    options.parameter_file = line.value_of("file");
    options.prefix = line.value_of("output", options.prefix);
    options.time_unit = line.value_of("time-unit");
    options.conc_unit = line.value_of("conc-unit");
    options.picture = line.value_of("picture", options.picture);
    options.enzymeml = line.value_of("enzymeml");
    if (line.given("enzymeml") && options.enzymeml.empty())
        options.error = "option --enzymeml needs the EnzymeML document's name";
    else if (line.given("file") && options.parameter_file.empty())
        options.error = "option --file needs a file name, not an empty word";
    else if (options.prefix.empty())
        options.error = "option --output needs a prefix, not an empty word";
    else if (!known_picture(options.picture))
        options.error = "option --picture takes auto, overlay, panels or normalised, not '" +
                        options.picture + "'";
    return options;
}

void print_report_usage(const char* program, std::ostream& out) {
    out << "Usage: " << program << " -f PARAMETER_FILE [-o PREFIX] [--time-unit U] [--conc-unit U]"
        << std::endl;
    const char* const lines[] = {
        "          [--picture auto|overlay|panels|normalised] [-h]",
        "",
        "Fits the problem exactly as the fit program does, without touching out.dat, and",
        "reports what the fit program does not say: the uncertainty of the fitted constant,",
        "a fit of every constant, how the two compare, the residuals' pattern, a picture,",
        "and the traps of the input files.",
        "",
        "  -f, --file FILE     the parameter file, as for the fit program",
        "  -o, --output PREFIX names of the files written: PREFIX.json, PREFIX.tsv,",
        "                      PREFIX.gp, PREFIX.svg, PREFIX.png (default: report)",
        "  --time-unit U       unit of the curve files' times, for the axes (e.g. min)",
        "  --conc-unit U       unit of their concentrations (e.g. mM)",
        "  --picture P         auto (default), overlay, panels or normalised",
        "  --enzymeml SOURCE   the EnzymeML document the problem was imported from: also",
        "                      write PREFIX.enzymeml.json, the fit in that document",
        "  --free-only         fit every constant and write PREFIX.json only (for a",
        "                      comparison of laws): no held fit, no refits, no picture",
        "  --law               print the rate law and its constants as JSON, and stop",
        "  -h, --help          this text",
    };
    for (const char* line : lines)
        out << line << std::endl;
}
