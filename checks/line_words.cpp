#include "report/check_text.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <utility>

#include "report/utf8_text.h"

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

std::string quoted(const std::string& text, std::size_t length) {
    const std::string shown = trimmed(text);
    std::string out = "'";
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i < shown.size() && characters < length) {
        const unsigned char c = static_cast<unsigned char>(shown[i]);
        std::size_t length = c < 0x80 ? 1 : utf8_length(shown, i);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            out.push_back(UNPRINTABLE);
            length = 1;
        } else {
            out.append(shown, i, length);
        }
        i += length;
        ++characters;
    }
    if (i < shown.size()) out += QUOTE_CUT_MARK;
    return out + "'";
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string count_of(long long n, const std::string& singular, const std::string& plural) {
    return std::to_string(n) + " " + (n == 1 ? singular : plural);
}

bool LineWords::skip_blanks() {
    while (at_ < line_.size() && is_blank(line_[at_]))
        ++at_;
    return at_ < line_.size();
}

bool LineWords::word(std::string& out) {
    if (failed_) return false;
    if (!skip_blanks()) {
        failed_ = true;
        return false;
    }
    const std::size_t begin = at_;
    while (at_ < line_.size() && !is_blank(line_[at_]))
        ++at_;
    out = line_.substr(begin, at_ - begin);
    return true;
}

// A number never spans a blank, so the word from here on, on a stream of its own, is parsed
// exactly as the reader's stream parses it, and tells how much of the word it took.
template <class Number>
Extraction LineWords::extract(Number& target) {
    Extraction e;
    if (failed_) return e;
    if (!skip_blanks()) {
        failed_ = true;
        e.kind = Extraction::MISSING;
        return e;
    }
    std::size_t end = at_;
    while (end < line_.size() && !is_blank(line_[end]))
        ++end;
    e.word = line_.substr(at_, end - at_);
    std::istringstream alone(e.word);
    Number value = target;
    alone >> value;
    target = value;
    if (alone.fail()) {
        failed_ = true;
        e.kind = Extraction::FAILED;
        return e;
    }
    const std::size_t used = alone.eof() ? e.word.size() : static_cast<std::size_t>(alone.tellg());
    e.kind = Extraction::READ;
    e.partial = used < e.word.size();
    e.rest = e.word.substr(used);
    at_ += used;
    return e;
}

Extraction LineWords::real(double& target) {
    return extract(target);
}

Extraction LineWords::whole(int& target) {
    return extract(target);
}

std::string LineWords::remainder() const {
    return at_ < line_.size() ? line_.substr(at_) : std::string();
}

FileWarnings::Kind& FileWarnings::kind(const char* name) {
    for (Kind& k : kinds_) {
        if (std::string(k.name) == name) return k;
    }
    kinds_.push_back(Kind{name, 0, 0, 0, 0, 0});
    return kinds_.back();
}

void FileWarnings::line(int lineNumber, const char* kindName, std::string message) {
    Kind& k = kind(kindName);
    if (k.shown >= SAME_KIND_SHOWN) {
        if (k.more == 0) k.firstMoreLine = lineNumber;
        k.lastMoreLine = lineNumber;
        ++k.more;
        return;
    }
    if (lineWarnings_ >= LINE_WARNINGS_PER_FILE) {
        ++dropped_;
        return;
    }
    if (k.shown == 0) k.firstShownLine = lineNumber;
    ++k.shown;
    ++lineWarnings_;
    always(lineNumber, std::move(message));
}

void FileWarnings::always(int lineNumber, std::string message) {
    kept_.push_back(Warning{file_, lineNumber, std::move(message)});
}

void FileWarnings::finish(std::vector<Warning>& out) {
    for (const Kind& k : kinds_) {
        if (k.more == 0) continue;
        const std::string which = k.more == 1 ? "This line has"
                                              : "This line and " + std::to_string(k.more - 1) +
                                                    " more of this file, up to line " +
                                                    std::to_string(k.lastMoreLine) + ", have";
        always(k.firstMoreLine,
               which + " the same trouble as line " + std::to_string(k.firstShownLine) + " above.");
    }
    kinds_.clear();
    std::stable_sort(kept_.begin(), kept_.end(),
                     [](const Warning& a, const Warning& b) { return a.line < b.line; });
    for (Warning& w : kept_)
        out.push_back(std::move(w));
    kept_.clear();
    if (dropped_ > 0) {
        out.push_back(Warning{file_, 0,
                              "... and " + count_of(dropped_, "more warning", "more warnings") +
                                  " about single lines of this file, not shown: the first " +
                                  std::to_string(LINE_WARNINGS_PER_FILE) +
                                  " are above. Fix those and check again."});
    }
    dropped_ = 0;
    lineWarnings_ = 0;
}

void warn_long_line(FileWarnings& out, int lineNumber) {
    out.line(lineNumber, "long line",
             "This line is longer than " + std::to_string(LINE_KEEP) +
                 " characters: only its first " + std::to_string(LINE_KEEP) +
                 " characters were checked.");
}

}  // namespace input_checks
