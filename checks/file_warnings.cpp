#include "checks/file_warnings.h"

#include <algorithm>
#include <utility>

#include "checks/line_reading.h"
#include "checks/message_text.h"

namespace input_checks {

FileWarnings::Trouble& FileWarnings::trouble(const char* name, const char* kind) {
    for (Trouble& k : troubles_) {
        if (std::string(k.name) == name) return k;
    }
    troubles_.push_back(Trouble{name, kind, 0, 0, 0, 0, 0});
    return troubles_.back();
}

void FileWarnings::line(int lineNumber, const char* troubleName, const char* kind,
                        std::string message) {
    Trouble& k = trouble(troubleName, kind);
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
    always(lineNumber, kind, std::move(message));
}

void FileWarnings::always(int lineNumber, const char* kind, std::string message) {
    kept_.push_back(Warning{file_, lineNumber, kind, std::move(message)});
}

void FileWarnings::finish(std::vector<Warning>& out) {
    for (const Trouble& k : troubles_) {
        if (k.more == 0) continue;
        const std::string which = k.more == 1 ? "This line has"
                                              : "This line and " + std::to_string(k.more - 1) +
                                                    " more of this file, up to line " +
                                                    std::to_string(k.lastMoreLine) + ", have";
        always(k.firstMoreLine, k.kind,
               which + " the same trouble as line " + std::to_string(k.firstShownLine) + " above.");
    }
    troubles_.clear();
    std::stable_sort(kept_.begin(), kept_.end(),
                     [](const Warning& a, const Warning& b) { return a.line < b.line; });
    for (Warning& w : kept_)
        out.push_back(std::move(w));
    kept_.clear();
    if (dropped_ > 0) {
        out.push_back(Warning{file_, 0, "more_warnings",
                              "... and " + count_of(dropped_, "more warning", "more warnings") +
                                  " about single lines of this file, not shown: the first " +
                                  std::to_string(LINE_WARNINGS_PER_FILE) +
                                  " are above. Fix those and check again."});
    }
    dropped_ = 0;
    lineWarnings_ = 0;
}

void warn_long_line(FileWarnings& out, int lineNumber) {
    out.line(lineNumber, "long line", "long_line",
             "This line is longer than " + std::to_string(LINE_KEEP) +
                 " characters: only its first " + std::to_string(LINE_KEEP) +
                 " characters were checked.");
}

}  // namespace input_checks
