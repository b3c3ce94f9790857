// The problem folder written whole or not at all: the files go into a fresh temporary sibling
// folder, which is renamed into place only when every file is written. Folders above it that
// are not there are made, and removed again when the write fails. A folder already there
// is replaced only when it holds nothing but files of the new problem, or with `force`.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace velkor_import {

// A file could not be written (exit 1); nothing is left behind.
struct WriteError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Files = std::vector<std::pair<std::string, std::string>>;  // name, content

// Throws formats::InputError when `folder` is not a folder or holds other files without
// `force`, WriteError when writing fails.
void write_problem_folder(const std::string& folder, const Files& files, bool force);

}  // namespace velkor_import
