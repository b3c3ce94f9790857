// The option parser with the command-line step. The input is cut at every NUL byte into the
// words after the program name. The scratch folder holds a small problem the words may name:
// "params.txt" (which names "curve.txt", itself, a missing file and the folder "."),
// "curve.txt", and the folder "dir".
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "fuzz/scratch_dir.h"
#include "problem/records.h"
#include "tests/support/scratch_dir.h"

namespace {

const char PARAMS[] =
    "integration_steps 100\n"
    "max_iterations 50 max_error 1e-6\n"
    "const 0 0.1 1 10\n"
    "const 1 0.01 0.5 5\n"
    "plot curve.txt\n"
    "plot params.txt\n"
    "plot missing.txt\n"
    "plot .\n";

const char CURVE[] =
    "# substrate\n"
    "2.5\n"
    "0.0 2.5\n"
    "10 1.9\n"
    "20 1.4\n";

std::vector<std::string> split_words(const char* data, std::size_t size) {
    std::vector<std::string> words;
    if (size == 0) return words;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\0') {
            words.emplace_back(data + start, i - start);
            start = i + 1;
        }
    }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every file the readers open or the target writes stays in here, in memory where the
    // machine allows: each input rewrites files. It goes when the process exits.
    static const testing_support::ScratchDir scratch("velkor-fuzz",
                                                     testing_support::ScratchDir::in_memory_base());
    write_file("params.txt", PARAMS);
    write_file("curve.txt", CURVE);
    mkdir("dir", 0700);
    silence_console();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> words = split_words(reinterpret_cast<const char*>(data), size);
    for (const std::string& word : words)
        if (names_outside_scratch(word)) return -1;

    // Every word in its own exact-size buffer, so a read past its end is caught.
    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<char*> argv;
    buffers.emplace_back(new char[7]);
    std::memcpy(buffers.back().get(), "velkor", 7);
    argv.push_back(buffers.back().get());
    for (const std::string& word : words) {
        buffers.emplace_back(new char[word.size() + 1]);
        std::memcpy(buffers.back().get(), word.c_str(), word.size() + 1);
        argv.push_back(buffers.back().get());
    }
    argv.push_back(nullptr);
    int argc = static_cast<int>(argv.size()) - 1;

    auto settings = std::make_unique<RunSettings>();
    auto constants = std::make_unique<ConstantSet>();
    auto plots = std::make_unique<PlotSet>();
    read_command_line(argc, argv.data(), *settings, *constants, *plots);
    check_records(*plots);

    // The argument vector is only read.
    for (std::size_t i = 0; i < words.size(); ++i)
        if (std::memcmp(argv[i + 1], words[i].c_str(), words[i].size() + 1) != 0) __builtin_trap();
    return 0;
}
