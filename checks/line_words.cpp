#include "checks/line_words.h"

#include <sstream>

#include "checks/line_reading.h"

namespace input_checks {

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

}  // namespace input_checks
