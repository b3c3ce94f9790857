#include "checks/input_checks.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "checks/curve_checks.h"
#include "checks/curve_lines.h"
#include "checks/file_warnings.h"
#include "checks/line_reading.h"
#include "checks/line_words.h"
#include "checks/message_text.h"
#include "checks/parameter_lines.h"
#include "problem/input_file.h"

namespace fs = std::filesystem;
using namespace input_checks;

namespace {

enum class Opened { OK, NO_FILE, FOLDER, NOT_REGULAR, UNREADABLE };

// Only regular files are read again: a pipe or a device could block or never end, and the
// reader has consumed it already anyway.
Opened open_regular(std::ifstream& file, const std::string& name) {
    std::error_code error;
    const fs::file_status status = fs::status(name, error);
    if (name.empty() || error || !fs::exists(status)) return Opened::NO_FILE;
    if (fs::is_directory(status)) return Opened::FOLDER;
    if (!fs::is_regular_file(status)) return Opened::NOT_REGULAR;
    return open_for_reading(file, name) ? Opened::OK : Opened::UNREADABLE;
}

std::string working_folder() {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    return error ? std::string("(unknown)") : quoted(here.string(), NAME_QUOTE_LENGTH);
}

std::string why_not_opened(Opened opened, const std::string& what, const std::string& name) {
    switch (opened) {
        case Opened::FOLDER:
            return quoted(name, NAME_QUOTE_LENGTH) + " is a folder, not a " + what;
        case Opened::NOT_REGULAR:
            return quoted(name, NAME_QUOTE_LENGTH) +
                   " is not a regular file (a device or a pipe, say)";
        case Opened::UNREADABLE:
            return "The " + what + " " + quoted(name, NAME_QUOTE_LENGTH) +
                   " cannot be opened (is it readable for you?)";
        case Opened::NO_FILE:
        case Opened::OK:
            break;
    }
    if (fs::path(name).is_absolute())
        return "There is no " + what + " " + quoted(name, NAME_QUOTE_LENGTH);
    return "There is no " + what + " " + quoted(name, NAME_QUOTE_LENGTH) +
           " in the working folder " + working_folder();
}

// A curve file named relative to the working folder that sits next to the parameter file.
std::string next_to_parameter_file(const std::string& parameterFile, const std::string& name) {
    std::error_code error;
    if (fs::path(name).is_absolute()) return "";
    const fs::path folder = fs::path(parameterFile).parent_path();
    if (folder.empty() || !fs::is_regular_file(folder / name, error)) return "";
    return " There is a " + quoted(name, NAME_QUOTE_LENGTH) +
           " next to the parameter file: run the program in " +
           quoted(folder.string(), NAME_QUOTE_LENGTH) + ", or give the curve file's path.";
}

void report_unopened_curve(Opened opened, const std::string& parameterFile, const PlotLine& entry,
                           int curve, FileWarnings& out) {
    if (entry.name.empty()) return;  // the plot line's own warning says it
    if (opened == Opened::NOT_REGULAR) {
        out.always(entry.line, "missing_file",
                   why_not_opened(opened, "curve file", entry.name) +
                       ", so it is not checked again here: the fit took whatever "
                       "it gave.");
        return;
    }
    std::string message = why_not_opened(opened, "curve file", entry.name) + ", so curve " +
                          std::to_string(curve + 1) + " is empty and takes no part in the fit.";
    if (opened == Opened::NO_FILE) {
        message +=
            " Curve file names are taken relative to the folder where the program runs, "
            "not to the parameter file." +
            next_to_parameter_file(parameterFile, entry.name);
    }
    out.always(entry.line, "missing_file", message);
}

void check_curve_file(const std::string& parameterFile, const PlotLine& entry, int curve,
                      const Plot& plot, int sampled, const CurveFit& fit,
                      FileWarnings& parameterOut, std::vector<Warning>& warnings) {
    std::ifstream file;
    const Opened opened = open_regular(file, entry.name);
    if (opened != Opened::OK) {
        report_unopened_curve(opened, parameterFile, entry, curve, parameterOut);
        return;
    }
    FileWarnings out(entry.name);
    CurveLineChecks lines(out);
    std::string line;
    bool cut = false;
    while (read_line(file, line, cut))
        lines.line(line, cut);
    lines.finish();
    check_curve(lines.lines(), plot, sampled, fit, out);
    out.finish(warnings);
}

void check_all(const std::string& parameterFile, const ConstantSet& constants, const PlotSet& plots,
               const FitFacts& fit, std::vector<Warning>& warnings) {
    FileWarnings parameterOut(parameterFile);
    std::ifstream file;
    const Opened opened = open_regular(file, parameterFile);
    if (opened != Opened::OK) {
        parameterOut.always(0, "missing_file",
                            why_not_opened(opened, "parameter file", parameterFile) +
                                ": no constants and no curves were read, so there is "
                                "nothing to fit. Name the parameter file with -f, relative "
                                "to the folder where the program runs.");
        parameterOut.finish(warnings);
        return;
    }
    ParameterLineChecks parameters(parameterOut);
    std::string line;
    bool cut = false;
    while (read_line(file, line, cut))
        parameters.line(line, cut);
    parameters.finish(constants);

    std::vector<Warning> curveWarnings;
    const int curves = std::min(std::clamp(plots.plotCount, 0, PLOTS),
                                static_cast<int>(parameters.plots().size()));
    for (int p = 0; p < curves; ++p) {
        const Plot& plot = plots.plot[p];
        const CurveFit curve_fit{
            fit.simulated != nullptr && p < static_cast<int>(fit.simulated->size())
                ? &(*fit.simulated)[p]
                : nullptr,
            fit.residual_sd};
        check_curve_file(parameterFile, parameters.plots()[p], p, plot, fit.points_sampled[p],
                         curve_fit, parameterOut, curveWarnings);
    }
    parameterOut.finish(warnings);
    for (Warning& w : curveWarnings)
        warnings.push_back(std::move(w));
}

}  // namespace

void check_input(const std::string& parameterFile, const ConstantSet& constants,
                 const PlotSet& plots, const FitFacts& fit, std::vector<Warning>& warnings) {
    try {
        check_all(parameterFile, constants, plots, fit, warnings);
    } catch (const std::exception& e) {
        warnings.push_back(Warning{"", 0, "checks_incomplete",
                                   std::string("The input checks stopped early (") + e.what() +
                                       "): the warnings about the input may be incomplete."});
    }
}
