#include "checks/message_text.h"

#include "checks/line_reading.h"
#include "text/number_text.h"
#include "text/utf8_text.h"

namespace input_checks {

namespace {

constexpr char QUOTE_CUT_MARK[] = "...";
constexpr char UNPRINTABLE = '?';

std::string trimmed(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && is_blank(text[begin]))
        ++begin;
    while (end > begin && is_blank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

}  // namespace

std::string quoted(const std::string& text, std::size_t length) {
    const std::string shown = clean_utf8(trimmed(text), UNPRINTABLE);
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i < shown.size() && characters < length) {
        const unsigned char c = static_cast<unsigned char>(shown[i]);
        i += c < 0x80 ? 1 : utf8_length(shown, i);
        ++characters;
    }
    return "'" + shown.substr(0, i) + (i < shown.size() ? QUOTE_CUT_MARK : "") + "'";
}

std::string number(double value) {
    return number_text(value, "%.10g");
}

std::string count_of(long long n, const std::string& singular, const std::string& plural) {
    return std::to_string(n) + " " + (n == 1 ? singular : plural);
}

}  // namespace input_checks
