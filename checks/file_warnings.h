// The warnings of one file, capped so that one trouble repeated cannot bury the rest.
#pragma once

#include <string>
#include <vector>

#include "checks/warning.h"

namespace input_checks {

// Line-level warnings kept per file; the rest are counted in one closing warning.
constexpr int LINE_WARNINGS_PER_FILE = 20;
// Warnings of one kind shown per file; the further lines with the same trouble are named in
// one warning, so that a file written with commas throughout does not bury the rest.
constexpr int SAME_KIND_SHOWN = 3;

// The warnings of one file. Those about single lines are capped, SAME_KIND_SHOWN of each kind
// and LINE_WARNINGS_PER_FILE in all; those about the file as a whole are always kept.
// finish() sorts them by line.
class FileWarnings {
  public:
    explicit FileWarnings(std::string file) : file_(std::move(file)) {}

    const std::string& file() const { return file_; }
    // A warning about one line, capped per trouble (the lines with the same trouble are
    // named together); `kind` is the warning's kind for scripts (see warning.h).
    void line(int lineNumber, const char* trouble, const char* kind, std::string message);
    void always(int lineNumber, const char* kind, std::string message);
    void finish(std::vector<Warning>& out);

  private:
    struct Trouble {
        const char* name;
        const char* kind;
        int shown;
        int firstShownLine;
        long long more;  // lines beyond those shown
        int firstMoreLine, lastMoreLine;
    };
    Trouble& trouble(const char* name, const char* kind);

    std::string file_;
    std::vector<Warning> kept_;
    std::vector<Trouble> troubles_;
    long long dropped_ = 0;
    int lineWarnings_ = 0;
};

// The warning for a line cut at LINE_KEEP characters.
void warn_long_line(FileWarnings& out, int lineNumber);

}  // namespace input_checks
