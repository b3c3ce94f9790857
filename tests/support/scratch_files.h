// Reader tests write their input files into a fresh directory per case.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velkor-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        previous_ = std::filesystem::current_path();
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(root_);
    }
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

    std::filesystem::path root_;
    std::filesystem::path previous_;
};

}  // namespace testing_support
