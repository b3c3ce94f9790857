#include "formats/long_table.h"

#include <algorithm>
#include <map>
#include <set>

#include "formats/table_cells.h"
#include "formats/wide_table.h"

namespace formats {

namespace {

enum class Role { other, time, value, curve, s0 };

Role role_of(const std::string& header) {
    static const std::map<std::string, Role> NAMES = {
        {"time", Role::time},        {"t", Role::time},
        {"value", Role::value},      {"concentration", Role::value},
        {"conc", Role::value},       {"substrate", Role::value},
        {"s", Role::value},          {"signal", Role::value},
        {"absorbance", Role::value}, {"fluorescence", Role::value},
        {"curve", Role::curve},      {"id", Role::curve},
        {"well", Role::curve},       {"sample", Role::curve},
        {"series", Role::curve},     {"name", Role::curve},
        {"replicate", Role::curve},  {"measurement", Role::curve},
        {"group", Role::curve},      {"s0", Role::s0},
        {"initial", Role::s0},       {"nominal", Role::s0}};
    const auto it = NAMES.find(split_label(header).name);
    return it == NAMES.end() ? Role::other : it->second;
}

struct Columns {
    std::vector<std::size_t> time, value, curve, s0;
};

Columns columns_of(const Table& table) {
    Columns c;
    for (std::size_t i = 0; i < table.header.size(); ++i) {
        switch (role_of(table.header[i])) {
            case Role::time:
                c.time.push_back(i);
                break;
            case Role::value:
                c.value.push_back(i);
                break;
            case Role::curve:
                c.curve.push_back(i);
                break;
            case Role::s0:
                c.s0.push_back(i);
                break;
            case Role::other:
                break;
        }
    }
    return c;
}

std::optional<Unit> header_unit(const Table& table, std::size_t column) {
    const std::string written = split_label(table.header[column]).unit;
    if (written.empty()) return std::nullopt;
    const auto unit = concentration_unit(written);
    if (!unit)
        throw InputError(table.source + ":" + std::to_string(table.header_line) + ": column '" +
                         table.header[column] + "': unknown concentration unit '" + written + "'");
    return unit;
}

std::string only(const Table& table, const std::vector<std::size_t>& found, const char* what) {
    if (found.size() > 1)
        throw InputError(table.source + ":" + std::to_string(table.header_line) + ": columns '" +
                         table.header[found[0]] + "' and '" + table.header[found[1]] +
                         "' both name the " + what + ": expected one");
    return table.header[found[0]];
}

// The S0 of a curve from its S0 column: one value over all its rows.
std::optional<Concentration> s0_cell(const Table& table, std::size_t column,
                                     const std::vector<std::size_t>& rows) {
    std::optional<Concentration> s0;
    for (std::size_t r : rows) {
        const std::string& cell = table.rows[r].fields[column];
        const auto c = parse_concentration(cell, table.decimal_comma);
        if (!c)
            throw InputError(cell_place(table, table.rows[r], column) + ": '" + cell +
                             "' is not a concentration");
        if (s0 && (c->value != s0->value ||
                   (c->unit ? c->unit->name : "") != (s0->unit ? s0->unit->name : "")))
            throw InputError(cell_place(table, table.rows[r], column) + ": S0 '" + cell +
                             "' differs from the curve's S0 above");
        s0 = c;
    }
    return s0;
}

}  // namespace

bool is_long_table(const Table& table) {
    const Columns c = columns_of(table);
    return !c.time.empty() && !c.value.empty() && (!c.curve.empty() || !c.s0.empty());
}

Dataset read_long_table(const Table& table, const TableOptions& options) {
    const Columns c = columns_of(table);
    if (!options.s0.empty())
        throw InputError("--s0: " + table.source +
                         " is a long table: its S0s come from an S0 "
                         "column or the curve names");
    only(table, c.time, "time");
    const std::string value_name = only(table, c.value, "value");
    if (c.s0.size() > 1) only(table, c.s0, "S0");
    Dataset set{table.source, "table", "", {}, table.notes};
    set.notes.push_back("long layout: times in '" + table.header[c.time[0]] + "', values in '" +
                        value_name + "'");
    std::optional<std::size_t> blank;
    for (std::size_t i = 0; i < table.header.size(); ++i)
        if (!options.blank_column.empty() && trimmed(table.header[i]) == options.blank_column)
            blank = i;
    if (!options.blank_column.empty() && !blank)
        throw InputError(table.source + ": --blank: no column '" + options.blank_column + "'");
    const double offset = blank ? blank_mean(table, *blank, set.notes) : 0.0;
    Unit time_unit;
    const std::vector<double> times = read_times(table, c.time[0], options, time_unit);
    // Rows of each curve, curves in the order they first appear.
    std::vector<std::string> keys;
    std::map<std::string, std::vector<std::size_t>> rows_of;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        std::string key;
        for (std::size_t k : c.curve.empty() ? c.s0 : c.curve)
            key += (key.empty() ? "" : " ") + trimmed(table.rows[r].fields[k]);
        if (!rows_of.count(key)) keys.push_back(key);
        rows_of[key].push_back(r);
    }
    std::map<std::string, std::optional<Concentration>> s0_of;
    for (const std::string& key : keys)
        s0_of[key] = c.s0.empty() ? parse_concentration(key, table.decimal_comma)
                                  : s0_cell(table, c.s0[0], rows_of[key]);
    // Row order says nothing: curves go by S0 (in the units written), then by name.
    std::stable_sort(keys.begin(), keys.end(), [&](const std::string& a, const std::string& b) {
        const auto& x = s0_of[a];
        const auto& y = s0_of[b];
        if (x.has_value() != y.has_value()) return x.has_value();
        if (x && y) {
            const double u = x->value * (x->unit ? x->unit->factor : 1.0);
            const double v = y->value * (y->unit ? y->unit->factor : 1.0);
            if (u != v) return u < v;
        }
        return a < b;
    });
    std::vector<std::optional<Concentration>> s0s;
    for (const std::string& key : keys)
        s0s.push_back(s0_of[key]);
    const std::optional<Unit> value_unit = header_unit(table, c.value[0]);
    const std::optional<Unit> s0_header = c.s0.empty() ? std::nullopt : header_unit(table, c.s0[0]);
    const std::optional<Unit> signal = signal_unit(options, s0s);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        SourceCurve curve;
        curve.name = keys[i].empty() ? "(no name)" : keys[i];
        curve.column = value_name;
        curve.time = time_unit;
        curve.places = "line";
        const std::optional<Unit> unit = options.signal_per_conc ? signal
                                         : value_unit            ? value_unit
                                                                 : options.conc_unit;
        if (!unit)
            throw InputError(table.source + ":" + std::to_string(table.header_line) + ": column '" +
                             value_name +
                             "' has no concentration unit: write it in the header "
                             "('concentration (uM)') or give --conc-unit");
        curve.conc = *unit;
        if (s0s[i]) {
            const std::optional<Unit> from = s0s[i]->unit ? s0s[i]->unit : s0_header;
            curve.nominal_s0 = from ? convert(s0s[i]->value, *from, *unit) : s0s[i]->value;
            curve.nominal_from =
                c.s0.empty() ? "curve name" : "column '" + table.header[c.s0[0]] + "'";
        }
        for (std::size_t r : rows_of[keys[i]]) {
            const auto v = read_value(table, table.rows[r], c.value[0], curve);
            if (!v) continue;
            const double value =
                options.signal_per_conc ? (*v - offset) / *options.signal_per_conc : *v - offset;
            curve.points.push_back({times[r], value, table.rows[r].line});
        }
        set.curves.push_back(std::move(curve));
    }
    return set;
}

}  // namespace formats
