#include "formats/table_reader.h"

#include "formats/csv_records.h"
#include "formats/long_table.h"
#include "formats/table_frame.h"
#include "formats/text_encoding.h"
#include "formats/wide_table.h"

namespace formats {

Dataset read_table(const std::string& bytes, const std::string& source,
                   const TableOptions& options) {
    if (options.signal_per_conc &&
        !(*options.signal_per_conc > 0 && *options.signal_per_conc < 1e300))
        throw InputError("--signal-per-conc: expected a positive number");
    const DecodedText decoded = to_utf8(bytes);
    const char separator = options.separator ? options.separator : sniff_separator(decoded.text);
    if (!separator)
        throw InputError(source +
                         ": no separator found: expected columns separated by tabs, "
                         "';' or ',' on at least two lines");
    Table table = locate_table(decoded.text, separator, source);
    std::vector<std::string> notes;
    if (decoded.from_latin1) notes.push_back("not UTF-8: read as Latin-1 (ISO 8859-1)");
    notes.push_back(std::string("columns separated by ") + separator_name(separator) +
                    (options.separator ? "" : " (sniffed)") +
                    (table.decimal_comma ? ", a ',' in a number is its decimal point" : ""));
    notes.insert(notes.end(), table.notes.begin(), table.notes.end());
    table.notes = std::move(notes);
    return is_long_table(table) ? read_long_table(table, options) : read_wide_table(table, options);
}

}  // namespace formats
