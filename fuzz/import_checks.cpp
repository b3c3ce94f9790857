#include "fuzz/import_checks.h"

#include <cmath>
#include <set>
#include <sstream>
#include <string>

#include "formats/table_cells.h"

namespace fuzz_support {

namespace {

using namespace velkor_import;

void require(bool promise) {
    if (!promise) __builtin_trap();
}

bool safe_name(const std::string& name) {
    if (name.empty() || name[0] == '.' || name[0] == '-' || name.size() > 70) return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_'))
            return false;
    return true;
}

bool comment_keyword(const std::string& text) {
    std::istringstream lines(text);
    std::string line, word;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] != '#') continue;
        std::istringstream words(line);
        while (words >> word)
            for (const char* k :
                 {"integration_steps", "max_iterations", "max_error", "const", "plot"})
                if (word == k) return true;
    }
    return false;
}

bool on_grid(double t) {
    return std::fabs(t * 100 - std::round(t * 100)) < 1e-6 * std::max(1.0, t);
}

}  // namespace

void check_import(const ImportResult& r) {
    require(!r.problem.curves.empty() && r.problem.curves.size() <= MAX_CURVES);
    require(r.files.size() == r.problem.curves.size() + 2);
    require(!comment_keyword(r.files.front().second));
    require(std::isfinite(r.fit.km) && r.fit.km > 0 && std::isfinite(r.fit.vmax) && r.fit.vmax > 0);
    std::set<std::string> names;
    for (const ProblemCurve& c : r.problem.curves) {
        require(safe_name(c.file) && names.insert(formats::lower_case(c.file)).second);
        require(c.file != "params.txt" && c.file != "import.json");
        require(c.s0 > 0 && std::isfinite(c.s0));
        require(c.points.size() >= 2 && c.points.size() <= MAX_POINTS);
        require(c.points[0].time == 0.0 && c.points[1].time >= FIRST_GAP - 1e-9);
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            require(on_grid(c.points[i].time) && std::isfinite(c.points[i].value));
            if (i > 0) require(c.points[i].time > c.points[i - 1].time);
        }
    }
}

}  // namespace fuzz_support
