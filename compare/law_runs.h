// The laws' report programs, run side by side on the machine's cores: each fits every
// constant of its law to the same problem (`--free-only`) and writes its JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

struct LawRun {
    std::string program;         // velkor, velkor-pi, ...
    std::string parameter_file;  // the file it is given
    std::string prefix;          // of the JSON it writes
    int status = -1;             // its exit status; -1 when it could not be started
    std::string error;           // its standard error, when it failed
    nlohmann::json result;       // its JSON, when it succeeded
};

// The whole text of a file; empty when it cannot be read.
std::string file_contents(const std::string& path);

// The folder of the running program, where its companions are installed beside it.
std::string program_folder();

// The JSON each report program prints for `--law`, asked of all at once; null for one that
// cannot be run.
std::vector<nlohmann::json> laws_of(const std::vector<std::string>& programs);

// Runs every report at once with `--free-only` and waits for all; fills status, error and
// result of each.
void run_side_by_side(std::vector<LawRun>& runs);
