// The comparison of rate laws: one problem fitted with every law of the program table that
// can describe a falling substrate, every constant free, ranked by AICc.
//
//   exit 0  the laws were compared
//        1  an output file could not be written, or a law's program could not be run
//        2  a bad command line, or nothing to compare (the reason on standard error)
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "compare/compare_figure.h"
#include "compare/compare_outputs.h"
#include "compare/comparison.h"
#include "compare/law_runs.h"
#include "compare/third_constant.h"
#include "options/strict_command_line.h"
#include "outputs/gnuplot_process.h"
#include "outputs/pending_files.h"
#include "problem/parameter_file.h"
#include "problem/verbose.h"
#include "text/number_text.h"

namespace {

const char* const PROGRAM = "velkor-compare";

struct LawInfo {
    std::string program;
    nlohmann::json law;        // as its report's --law prints it
    std::string third_option;  // the option that gives its third constant's range, or ""
};

int fail(int status, const std::string& reason) {
    std::cerr << PROGRAM << ": " << reason << std::endl;
    return status;
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void usage(std::ostream& out, const std::vector<LawInfo>& laws) {
    out << "Usage: " << PROGRAM << " -f PARAMETER_FILE [-o PREFIX] [--time-unit U] [--conc-unit U]";
    for (const LawInfo& l : laws)
        if (!l.third_option.empty()) out << " [--" << l.third_option << " MIN,MAX]";
    out << std::endl;
    const char* const lines[] = {
        "",
        "Fits the problem of a velkor parameter file with every rate law, every constant free,",
        "and ranks the laws by AICc. Writes PREFIX.json, PREFIX.tsv, PREFIX.gp and the picture",
        "PREFIX.svg, PREFIX.png (default prefix: compare). A third constant's range is taken",
        "from its option, or from the curves when none is given.",
    };
    for (const char* line : lines)
        out << line << std::endl;
}

// The reader would print its own complaints about a parameter file it cannot open; this asks
// the file system first, so that the refusal is one line.
bool readable_file(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

std::vector<CurveExtent> read_extents(const std::string& file, bool& opened) {
    verbose = false;
    RunSettings settings{};
    ConstantSet constants{};
    PlotSet plots{PlotSet::Silent{}};
    ParameterFileReading reading;
    read_parameter_file(file, settings, constants, plots, &reading);
    opened = reading.opened;
    std::vector<CurveExtent> extents;
    for (int p = 0; p < plots.plotCount; ++p) {
        const Plot& plot = plots.plot[p];
        if (plot.pointCount < 2) continue;
        extents.push_back(
            {plot.initialConcentration, plot.point[plot.pointCount - 1].time - plot.point[0].time});
    }
    return extents;
}

double number_at(const nlohmann::json& j, const std::string& key) {
    return j.contains(key) && j[key].is_number() ? j[key].get<double>() : NAN;
}

LawFit law_fit(const LawInfo& info, const nlohmann::json& result) {
    LawFit f;
    f.program = info.program;
    f.law = info.law.value("law", "");
    f.formula = info.law.value("formula", "");
    const nlohmann::json& free = result["free_fit"];
    for (const nlohmann::json& c : info.law["constants"]) {
        const std::string name = c.value("name", ""), key = lower(name);
        f.names.push_back(name);
        f.values.push_back(number_at(free, key));
        f.standard_errors.push_back(number_at(free, key + "_standard_error"));
        const nlohmann::json ci =
            free.contains(key + "_ci95") ? free[key + "_ci95"] : nlohmann::json::array();
        f.low.push_back(ci.size() == 2 && ci[0].is_number() ? ci[0].get<double>() : NAN);
        f.high.push_back(ci.size() == 2 && ci[1].is_number() ? ci[1].get<double>() : NAN);
    }
    f.k = static_cast<int>(f.names.size());
    f.n = result.value("points_compared", 0);
    f.sum_of_squares = number_at(free, "sum_of_squares");
    f.residual_test_p = free.contains("residual_test") && free["residual_test"].is_object()
                            ? number_at(free["residual_test"], "p_value")
                            : NAN;
    f.curves = result["curves"];
    return f;
}

// Whether every law compared the same points of the same curves.
bool same_points(const std::vector<LawRun>& runs) {
    for (const LawRun& run : runs) {
        const nlohmann::json& a = runs.front().result["curves"];
        const nlohmann::json& b = run.result["curves"];
        if (a.size() != b.size()) return false;
        for (size_t p = 0; p < a.size(); ++p)
            if (a[p]["compared"] != b[p]["compared"]) return false;
    }
    return true;
}

void render(const std::string& prefix) {
    FigureRenderer renderer;
    if (!renderer.available()) {
        std::cout << "gnuplot is not installed: render the picture with `gnuplot " << prefix
                  << ".gp`" << std::endl;
        return;
    }
    const std::string drawn = prefix + ".partial-" + std::to_string(getpid());
    const bool rendered = renderer.render(prefix + ".gp", drawn) &&
                          std::rename((drawn + ".svg").c_str(), (prefix + ".svg").c_str()) == 0 &&
                          std::rename((drawn + ".png").c_str(), (prefix + ".png").c_str()) == 0;
    std::remove((drawn + ".svg").c_str());
    std::remove((drawn + ".png").c_str());
    std::cout << (rendered ? "picture: " + prefix + ".svg, " + prefix + ".png"
                           : "gnuplot could not render " + prefix + ".gp")
              << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> programs;
    std::istringstream names(VELKOR_COMPARED);
    for (std::string program; std::getline(names, program, ',');)
        programs.push_back(program);
    const std::vector<nlohmann::json> described = laws_of(programs);
    std::vector<LawInfo> laws;
    for (size_t i = 0; i < programs.size(); ++i) {
        const std::string& program = programs[i];
        LawInfo info{program, described[i], ""};
        if (info.law.is_null()) return fail(1, "cannot run " + program + "-report --law");
        const nlohmann::json& constants = info.law["constants"];
        if (constants.size() > 2) info.third_option = lower(constants[2].value("name", ""));
        laws.push_back(info);
    }
    StrictCommandLine line;
    line.flag("help", 'h');
    line.value("file", 'f');
    line.value("output", 'o');
    line.value("time-unit");
    line.value("conc-unit");
    for (const LawInfo& l : laws)
        if (!l.third_option.empty()) line.value(l.third_option);
    std::string error;
    if (!line.parse(argc, argv, error)) {
        fail(2, error);
        usage(std::cerr, laws);
        return 2;
    }
    if (line.given("help")) {
        usage(std::cout, laws);
        return 0;
    }
    Comparison c;
    c.parameter_file = line.value_of("file");
    c.time_unit = line.value_of("time-unit");
    c.conc_unit = line.value_of("conc-unit");
    const std::string prefix = line.value_of("output", "compare");
    if (c.parameter_file.empty() || prefix.empty()) {
        fail(2, c.parameter_file.empty() ? "no parameter file given (-f FILE)"
                                         : "option --output needs a prefix");
        usage(std::cerr, laws);
        return 2;
    }
    const std::string unreadable = "cannot open the parameter file " + c.parameter_file;
    if (!readable_file(c.parameter_file)) return fail(2, unreadable);
    bool opened = false;
    const std::vector<CurveExtent> extents = read_extents(c.parameter_file, opened);
    if (!opened) return fail(2, unreadable);

    char folder[] = "/tmp/velkor-compare.XXXXXX";
    if (mkdtemp(folder) == nullptr) return fail(1, "cannot make a temporary folder");
    const std::string text = file_contents(c.parameter_file);
    std::vector<LawRun> runs;
    for (const LawInfo& l : laws) {
        LawRun run;
        run.program = l.program;
        run.parameter_file = c.parameter_file;
        run.prefix = std::string(folder) + "/" + l.program;
        if (!l.third_option.empty()) {
            Range range{};
            const std::string given = line.value_of(l.third_option);
            const std::string role = l.law["constants"][2].value("role", "");
            if (!given.empty() ? !parse_range(given, range)
                               : !derived_range(role, extents, range)) {
                rmdir(folder);
                return fail(2,
                            given.empty()
                                ? "cannot derive a range for " + l.third_option +
                                      " from the curves: give --" + l.third_option + " MIN,MAX"
                                : "option --" + l.third_option +
                                      " takes MIN,MAX: two numbers, MIN < MAX, whose midpoint is a "
                                      "number too, not '" +
                                      given + "'");
            }
            run.parameter_file = run.prefix + "-params.txt";
            std::ofstream params(run.parameter_file);
            params << text << "\nconst 2 " << number_text(range.low, "%.17g") << " "
                   << number_text(0.5 * (range.low + range.high), "%.17g") << " "
                   << number_text(range.high, "%.17g") << "\n";
        }
        runs.push_back(run);
    }
    run_side_by_side(runs);
    for (const LawRun& run : runs)
        if (run.parameter_file != c.parameter_file) std::remove(run.parameter_file.c_str());
    rmdir(folder);
    for (const LawRun& run : runs) {
        if (run.status == 0 && !run.result.is_discarded()) continue;
        const std::string why = run.error.substr(0, run.error.find('\n'));
        return fail(run.status == 2 ? 2 : 1,
                    run.program + "-report failed" + (why.empty() ? "" : ": " + why));
    }
    if (!same_points(runs))
        return fail(2,
                    "the laws did not compare the same points, so their sums of squares "
                    "cannot be ranked (a law whose simulation stops early leaves points out)");

    for (size_t i = 0; i < runs.size(); ++i)
        c.ranked.push_back(law_fit(laws[i], runs[i].result));
    c.points_compared = c.ranked.front().n;
    c.curves = static_cast<int>(runs.front().result["curves"].size());
    rank(c.ranked);
    c.verdict = verdict(c.ranked);
    warn_about_best(c);

    PendingFiles files;
    const std::string json = files.add(prefix + ".json"), tsv = files.add(prefix + ".tsv"),
                      gp = files.add(prefix + ".gp");
    std::string failed;
    if (!write_comparison_json(c, json) || !write_comparison_table(c, tsv) ||
        !write_comparison_figure(c, prefix, gp) || !files.commit(failed))
        return fail(1, "cannot write " + (failed.empty() ? prefix + ".*" : failed) + ": " +
                           std::strerror(errno));
    print_comparison(c);
    render(prefix);
    return 0;
}
