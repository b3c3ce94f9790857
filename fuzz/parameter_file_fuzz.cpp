// The parameter reader together with the curve reader. The input is cut at every "@@\n": the
// first piece becomes the parameter file "p", the following ones the curve files "c0" to "c3"
// (a curve file without a piece does not exist). The parameter file may name any of them,
// itself, a missing file or the folder ".".
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/scratch_dir.h"
#include "problem/parameter_file.h"
#include "problem/records.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr int CURVE_FILES = 4;
const std::string SEPARATOR = "@@\n";

std::vector<std::string> split(const std::string& input) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (pieces.size() < CURVE_FILES) {
        std::size_t end = input.find(SEPARATOR, start);
        if (end == std::string::npos) break;
        pieces.push_back(input.substr(start, end - start));
        start = end + SEPARATOR.size();
    }
    pieces.push_back(input.substr(start));
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every file the readers open or the target writes stays in here, in memory where the
    // machine allows: each input rewrites files. It goes when the process exits.
    static const testing_support::ScratchDir scratch("velkor-fuzz",
                                                     testing_support::ScratchDir::in_memory_base());
    silence_console();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> pieces = split(std::string(reinterpret_cast<const char*>(data), size));
    if (names_outside_scratch(pieces[0])) return -1;

    write_file("p", pieces[0]);
    for (int i = 0; i < CURVE_FILES; ++i) {
        std::string name = "c" + std::to_string(i);
        if (i + 1 < static_cast<int>(pieces.size())) {
            write_file(name, pieces[i + 1]);
        } else {
            std::remove(name.c_str());
        }
    }

    auto settings = std::make_unique<RunSettings>();
    auto constants = std::make_unique<ConstantSet>();
    auto plots = std::make_unique<PlotSet>();
    read_parameter_file("p", *settings, *constants, *plots);
    check_records(*plots);
    return 0;
}
