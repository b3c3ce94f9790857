#include "driver/command_line.h"

#include <iostream>

#include "options/option_parser.h"
#include "problem/parameter_file.h"

namespace {
// The text pairs -t with --maxiterations and lists -x; neither is registered below, and the
// options that exist are -t/--iterations. It also names a downhill simplex method although
// the fit uses the direction-set method. The text is kept as users have always seen it.
const char* const USAGE_LINES[] = {
    "",
    "Velkor based on Nedler-Mead (Downhill Simplex) minimization method",
    "",
    "Usage: ",
    "",
    " -h  --help  \t           Prints this help ",
    " -f  --file \t               File with parameters ",
    " -e  --admissible_error \t   Admissible Error ",
    " -t  --maxiterations \t   Maximum number of iterations for minimization",
    " -x  --iterations \t       Number of iterations for RK integration",
    " -v              \t\t   Verbose mode ",
    "",
};
}  // namespace

void read_command_line(int argc, char** argv, RunSettings& settings, ConstantSet& constants,
                       PlotSet& plots) {
    // The parameter file is read while the parser is alive: the file name is the parser's text.
    OptionParser options(10, 10);
    for (const char* line : USAGE_LINES)
        options.add_usage_line(line);

    options.add_flag("help", 'h');
    options.add_value_option("file", 'f');
    // Stored only; the fit takes its tolerance and iteration limits from elsewhere.
    options.add_value_option("admissible_error", 'e');
    options.add_value_option("iterations", 't');
    options.add_short_flag('v');

    options.parse_command_line(argc, argv);

    if (!options.arguments_given()) {
        options.print_usage();
        return;
    }
    if (options.flag_is_set("help") || options.flag_is_set('h')) options.print_usage();

    const char* fileName = options.option_value('f');
    if (fileName == nullptr) fileName = options.option_value("file");
    // An empty name counts as given: the reader then reports that it cannot open it.
    if (fileName != nullptr) read_parameter_file(fileName, settings, constants, plots);

    for (int i = 0; i < options.extra_argument_count(); ++i)
        std::cout << "arg = " << options.extra_argument(i) << std::endl;
}
