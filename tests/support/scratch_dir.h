// A fresh temporary folder that is the working folder while the object lives: the tests and
// the fuzz targets read and write their files there, and nothing stays behind. It does not
// depend on GoogleTest, so that the fuzz targets can share it.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

class ScratchDir {
  public:
    // Creates base/PREFIX-XXXXXX and enters it; throws std::system_error when either fails,
    // which a test reports as a failure and a fuzz target as a crash before the first input.
    explicit ScratchDir(const std::string& prefix = "velkor",
                        const std::filesystem::path& base = std::filesystem::temp_directory_path());
    // Goes back to the folder that was current before and removes the scratch folder with
    // everything in it. Never throws: it runs during unwinding and at process exit too.
    ~ScratchDir();

    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // A folder in memory when the machine offers one (/dev/shm), the temporary folder
    // otherwise: for callers that write a file per run millions of times.
    static std::filesystem::path in_memory_base();

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

}  // namespace testing_support
