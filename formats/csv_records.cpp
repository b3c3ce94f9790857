#include "formats/csv_records.h"

#include <csv.h>

#include <map>
#include <memory>
#include <new>

namespace formats {

namespace {

struct Collector {
    std::vector<Record> records;
    Record current;
    int line = 0;
    bool row_started = false;
};

void on_field(void* text, std::size_t length, void* data) {
    auto* c = static_cast<Collector*>(data);
    if (!c->row_started) c->current.line = c->line;
    c->row_started = true;
    c->current.fields.emplace_back(text ? static_cast<const char*>(text) : "", text ? length : 0);
}

// With CSV_REPALL_NL every line end is reported, so a blank line is a row without fields.
void on_row_end(int, void* data) {
    auto* c = static_cast<Collector*>(data);
    if (!c->row_started) c->current.line = c->line;
    c->records.push_back(std::move(c->current));
    c->current = Record{};
    c->row_started = false;
}

struct Parser {
    csv_parser p;
    explicit Parser(char separator) {
        if (csv_init(&p, CSV_REPALL_NL) != 0) throw std::bad_alloc();
        csv_set_delim(&p, static_cast<unsigned char>(separator));
    }
    ~Parser() { csv_free(&p); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
};

}  // namespace

bool Record::blank() const {
    for (const std::string& f : fields)
        if (!f.empty()) return false;
    return true;
}

std::vector<Record> split_records(const std::string& text, char separator, std::size_t max_lines) {
    Parser parser(separator);
    Collector c;
    std::string line;
    std::size_t start = 0;
    while (start < text.size() && static_cast<std::size_t>(c.line) < max_lines) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        line.assign(text, start, end - start);
        line += '\n';  // CR LF and CR alike end a line
        start = end + (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
                               text[end + 1] == '\n'
                           ? 2
                           : 1);
        ++c.line;
        if (csv_parse(&parser.p, line.data(), line.size(), on_field, on_row_end, &c) != line.size())
            throw std::bad_alloc();  // libcsv fails only when out of memory outside strict mode
    }
    csv_fini(&parser.p, on_field, on_row_end, &c);
    return std::move(c.records);
}

char sniff_separator(const std::string& text) {
    char best = 0;
    int best_score = 1;
    for (char candidate : {'\t', ';', ','}) {
        std::map<std::size_t, int> lines_with;  // field count -> lines
        for (const Record& r : split_records(text, candidate, 200))
            if (r.fields.size() >= 2) ++lines_with[r.fields.size()];
        int score = 0;
        for (const auto& [count, lines] : lines_with)
            score = std::max(score, lines);
        if (score > best_score) {
            best = candidate;
            best_score = score;
        }
    }
    return best;
}

std::string separator_name(char separator) {
    return separator == '\t' ? "tab" : std::string("'") + separator + "'";
}

}  // namespace formats
