// Reading back what was written to a trace stream.
#pragma once

#include <cstdio>
#include <string>

namespace testing_support {

// The whole content of f, from its start.
inline std::string read_all(FILE* f) {
    std::string text;
    std::rewind(f);
    int ch;
    while ((ch = std::fgetc(f)) != EOF)
        text.push_back(static_cast<char>(ch));
    return text;
}

}  // namespace testing_support
