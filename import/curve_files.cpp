#include "import/curve_files.h"

#include <cctype>
#include <set>

#include "formats/table_cells.h"

namespace velkor_import {

namespace {

bool safe(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

}  // namespace

std::string safe_file_stem(const std::string& name) {
    std::string stem;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, 2, "\xC2\xB5") == 0 || name.compare(i, 2, "\xCE\xBC") == 0) {
            stem += 'u';
            ++i;
            continue;
        }
        const char c = safe(name[i]) ? name[i] : '_';
        if (c == '_' && !stem.empty() && stem.back() == '_') continue;
        if ((c == '.' || c == '-' || c == '_') && stem.empty()) continue;
        stem += c;
    }
    if (stem.size() > 60) stem.resize(60);
    while (!stem.empty() && (stem.back() == '_' || stem.back() == '.'))
        stem.pop_back();
    return stem.empty() ? "curve" : stem;
}

void assign_file_names(Problem& problem) {
    std::set<std::string> taken = {"params"};
    for (ProblemCurve& curve : problem.curves) {
        const std::string stem = safe_file_stem(curve.label);
        std::string name = stem;
        for (int n = 2; taken.count(formats::lower_case(name)); ++n)
            name = stem + "_" + std::to_string(n);
        taken.insert(formats::lower_case(name));
        curve.file = name + ".txt";
    }
}

std::string curve_file_text(const ProblemCurve& curve, const Problem& problem) {
    using formats::number_text;
    std::string comment = curve.label;
    for (char& c : comment)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    std::string text = "# " + comment + "\n# S0 from: " + curve.s0_from + "; concentrations in " +
                       problem.conc.name + ", times in " + problem.time.name + "\n" +
                       number_text(curve.s0) + "\n";
    text.reserve(text.size() + 24 * curve.points.size());
    for (const Point& p : curve.points) {
        formats::append_number(text, p.time);
        text += ' ';
        formats::append_number(text, p.value);
        text += '\n';
    }
    return text;
}

}  // namespace velkor_import
