// Rows of a delimited text (CSV, TSV, ';'-separated), split by libcsv: RFC 4180 quoting,
// blanks around unquoted fields trimmed. Line ends may be LF, CR LF or CR.
//
// The separator is sniffed: of tab, ';' and ',', the one for which most of the first 200
// lines split into the same number (2 or more) of fields; ties go to tab, then ';', then ','
// (a decimal comma makes ',' split a ';' table unevenly, so ';' wins there).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace formats {

struct Record {
    int line = 0;  // the line the row starts on, from 1
    std::vector<std::string> fields;
    bool blank() const;  // no field holds anything
};

std::vector<Record> split_records(const std::string& text, char separator,
                                  std::size_t max_lines = static_cast<std::size_t>(-1));

// 0 when no candidate splits two lines alike.
char sniff_separator(const std::string& text);

// "tab", "';'", "','": for messages.
std::string separator_name(char separator);

}  // namespace formats
