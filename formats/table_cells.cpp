#include "formats/table_cells.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace formats {

std::string trimmed(std::string_view text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

std::string lower_case(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::optional<double> parse_number(std::string_view cell, bool decimal_comma) {
    std::string text = trimmed(cell);
    if (decimal_comma && text.find(',') != std::string::npos &&
        text.find('.') == std::string::npos) {
        if (text.find(',') != text.rfind(',')) return std::nullopt;
        text[text.find(',')] = '.';
    }
    std::size_t start = !text.empty() && text[0] == '+' ? 1 : 0;
    if (start < text.size() && (text[start] == '+' || text[start] == '-') && start == 1)
        return std::nullopt;  // "+-1"
    // from_chars takes "inf" and "nan" too: only digits, a point and an exponent count here.
    if (text.find_first_not_of("0123456789.eE+-", start) != std::string::npos) return std::nullopt;
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data() + start, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> parse_clock(std::string_view cell, bool decimal_comma) {
    const std::string text = trimmed(cell);
    const std::size_t first = text.find(':');
    if (first == std::string::npos) return std::nullopt;
    const std::size_t second = text.find(':', first + 1);
    const auto whole = [](const std::string& part) -> std::optional<double> {
        if (part.empty() || part.size() > 9 ||
            part.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        return std::stod(part);
    };
    std::optional<double> hours = 0.0, minutes, seconds;
    if (second == std::string::npos) {
        minutes = whole(text.substr(0, first));
        seconds = parse_number(text.substr(first + 1), decimal_comma);
    } else {
        hours = whole(text.substr(0, first));
        const std::string mm = text.substr(first + 1, second - first - 1);
        minutes = mm.size() == 2 ? whole(mm) : std::nullopt;
        seconds = parse_number(text.substr(second + 1), decimal_comma);
        if (minutes && *minutes >= 60) return std::nullopt;
    }
    const std::string ss = text.substr((second == std::string::npos ? first : second) + 1);
    if (!hours || !minutes || !seconds || *seconds < 0 || *seconds >= 60 || ss.size() < 2 ||
        !std::isdigit(static_cast<unsigned char>(ss[0])) ||
        !std::isdigit(static_cast<unsigned char>(ss[1])))
        return std::nullopt;
    return *hours * 3600 + *minutes * 60 + *seconds;
}

std::optional<std::string> missing_reason(std::string_view cell) {
    const std::string text = lower_case(trimmed(cell));
    if (text.empty()) return std::string("empty cell");
    for (const char* marker : {"nan", "na", "n/a", "over", "-"})
        if (text == marker) return "'" + trimmed(cell) + "' (no value)";
    return std::nullopt;
}

Labelled split_label(std::string_view header) {
    const std::string text = trimmed(header);
    for (const auto& [open, close] : {std::pair{'(', ')'}, std::pair{'[', ']'}}) {
        const std::size_t at = text.rfind(open);
        if (at != std::string::npos && !text.empty() && text.back() == close)
            return {lower_case(trimmed(text.substr(0, at))),
                    trimmed(text.substr(at + 1, text.size() - at - 2))};
    }
    const std::size_t slash = text.find('/');
    if (slash != std::string::npos && slash > 0)
        return {lower_case(trimmed(text.substr(0, slash))), trimmed(text.substr(slash + 1))};
    return {lower_case(text), ""};
}

std::optional<Concentration> parse_concentration(std::string_view text, bool decimal_comma) {
    std::string rest = trimmed(text);
    const std::string head = lower_case(rest.substr(0, 2));
    if (head == "s0") {
        rest = trimmed(rest.substr(2));
        if (!rest.empty() && (rest[0] == '=' || rest[0] == ':')) rest = trimmed(rest.substr(1));
    }
    // The number runs to the first character that cannot belong to it.
    std::size_t end = 0;
    while (end < rest.size() && (std::isdigit(static_cast<unsigned char>(rest[end])) ||
                                 std::string(".,+-eE").find(rest[end]) != std::string::npos)) {
        // An 'e' followed by a letter starts a unit, not an exponent.
        if ((rest[end] == 'e' || rest[end] == 'E') &&
            (end + 1 >= rest.size() || std::isalpha(static_cast<unsigned char>(rest[end + 1]))))
            break;
        ++end;
    }
    const auto value = parse_number(rest.substr(0, end), decimal_comma);
    if (!value) return std::nullopt;
    const std::string unit_text = trimmed(rest.substr(end));
    if (unit_text.empty()) return Concentration{*value, std::nullopt};
    const auto unit = concentration_unit(unit_text);
    if (!unit) return std::nullopt;
    return Concentration{*value, unit};
}

}  // namespace formats
