// Text pieces shared by the input checks: bounded reading of lines, words read the way the
// readers' streams read them, quoting of the user's lines, and the warnings of one file.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "report/fit_report.h"

namespace input_checks {

// A line is checked up to this many characters: the rest of a longer one is read past and
// dropped, so that a file of one endless line cannot fill the memory.
constexpr std::size_t LINE_KEEP = std::size_t{1} << 20;
// Characters of a line quoted in a message.
constexpr std::size_t QUOTE_LENGTH = 60;
// Line-level warnings kept per file; the rest are counted in one closing warning.
constexpr int LINE_WARNINGS_PER_FILE = 20;
// Warnings of one kind shown per file; the further lines with the same trouble are named in
// one warning, so that a file written with commas throughout does not bury the rest.
constexpr int SAME_KIND_SHOWN = 3;

// The next physical line, as std::getline splits them, of at most LINE_KEEP characters;
// cut tells whether more was dropped. False at the end of the input.
bool read_line(std::istream& in, std::string& line, bool& cut);

// Characters of a file or folder name quoted in a message: enough for any sane path.
constexpr std::size_t NAME_QUOTE_LENGTH = 4096;

// 'text' of a line for a message: cut to `length` characters, printable, valid UTF-8.
std::string quoted(const std::string& text, std::size_t length = QUOTE_LENGTH);
// A number as a message shows it: up to ten significant digits.
std::string number(double value);
// "1 point", "3 points".
std::string count_of(long long n, const std::string& singular, const std::string& plural);

// The blanks that end a word for the readers' streams.
bool is_blank(char c);

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

// The warnings of one file. Those about single lines are capped, SAME_KIND_SHOWN of each kind
// and LINE_WARNINGS_PER_FILE in all; those about the file as a whole are always kept.
// finish() sorts them by line.
class FileWarnings {
  public:
    explicit FileWarnings(std::string file) : file_(std::move(file)) {}

    const std::string& file() const { return file_; }
    void line(int lineNumber, const char* kind, std::string message);  // capped
    void always(int lineNumber, std::string message);
    void finish(std::vector<Warning>& out);

  private:
    struct Kind {
        const char* name;
        int shown;
        int firstShownLine;
        long long more;  // lines beyond those shown
        int firstMoreLine, lastMoreLine;
    };
    Kind& kind(const char* name);

    std::string file_;
    std::vector<Warning> kept_;
    std::vector<Kind> kinds_;
    long long dropped_ = 0;
    int lineWarnings_ = 0;
};

// The warning for a line cut at LINE_KEEP characters.
void warn_long_line(FileWarnings& out, int lineNumber);

}  // namespace input_checks
