#include "fuzz/scratch_dir.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>

namespace {

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

NullBuffer nullBuffer;

}  // namespace

void silence_console() {
    std::cout.rdbuf(&nullBuffer);
    std::cerr.rdbuf(&nullBuffer);
}

void write_file(const std::string& name, const std::string& content) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (!content.empty()) std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

bool names_outside_scratch(const std::string& text) {
    return text.find('/') != std::string::npos;
}

void check_records(const PlotSet& plots) {
    if (plots.plotCount < 0 || plots.plotCount > PLOTS) __builtin_trap();
    for (int p = 0; p < PLOTS; ++p) {
        const Plot& plot = plots.plot[p];
        if (plot.pointCount < 0 || plot.pointCount > POINTS) __builtin_trap();
        // Slots beyond the count are never read into.
        if (p >= plots.plotCount && (plot.pointCount != 0 || plot.initialConcentration != 0.0))
            __builtin_trap();
    }
}
