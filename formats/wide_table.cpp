#include "formats/wide_table.h"

#include "formats/table_cells.h"

namespace formats {

namespace {

bool time_name(const std::string& header) {
    const std::string name = split_label(header).name;
    return name == "t" || name.rfind("time", 0) == 0;
}

bool temperature_name(const std::string& header) {
    const std::string name = lower_case(trimmed(header));
    return name.rfind("temp", 0) == 0 || name.rfind("t\xC2\xB0", 0) == 0;
}

std::optional<Concentration> column_s0(const Table& table, std::size_t column,
                                       const TableOptions& options, std::size_t place) {
    if (options.s0.empty()) {
        const std::string& header = table.header[column];
        const auto whole = parse_concentration(header, table.decimal_comma);
        return whole ? whole : parse_concentration(split_label(header).unit, table.decimal_comma);
    }
    const auto s0 = parse_concentration(options.s0[place], false);
    if (!s0)
        throw InputError("--s0: '" + options.s0[place] +
                         "' is not a concentration: expected a number with or without a unit");
    return s0;
}

}  // namespace

double blank_mean(const Table& table, std::size_t column, std::vector<std::string>& notes) {
    SourceCurve blank;
    double sum = 0;
    int count = 0;
    for (const Record& row : table.rows)
        if (const auto v = read_value(table, row, column, blank)) sum += *v, ++count;
    if (count == 0)
        throw InputError(table.source + ": blank column '" + table.header[column] +
                         "' holds no number");
    const double mean = sum / count;
    notes.push_back("blank column '" + table.header[column] + "': mean " + number_text(mean) +
                    " of " + std::to_string(count) + " cells, subtracted from every value" +
                    (blank.left_out.empty()
                         ? ""
                         : " (" + std::to_string(blank.left_out.size()) + " cells without value)"));
    return mean;
}

std::optional<Unit> signal_unit(const TableOptions& options,
                                const std::vector<std::optional<Concentration>>& s0s) {
    if (options.conc_unit) return options.conc_unit;
    for (const auto& s0 : s0s)
        if (s0 && s0->unit) return s0->unit;
    return std::nullopt;
}

Dataset read_wide_table(const Table& table, const TableOptions& options) {
    Dataset set{table.source, "table", "", {}, table.notes};
    std::size_t time_column = 0;
    while (time_column < table.header.size() && !time_name(table.header[time_column]))
        ++time_column;
    if (time_column == table.header.size()) time_column = 0;
    Unit time_unit;
    const std::vector<double> times = read_times(table, time_column, options, time_unit);
    std::optional<std::size_t> blank;
    std::vector<std::size_t> columns;
    for (std::size_t c = 0; c < table.header.size(); ++c) {
        if (c == time_column) continue;
        if (!options.blank_column.empty() && trimmed(table.header[c]) == options.blank_column) {
            blank = c;
        } else if (temperature_name(table.header[c])) {
            set.notes.push_back("column '" + table.header[c] + "' (a temperature) not read");
        } else {
            columns.push_back(c);
        }
    }
    set.notes.push_back("wide layout: times in column '" + table.header[time_column] + "', " +
                        std::to_string(columns.size()) + " curve columns");
    if (!options.blank_column.empty() && !blank)
        throw InputError(table.source + ": --blank: no column '" + options.blank_column + "'");
    if (!options.s0.empty() && options.s0.size() != columns.size())
        throw InputError("--s0: " + std::to_string(options.s0.size()) + " entries for " +
                         std::to_string(columns.size()) + " curve columns of " + table.source);
    const double offset = blank ? blank_mean(table, *blank, set.notes) : 0.0;
    std::vector<std::optional<Concentration>> s0s;
    for (std::size_t i = 0; i < columns.size(); ++i)
        s0s.push_back(column_s0(table, columns[i], options, i));
    const std::optional<Unit> signal = signal_unit(options, s0s);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::size_t c = columns[i];
        SourceCurve curve;
        curve.name = curve.column = table.header[c];
        curve.time = time_unit;
        curve.places = "line";
        const std::optional<Unit> unit = options.signal_per_conc  ? signal
                                         : s0s[i] && s0s[i]->unit ? s0s[i]->unit
                                                                  : options.conc_unit;
        if (!unit)
            throw InputError(table.source + ":" + std::to_string(table.header_line) + ": column '" +
                             curve.name +
                             "': no concentration unit: give S0 with a unit in "
                             "the header ('2.5 uM'), in --s0, or give --conc-unit");
        curve.conc = *unit;
        if (s0s[i]) {
            curve.nominal_s0 =
                s0s[i]->unit ? convert(s0s[i]->value, *s0s[i]->unit, *unit) : s0s[i]->value;
            curve.nominal_from = options.s0.empty() ? "header" : "--s0";
        }
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            const auto v = read_value(table, table.rows[r], c, curve);
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
