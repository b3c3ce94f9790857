#include "import/import_run.h"

#include "formats/enzymeml_reader.h"
#include "formats/table_reader.h"
#include "import/curve_files.h"
#include "import/import_record.h"
#include "import/import_summary.h"
#include "import/parameter_text.h"
#include "import/provisional_fit.h"

namespace velkor_import {

bool looks_like_json(const std::string& bytes) {
    std::size_t i = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return i < bytes.size() && bytes[i] == '{';
}

ImportResult run_import(const std::string& bytes, const ImportOptions& options) {
    formats::Dataset set;
    if (looks_like_json(bytes)) {
        if (options.table_only_given)
            throw UsageError(
                "--s0, --signal-per-conc, --blank and --separator are for tables, and " +
                options.source + " is an EnzymeML document");
        const std::string start = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes;
        set = formats::read_enzymeml(start, options.source, options.species);
    } else {
        if (!options.species.empty())
            throw UsageError("--species is for EnzymeML documents, and " + options.source +
                             " is a table");
        set = formats::read_table(bytes, options.source, options.table);
    }
    return finish_import(std::move(set), options);
}

ImportResult finish_import(formats::Dataset set, const ImportOptions& options) {
    ImportResult r;
    r.set = std::move(set);
    r.problem = build_problem(r.set, options.build);
    assign_file_names(r.problem);
    r.fit = provisional_free_fit(r.problem);
    if (options.refine_fit != nullptr) r.fit = options.refine_fit(r.problem, r.fit);
    r.files.emplace_back("params.txt", parameter_file_text(r.problem, r.fit, options.source));
    for (const ProblemCurve& curve : r.problem.curves)
        r.files.emplace_back(curve.file, curve_file_text(curve, r.problem));
    r.files.emplace_back("import.json",
                         import_record(r.set, r.problem, r.fit)
                                 .dump(2, ' ', false, nlohmann::json::error_handler_t::replace) +
                             "\n");
    r.summary = import_summary(r.set, r.problem, r.fit);
    return r;
}

}  // namespace velkor_import
