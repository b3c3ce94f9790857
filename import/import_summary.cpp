#include "import/import_summary.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "import/parameter_text.h"

namespace velkor_import {

namespace {

using formats::number_text;

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text + " ";
}

// "NAME: 3 points (empty cell): line 12, line 13, line 40", one line per reason.
std::string left_out_lines(const std::string& name, const std::vector<formats::LeftOut>& points) {
    std::vector<std::string> reasons;
    for (const formats::LeftOut& p : points)
        if (std::find(reasons.begin(), reasons.end(), p.reason) == reasons.end())
            reasons.push_back(p.reason);
    std::string text;
    for (const std::string& reason : reasons) {
        std::string where;
        int count = 0;
        for (const formats::LeftOut& p : points)
            if (p.reason == reason) where += (count++ ? ", " : "") + p.where;
        text += "  " + name + ": " + std::to_string(count) +
                (count == 1 ? " point (" : " points (") + reason + "): " + where + "\n";
    }
    return text;
}

std::string source_units(const Problem& problem) {
    std::set<std::string> conc, time;
    for (const ProblemCurve& c : problem.curves)
        conc.insert(c.source_conc.name), time.insert(c.source_time.name);
    const auto list = [](const std::set<std::string>& names) {
        std::string text;
        for (const std::string& n : names)
            text += (text.empty() ? "" : ", ") + n;
        return text;
    };
    return "units: concentrations in " + problem.conc.name + " (source: " + list(conc) +
           "), times in " + problem.time.name + " (source: " + list(time) + ")\n";
}

std::string limits(const Problem& problem) {
    std::size_t longest = 0;
    for (const ProblemCurve& c : problem.curves)
        longest = std::max(longest, c.points.size());
    std::string text;
    if (problem.curves.size() > CURVES_VELKOR_READS)
        text += "velkor reads the first " + std::to_string(CURVES_VELKOR_READS) +
                " plot lines: it fits " + std::to_string(CURVES_VELKOR_READS) + " of these " +
                std::to_string(problem.curves.size()) + " curves (the folder holds all of them)\n";
    if (longest > POINTS_VELKOR_READS)
        text += "velkor reads " + std::to_string(POINTS_VELKOR_READS) +
                " points per curve: curves of up to " + std::to_string(longest) +
                " points are cut there (the files hold all of them)\n";
    return text;
}

}  // namespace

std::string import_summary(const formats::Dataset& set, const Problem& problem,
                           const FreeFit& fit) {
    std::string text = "source: " + set.source +
                       (set.species_id.empty() ? "" : ", species " + set.species_id) + "\n";
    for (const std::string& note : set.notes)
        text += "  " + note + "\n";
    text += "curves (" + std::to_string(problem.curves.size()) + "), S0 and where it came from:\n";
    std::size_t width = 0;
    for (const ProblemCurve& c : problem.curves)
        width = std::max(width, c.file.size());
    for (const ProblemCurve& c : problem.curves) {
        text += "  " + padded(c.file, width) + "S0 " + number_text(c.s0) + " " + problem.conc.name +
                " (" + c.s0_from + "), " + std::to_string(c.points.size()) + " points";
        if (!c.measurement_id.empty()) text += ", measurement " + c.measurement_id;
        if (c.label != c.file.substr(0, c.file.size() - 4)) text += ", '" + c.label + "'";
        text += "\n";
        if (!c.origin.empty()) text += "    " + c.origin + "\n";
    }
    text += source_units(problem);
    for (const std::string& line : problem.time_choice)
        text += line + "\n";
    text += "largest shift of a time onto the 0.01 grid: " +
            formats::brief_number(problem.largest_shift) + " " + problem.time.name +
            (problem.largest_shift_at.empty() ? "" : " (" + problem.largest_shift_at + ")") + "\n";
    std::string left;
    for (const ProblemCurve& c : problem.curves)
        left += left_out_lines(c.file, c.left_out);
    for (const std::string& c : problem.curves_left_out)
        left += "  curve " + c + "\n";
    text += left.empty() ? "left out: nothing\n" : "left out:\n" + left;
    int not_compared = 0;
    for (const ProblemCurve& c : problem.curves)
        for (std::size_t i = 1; i < c.points.size(); ++i)
            not_compared += !(c.points[i].value > 0);
    if (not_compared)
        text += std::to_string(not_compared) +
                " points with a concentration of 0 or below are written "
                "but not compared by velkor\n";
    text += limits(problem);
    const auto line = [](const char* name, double value, double se, const std::string& unit,
                         const char* use) {
        const Range r = centred_range(value, se);
        return std::string("  ") + name + formats::brief_number(value) + " " + unit +
               (std::isfinite(se) ? " (standard error " + formats::brief_number(se) + ")" : "") +
               ", range " + formats::brief_number(r.low) + " .. " + formats::brief_number(r.high) +
               " (" + use + ")\n";
    };
    text += "parameter file, from " + fit.method + ":\n" +
            line("Km   ", fit.km, fit.km_se, problem.conc.name, "the fit starts at its middle") +
            line("Vmax ", fit.vmax, fit.vmax_se, problem.conc.name + "/" + problem.time.name,
                 "held at its middle");
    return text;
}

}  // namespace velkor_import
