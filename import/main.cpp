// velkor-import: a problem folder for velkor from an EnzymeML document or a lab table.
//
//   exit 0  the folder is written
//        1  a file could not be written (nothing is left behind)
//        2  bad input or usage: one line naming the file and the line or field
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "formats/dataset.h"
#include "import/import_run.h"
#include "import/velkor_free_fit.h"

namespace {

const char* const PROGRAM = "velkor-import";

int fail(int status, const std::string& message, bool with_usage = false) {
    std::cerr << PROGRAM << ": " << message << "\n";
    if (with_usage) std::cerr << velkor_import::usage_text();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velkor_import;
    ImportOptions options;
    try {
        options = parse_import_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        return fail(2, e.what(), true);
    }
    options.refine_fit = velkor_free_fit;
    if (options.help) {
        std::cout << usage_text();
        return 0;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(options.source, ec))
        return fail(2, options.source + ": a folder, not a file");
    std::ifstream in(options.source, std::ios::binary);
    if (!in) return fail(2, options.source + ": cannot open it: " + std::strerror(errno));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return fail(2, options.source + ": cannot read it: " + std::strerror(errno));
    try {
        const ImportResult result = run_import(bytes.str(), options);
        write_problem_folder(options.output, result.files, options.force);
        // The summary is built as one text; the console gets it line by line.
        std::istringstream summary(result.summary);
        for (std::string line; std::getline(summary, line);)
            std::cout << line << std::endl;
        std::cout << "wrote " << options.output << ": params.txt, " << result.problem.curves.size()
                  << " curve files, import.json" << std::endl;
    } catch (const UsageError& e) {
        return fail(2, e.what(), true);
    } catch (const formats::InputError& e) {
        return fail(2, e.what());
    } catch (const WriteError& e) {
        return fail(1, e.what());
    } catch (const nlohmann::json::exception& e) {
        return fail(2, options.source + ": " + e.what());
    }
    return 0;
}
