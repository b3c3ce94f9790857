#include "checks/line_reading.h"

namespace input_checks {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool read_line(std::istream& in, std::string& line, bool& cut) {
    line.clear();
    cut = false;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) return false;
    bool any = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) return any;
        any = true;
        if (c == '\n') return true;
        if (line.size() < LINE_KEEP) {
            line.push_back(static_cast<char>(c));
        } else {
            cut = true;
        }
    }
}

}  // namespace input_checks
