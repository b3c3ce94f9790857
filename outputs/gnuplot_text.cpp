#include "outputs/gnuplot_text.h"

#include <algorithm>
#include <cstdio>

#include "text/utf8_text.h"

namespace {

bool has_control_character(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// Single quotes take everything literally (no backslash escapes, no backquoted commands,
// no macros); only the quote itself is doubled.
std::string single_quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// Double quotes can hold a line break as an escape. Every character gnuplot would act on
// inside them (quote, backslash, backquote, the macro sign) is escaped too, in octal.
std::string double_quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '"' || c == '\\' || c == '`' || c == '@') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

// A path must stay what it is, whatever it holds.
std::string gnuplot_string(const std::string& text) {
    return has_control_character(text) ? double_quoted(text) : single_quoted(text);
}

std::string shown(const std::string& text) {
    return clean_utf8(text, ' ');
}

std::string with_unit(const std::string& label, const std::string& unit) {
    return unit.empty() ? label : label + " (" + unit + ")";
}
