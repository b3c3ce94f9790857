// Words of a line read the way the readers' streams read them, so that a check can tell what
// the reader made of each argument.
#pragma once

#include <cstddef>
#include <string>

namespace input_checks {

// One argument taken from a line by a stream extraction.
struct Extraction {
    enum Kind {
        READ,     // a number was read
        MISSING,  // nothing was left on the line: the target keeps its value
        FAILED,   // the word is no number: the target gets what the stream gives (0 or +-max)
        SKIPPED,  // an earlier extraction failed, so the stream read nothing more
    };
    Kind kind = SKIPPED;
    bool partial = false;  // READ from the start of a word that goes on after the number
    std::string word;      // from where the extraction started to the end of that word
    std::string rest;      // what the number left of that word
};

// Reads a line as `std::istringstream words(line)` with `words >> x` does: words at blanks,
// numbers as the stream's number parsing takes them (prefixes of a word), and nothing more
// after the first extraction that fails.
class LineWords {
  public:
    explicit LineWords(const std::string& line) : line_(line) {}

    bool word(std::string& out);  // words >> std::string
    Extraction real(double& target);
    Extraction whole(int& target);
    bool failed() const { return failed_; }
    // What is left of the line from here, for the keywords a failure drops.
    std::string remainder() const;

  private:
    template <class Number>
    Extraction extract(Number& target);
    bool skip_blanks();

    const std::string& line_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

}  // namespace input_checks
