// The command line of velkor-import.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "formats/table_options.h"
#include "import/free_fit.h"
#include "import/problem.h"
#include "import/problem_builder.h"

namespace velkor_import {

// Bad usage: the message is printed with the usage text, exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ImportOptions {
    std::string source, output, species;
    BuildOptions build;
    formats::TableOptions table;
    bool table_only_given = false;  // an option that only a table can use
    bool force = false;
    bool help = false;
    // Refines the provisional estimate the parameter file is centred on; none in the tests
    // and the fuzz targets, which run the import alone.
    FreeFit (*refine_fit)(const Problem& problem, const FreeFit& provisional) = nullptr;
};

ImportOptions parse_import_options(const std::vector<std::string>& args);
const char* usage_text();

}  // namespace velkor_import
