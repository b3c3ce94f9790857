// The companions' strict command line. The input is cut at every NUL byte into the words
// after the program name; the options are the report's and the comparison's. A parse either
// fails with a reason or hands back only values that were given; a range option's value
// (MIN,MAX) is either refused or two finite numbers, MIN < MAX, with a finite midpoint (the
// start the comparison writes for the law's third constant).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compare/third_constant.h"
#include "options/strict_command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> words = {"velkor-report"};
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word.push_back(static_cast<char>(data[i]));
        }
    }
    words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);

    StrictCommandLine line;
    line.flag("help", 'h');
    line.flag("free-only");
    line.value("file", 'f');
    line.value("output", 'o');
    line.value("time-unit");
    for (const char* range : {"kp", "ksi", "kd"})
        line.value(range);
    line.words(1);
    std::string error;
    const bool parsed = line.parse(static_cast<int>(words.size()), argv.data(), error);
    if (parsed != error.empty()) __builtin_trap();
    if (!parsed) return 0;
    if (line.words().size() > 1) __builtin_trap();
    if (!line.given("file") && !line.value_of("file").empty()) __builtin_trap();
    for (const char* option : {"kp", "ksi", "kd"}) {
        Range range{};
        if (!line.given(option) || !parse_range(line.value_of(option), range)) continue;
        if (!std::isfinite(range.low) || !std::isfinite(range.high) || !(range.low < range.high) ||
            !std::isfinite(0.5 * (range.low + range.high)))
            __builtin_trap();
    }
    return 0;
}
