#include "formats/table_frame.h"

#include <map>

#include "formats/table_cells.h"

namespace formats {

namespace {

// Fields up to the last one that holds something: spreadsheets pad every line with empty
// fields to the widest, metadata lines too.
std::size_t width_of(const Record& r) {
    std::size_t width = r.fields.size();
    while (width > 0 && r.fields[width - 1].empty())
        --width;
    return width;
}

std::size_t usual_width(const std::vector<Record>& records) {
    std::map<std::size_t, int> lines_with;
    for (const Record& r : records)
        if (width_of(r) >= 2) ++lines_with[width_of(r)];
    std::size_t width = 0;
    int most = 0;
    for (const auto& [count, lines] : lines_with)
        if (lines > most) width = count, most = lines;
    return width;
}

std::string line_range(int first, int last) {
    return first == last ? "line " + std::to_string(first)
                         : "lines " + std::to_string(first) + "-" + std::to_string(last);
}

}  // namespace

Table locate_table(const std::string& text, char separator, const std::string& source) {
    std::vector<Record> records = split_records(text, separator);
    const std::size_t width = usual_width(records);
    if (width == 0)
        throw InputError(source + ": no table: expected a header line and rows of " +
                         separator_name(separator) + "-separated columns");
    Table table;
    table.source = source;
    table.decimal_comma = separator != ',';
    std::size_t i = 0;
    while (width_of(records[i]) != width)
        ++i;
    table.header.assign(records[i].fields.begin(),
                        records[i].fields.begin() + static_cast<std::ptrdiff_t>(width));
    table.header_line = records[i].line;
    if (i > 0)
        table.notes.push_back(line_range(records[0].line, records[i - 1].line) +
                              " above the table's header not read (metadata)");
    for (++i; i < records.size() && !records[i].blank(); ++i) {
        Record& row = records[i];
        if (width_of(row) > width)
            throw InputError(source + ":" + std::to_string(row.line) + ": " +
                             std::to_string(width_of(row)) + " fields, but the header has " +
                             std::to_string(width));
        row.fields.resize(width);
        table.rows.push_back(std::move(row));
    }
    while (i < records.size() && records[i].blank())
        ++i;
    std::size_t last = records.size();
    while (last > i && records[last - 1].blank())
        --last;
    if (i < last)
        table.notes.push_back(line_range(records[i].line, records[last - 1].line) +
                              " below the table's end (a blank line) not read");
    if (table.rows.empty())
        throw InputError(source + ":" + std::to_string(table.header_line) +
                         ": a header but no rows below it");
    return table;
}

std::string cell_place(const Table& table, const Record& row, std::size_t column) {
    return table.source + ":" + std::to_string(row.line) + ": column '" + table.header[column] +
           "'";
}

std::vector<double> read_times(const Table& table, std::size_t column, const TableOptions& options,
                               Unit& unit) {
    std::vector<double> times;
    int clocks = 0;
    for (const Record& row : table.rows) {
        const std::string& cell = row.fields[column];
        if (const auto seconds = parse_clock(cell, table.decimal_comma)) {
            times.push_back(*seconds);
            ++clocks;
        } else if (const auto number = parse_number(cell, table.decimal_comma)) {
            times.push_back(*number);
        } else {
            throw InputError(cell_place(table, row, column) + ": '" + cell +
                             "' is not a time: expected a number or H:MM:SS");
        }
    }
    const std::string& name = table.header[column];
    if (clocks > 0 && clocks < static_cast<int>(times.size()))
        throw InputError(table.source + ": column '" + name +
                         "' mixes clock times (H:MM:SS) and numbers: expected one or the other");
    if (clocks > 0) {
        unit = *time_unit("s");
        return times;
    }
    const std::string written = split_label(name).unit;
    if (!written.empty()) {
        const auto u = time_unit(written);
        if (!u)
            throw InputError(table.source + ":" + std::to_string(table.header_line) + ": column '" +
                             name + "': unknown time unit '" + written + "': expected s, min or h");
        unit = *u;
    } else if (options.time_unit) {
        unit = *options.time_unit;
    } else {
        throw InputError(table.source + ":" + std::to_string(table.header_line) + ": column '" +
                         name +
                         "' has no unit: write it in the header ('Time (s)') or give "
                         "--time-unit");
    }
    return times;
}

std::optional<double> read_value(const Table& table, const Record& row, std::size_t column,
                                 SourceCurve& curve) {
    const std::string& cell = row.fields[column];
    if (const auto value = parse_number(cell, table.decimal_comma)) return value;
    if (const auto reason = missing_reason(cell)) {
        curve.left_out.push_back({"line " + std::to_string(row.line), *reason});
        return std::nullopt;
    }
    throw InputError(cell_place(table, row, column) + ": '" + cell + "' is not a number");
}

}  // namespace formats
