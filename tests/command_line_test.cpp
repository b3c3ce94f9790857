#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "problem/records.h"
#include "tests/support/argv.h"
#include "tests/support/scratch_dir.h"

namespace {

// Line end, the twelve lines each with its line end, one more line end.
const std::string USAGE =
    "\n"
    "\n"
    "Velkor based on Nedler-Mead (Downhill Simplex) minimization method\n"
    "\n"
    "Usage: \n"
    "\n"
    " -h  --help  \t           Prints this help \n"
    " -f  --file \t               File with parameters \n"
    " -e  --admissible_error \t   Admissible Error \n"
    " -t  --maxiterations \t   Maximum number of iterations for minimization\n"
    " -x  --iterations \t       Number of iterations for RK integration\n"
    " -v              \t\t   Verbose mode \n"
    "\n"
    "\n";

const std::string CANNOT_OPEN = "ERROR!! Can't open file with parameters";

// Every parameter file of the tests sets max_iterations to its own number, so the settings
// tell which file was read. NOT_READ is what the settings hold when no file was read.
constexpr int NOT_READ = -1;
const std::map<std::string, int> PARAMETER_FILES = {
    {"params.txt", 11}, {"other.txt", 22}, {"a.txt", 33}, {"b.txt", 44}, {"-h", 55}};

using testing_support::Argv;

struct Outcome {
    std::string out;
    std::string err;
    int maxIterations;
};

// The step runs in a fresh directory that holds the parameter files above.
class ReadCommandLine : public testing::Test {
  protected:
    testing_support::ScratchDir scratch{"velkor-command-line"};

    void SetUp() override {
        for (const auto& [name, number] : PARAMETER_FILES)
            std::ofstream(name) << "max_iterations " << number << "\n";
    }

    static Outcome run(const std::vector<std::string>& words) {
        Argv args(words);
        RunSettings settings{};
        settings.max_iterations = NOT_READ;
        ConstantSet constants{};
        testing::internal::CaptureStdout();
        PlotSet* plots = new PlotSet();  // announces itself; kept out of the step's output
        testing::internal::GetCapturedStdout();

        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        read_command_line(args.argc(), args.argv(), settings, constants, *plots);
        Outcome outcome;
        outcome.err = testing::internal::GetCapturedStderr();
        outcome.out = testing::internal::GetCapturedStdout();
        outcome.maxIterations = settings.max_iterations;
        delete plots;
        return outcome;
    }
};

std::string shown(const std::vector<std::string>& words) {
    std::string line = "words:";
    for (const std::string& word : words)
        line += " [" + word + "]";
    return line;
}

std::string arg_lines(const std::vector<std::string>& surplus) {
    std::string lines;
    for (const std::string& word : surplus)
        lines += "arg = " + word + "\n";
    return lines;
}

bool starts_with(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool ends_with(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct StepCase {
    std::vector<std::string> words;
    bool usage;
    std::optional<std::string> fileRead;  // name handed to the reader, if it is called
    std::vector<std::string> surplus;
};

const std::optional<std::string> NO_FILE = std::nullopt;

const StepCase STEP_CASES[] = {
    {{}, true, NO_FILE, {}},
    {{"-h"}, true, NO_FILE, {}},
    {{"--help"}, true, NO_FILE, {}},
    {{"-h", "--help", "-hv"}, true, NO_FILE, {}},
    {{"-f", "params.txt"}, false, "params.txt", {}},
    {{"--file", "params.txt"}, false, "params.txt", {}},
    {{"--file=params.txt"}, false, "params.txt", {}},
    {{"-fparams.txt"}, false, "params.txt", {}},
    {{"-f=params.txt"}, false, "params.txt", {}},
    {{"params.txt"}, false, NO_FILE, {"params.txt"}},
    {{"-x", "100"}, false, NO_FILE, {"100"}},
    {{"--maxiterations", "100"}, false, NO_FILE, {"100"}},
    {{"-t", "100"}, false, NO_FILE, {}},
    {{"--iterations", "100"}, false, NO_FILE, {}},
    {{"-e", "0.01"}, false, NO_FILE, {}},
    {{"--admissible_error=0.01"}, false, NO_FILE, {}},
    {{"-v"}, false, NO_FILE, {}},
    {{"-"}, false, NO_FILE, {}},
    {{"--"}, false, NO_FILE, {}},
    {{"-vf", "params.txt"}, false, "params.txt", {}},
    {{"-f"}, false, NO_FILE, {}},
    {{"-f", "a.txt", "-f", "b.txt"}, false, "b.txt", {}},
    {{"--file", "-h"}, false, "-h", {}},
    {{"-f", "-h"}, false, "-h", {}},
    {{"-f="}, false, "", {}},
    {{"--file="}, false, "", {}},
    {{"-h", "-f", "params.txt"}, true, "params.txt", {}},
    {{"params.txt", "-f", "other.txt", "extra"}, false, "other.txt", {"params.txt", "extra"}},
    {{"x", "-h", "y"}, true, NO_FILE, {"x", "y"}},
};

TEST_F(ReadCommandLine, UsageTextArgLinesAndParameterFile) {
    for (const StepCase& c : STEP_CASES) {
        SCOPED_TRACE(shown(c.words));
        const Outcome outcome = run(c.words);
        const std::string usage = c.usage ? USAGE : "";
        const std::string args = arg_lines(c.surplus);

        if (!c.fileRead) {
            EXPECT_EQ(outcome.out, usage + args);
            EXPECT_EQ(outcome.err, "");
            EXPECT_EQ(outcome.maxIterations, NOT_READ);
            continue;
        }
        // The reader's echo stands between the usage text and the "arg = " lines.
        EXPECT_TRUE(starts_with(outcome.out, usage)) << outcome.out;
        EXPECT_TRUE(ends_with(outcome.out, args)) << outcome.out;
        EXPECT_EQ(outcome.out.find(USAGE, usage.size()), std::string::npos) << outcome.out;
        EXPECT_GT(outcome.out.size(), usage.size() + args.size()) << "no echo from the reader";
        if (c.fileRead->empty()) {
            EXPECT_NE(outcome.err.find(CANNOT_OPEN), std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.maxIterations, NOT_READ);
        } else {
            EXPECT_EQ(outcome.err.find(CANNOT_OPEN), std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.maxIterations, PARAMETER_FILES.at(*c.fileRead));
        }
    }
}

TEST_F(ReadCommandLine, AMissingParameterFileIsTheReadersConcern) {
    const Outcome outcome = run({"-h", "-f", "missing.txt", "extra"});
    EXPECT_TRUE(starts_with(outcome.out, USAGE)) << outcome.out;
    EXPECT_TRUE(ends_with(outcome.out, "arg = extra\n")) << outcome.out;
    EXPECT_NE(outcome.err.find(CANNOT_OPEN), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.maxIterations, NOT_READ);
}

}  // namespace
