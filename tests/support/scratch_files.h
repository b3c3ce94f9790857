// Reader tests write their input files into a fresh directory per case.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace testing_support {

struct File {
    std::string name;  // a trailing '/' makes a directory
    std::string text;
};

// Owns a temporary root; each case enters a numbered directory of its own, so the
// file names in the echo stay short.
class ScratchFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scratch_ = std::make_unique<ScratchDir>("velkor-files");
        root_ = scratch_->path();
    }
    void TearDown() override { scratch_.reset(); }
    void enter_with(int row, const std::vector<File>& files) {
        const std::filesystem::path dir = root_ / std::to_string(row);
        std::filesystem::create_directory(dir);
        std::filesystem::current_path(dir);
        for (const File& f : files) {
            if (!f.name.empty() && f.name.back() == '/') {
                std::filesystem::create_directory(f.name);
            } else {
                std::ofstream(f.name, std::ios::binary) << f.text;
            }
        }
    }

    std::unique_ptr<ScratchDir> scratch_;
    std::filesystem::path root_;
};

}  // namespace testing_support
