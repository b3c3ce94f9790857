// The command line of the fit report.
#pragma once

#include <string>

struct ReportOptions {
    bool help = false;
    bool law = false;               // print the law as JSON and stop
    bool free_only = false;         // every constant fitted, nothing else: for a comparison of laws
    std::string parameter_file;     // empty when none was given
    std::string prefix = "report";  // of every file the report writes
    std::string time_unit;          // axis labels of the picture
    std::string conc_unit;
    std::string enzymeml;          // the EnzymeML document the problem was imported from, or ""
    std::string picture = "auto";  // how the curves are drawn: auto, overlay, panels, normalised
    std::string error;             // one line when the command line cannot be used
};

// Reads the command line; every word must be an option the report knows, with a usable value.
ReportOptions read_report_options(int argc, char** argv);

// The usage text for `program` (velkor-report, velkor-b-report), on `out`.
void print_report_usage(const char* program, std::ostream& out);
