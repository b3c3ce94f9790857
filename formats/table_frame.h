// Where the table sits in a lab file, and its time column.
//
// The header is the first line with as many fields as most lines of the file have (at least
// two; empty fields at the end of a line do not count, as spreadsheets pad every line to the
// widest); lines above it are metadata and are not read. The table ends at the first blank line
// after it; lines below that are not read either. A row with fewer fields than the header has
// empty cells at its end; one with more (that hold something) is an error.
#pragma once

#include <string>
#include <vector>

#include "formats/csv_records.h"
#include "formats/dataset.h"
#include "formats/table_options.h"

namespace formats {

struct Table {
    std::string source;
    std::vector<std::string> header;
    int header_line = 0;
    std::vector<Record> rows;    // fields padded to the header's count
    bool decimal_comma = false;  // the separator is not ',' so a ',' in a number is its point
    std::vector<std::string> notes;
};

Table locate_table(const std::string& text, char separator, const std::string& source);

// "plate.csv:12: column 'Time'": the start of a message about one cell.
std::string cell_place(const Table& table, const Record& row, std::size_t column);

// The times of every row, in `unit` (set here): seconds for clock times, else the unit in the
// header ("Time (min)") or options.time_unit.
std::vector<double> read_times(const Table& table, std::size_t column, const TableOptions& options,
                               Unit& unit);

// A value cell: the number, or nullopt with the reason added to `curve.left_out`.
// Text that is neither a number nor a known no-value mark is an error.
std::optional<double> read_value(const Table& table, const Record& row, std::size_t column,
                                 SourceCurve& curve);

}  // namespace formats
