#include "import/import_record.h"

#include <cmath>

namespace velkor_import {

namespace {

using nlohmann::json;

json conc_unit(const formats::Unit& u) {
    return {{"name", u.name}, {"mol_per_litre", u.factor}};
}
json time_unit(const formats::Unit& u) {
    return {{"name", u.name}, {"seconds", u.factor}};
}
json number_or_null(double x) {
    return std::isfinite(x) ? json(x) : json();
}

json left_out(const std::vector<formats::LeftOut>& points) {
    json list = json::array();
    for (const formats::LeftOut& p : points)
        list.push_back({{"where", p.where}, {"reason", p.reason}});
    return list;
}

json curve_record(const ProblemCurve& c) {
    const auto text_or_null = [](const std::string& s) { return s.empty() ? json() : json(s); };
    return {{"file", c.file},
            {"name", c.label},
            {"measurement_id", text_or_null(c.measurement_id)},
            {"species_id", text_or_null(c.species_id)},
            {"column", text_or_null(c.column)},
            {"source_concentration", conc_unit(c.source_conc)},
            {"source_time", time_unit(c.source_time)},
            {"time_shift", c.time_shift},
            {"point_0_added", c.added_point_0},
            {"s0", c.s0},
            {"s0_from", c.s0_from},
            {"points", c.points.size()},
            {"left_out", left_out(c.left_out)}};
}

}  // namespace

json import_record(const formats::Dataset& set, const Problem& problem, const FreeFit& fit) {
    json curves = json::array();
    for (const ProblemCurve& c : problem.curves)
        curves.push_back(curve_record(c));
    return {{"written_by", "velkor-import"},
            {"source",
             {{"file", set.source},
              {"kind", set.kind},
              {"species_id", set.species_id.empty() ? json() : json(set.species_id)}}},
            {"concentration", conc_unit(problem.conc)},
            {"time", time_unit(problem.time)},
            {"curves", curves},
            {"curves_left_out", problem.curves_left_out},
            {"estimate",
             {{"method", fit.method},
              {"km", fit.km},
              {"km_standard_error", number_or_null(fit.km_se)},
              {"vmax", fit.vmax},
              {"vmax_standard_error", number_or_null(fit.vmax_se)}}}};
}

}  // namespace velkor_import
