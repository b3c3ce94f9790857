#include "report/report_options.h"

#include <iostream>

#include "options/option_parser.h"

ReportOptions read_report_options(int argc, char** argv) {
    OptionParser parser(8, 8);
    parser.add_flag("help", 'h');
    parser.add_value_option("file", 'f');
    parser.add_value_option("output", 'o');
    parser.add_long_value_option("time-unit");
    parser.add_long_value_option("conc-unit");
    parser.parse_command_line(argc, argv);

    ReportOptions options;
    options.help = parser.flag_is_set('h');
    if (const char* file = parser.option_value('f')) {
        options.file_given = true;
        options.parameter_file = file;
    }
    if (const char* prefix = parser.option_value('o')) options.prefix = prefix;
    if (const char* unit = parser.option_value("time-unit")) options.time_unit = unit;
    if (const char* unit = parser.option_value("conc-unit")) options.conc_unit = unit;
    if (parser.extra_argument_count() > 0) options.surplus = parser.extra_argument(0);
    return options;
}

void print_report_usage(const char* program) {
    std::cout << "Usage: " << program
              << " -f PARAMETER_FILE [-o PREFIX] [--time-unit U] [--conc-unit U] [-h]" << std::endl
              << std::endl
              << "Fits the problem exactly as the fit program does, without touching out.dat, and"
              << std::endl
              << "reports what the fit program does not say: the uncertainty of Km, how it depends"
              << std::endl
              << "on the constants held, a picture, and the traps of the input files." << std::endl
              << std::endl
              << "  -f, --file FILE     the parameter file, as for the fit program" << std::endl
              << "  -o, --output PREFIX names of the files written: PREFIX.json, PREFIX.tsv,"
              << std::endl
              << "                      PREFIX.gp, PREFIX.svg, PREFIX.png (default: report)"
              << std::endl
              << "  --time-unit U       unit of the curve files' times, for the axes (e.g. min)"
              << std::endl
              << "  --conc-unit U       unit of their concentrations (e.g. mM)" << std::endl
              << "  -h, --help          this text" << std::endl;
}
