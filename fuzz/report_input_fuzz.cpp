// The checks of the input text, without files. The input is cut at every "@@\n": the first
// piece is the parameter file, the following ones are the curve files of its plot lines in
// order (a plot line without a piece names a file that is not there). The last byte picks
// the objective's count of points sampled: every point, or any other count, as a fit on a
// changed file might leave it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "checks/curve_checks.h"
#include "checks/curve_lines.h"
#include "checks/file_warnings.h"
#include "checks/line_reading.h"
#include "checks/message_text.h"
#include "checks/parameter_lines.h"
#include "problem/records.h"

namespace {

using namespace input_checks;

const std::string SEPARATOR = "@@\n";
// Warnings about the file as a whole that one file can give besides its capped line warnings.
constexpr std::size_t WHOLE_FILE_WARNINGS = 4 + CONSTANTS + PLOTS;

std::vector<std::string> split(const std::string& input) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (pieces.size() <= PLOTS) {
        const std::size_t end = input.find(SEPARATOR, start);
        if (end == std::string::npos) break;
        pieces.push_back(input.substr(start, end - start));
        start = end + SEPARATOR.size();
    }
    pieces.push_back(input.substr(start));
    return pieces;
}

template <class Checks>
void read_all(const std::string& text, Checks& checks) {
    std::istringstream in(text);
    std::string line;
    bool cut = false;
    while (read_line(in, line, cut))
        checks.line(line, cut);
}

// The promises the report relies on: valid UTF-8 that a JSON writer accepts, and a bounded
// number of warnings per file.
void check_warnings(const std::vector<Warning>& warnings) {
    if (warnings.size() > LINE_WARNINGS_PER_FILE + 1 + WHOLE_FILE_WARNINGS) __builtin_trap();
    for (const Warning& w : warnings) {
        if (w.message.empty() || w.line < 0) __builtin_trap();
        if (quoted(w.message, w.message.size()) != "'" + w.message + "'") __builtin_trap();
    }
}

int pick_sampled(const Plot& plot, uint8_t choice) {
    return choice % 2 == 0 ? plot.pointCount : choice / 2 - 8;
}

void check_curve_text(const std::string& name, const std::string& text, uint8_t choice) {
    FileWarnings out(name);
    CurveLineChecks lines(out);
    read_all(text, lines);
    lines.finish();
    auto plot = std::make_unique<Plot>();
    *plot = Plot{};
    lines.fill(*plot);
    if (plot->pointCount < 0 || plot->pointCount > POINTS) __builtin_trap();
    check_curve(lines.lines(), *plot, pick_sampled(*plot, choice), CurveFit{nullptr, 0.0}, out);
    std::vector<Warning> warnings;
    out.finish(warnings);
    check_warnings(warnings);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const uint8_t choice = size > 0 ? data[size - 1] : 0;
    const std::vector<std::string> pieces = split(input);

    FileWarnings out("p");
    ParameterLineChecks parameters(out);
    read_all(pieces[0], parameters);
    parameters.finish(parameters.ranges());
    std::vector<Warning> warnings;
    out.finish(warnings);
    check_warnings(warnings);

    const std::vector<PlotLine>& plots = parameters.plots();
    if (plots.size() > PLOTS) __builtin_trap();
    for (std::size_t p = 0; p < plots.size() && p + 1 < pieces.size(); ++p)
        check_curve_text(plots[p].name, pieces[p + 1], choice);
    return 0;
}
