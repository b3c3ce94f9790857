// The command line of the fit report.
#pragma once

#include <string>

struct ReportOptions {
    bool help = false;
    bool file_given = false;
    std::string parameter_file;
    std::string prefix = "report";  // of every file the report writes
    std::string time_unit;          // axis labels of the picture
    std::string conc_unit;
    std::string surplus;  // the first word that is no option nor an option's value
};

// Reads the command line with the project's option parser.
ReportOptions read_report_options(int argc, char** argv);

// The usage text, one line per element, for `program` (velkor-report, velkor-b-report).
void print_report_usage(const char* program);
