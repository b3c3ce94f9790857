// One import in memory: the source's bytes to the files of the problem folder and the text
// printed, without touching the file system (so tests and fuzz targets run it whole).
//
// A source whose first character (after a byte-order mark and blanks) is '{' is read as an
// EnzymeML document, any other as a table.
#pragma once

#include <string>

#include "formats/dataset.h"
#include "import/free_fit.h"
#include "import/import_options.h"
#include "import/problem.h"
#include "import/problem_folder.h"

namespace velkor_import {

struct ImportResult {
    formats::Dataset set;
    Problem problem;
    FreeFit fit;
    Files files;  // params.txt, the curve files, import.json
    std::string summary;
};

bool looks_like_json(const std::string& bytes);

// Throws formats::InputError or UsageError.
ImportResult run_import(const std::string& bytes, const ImportOptions& options);
// The steps after reading: the problem, its files and the summary.
ImportResult finish_import(formats::Dataset set, const ImportOptions& options);

}  // namespace velkor_import
