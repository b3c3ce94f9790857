#include "tests/support/scratch_dir.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace testing_support {

ScratchDir::ScratchDir(const std::string& prefix, const std::filesystem::path& base) {
    const std::string pattern = (base / (prefix + "-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "scratch folder " + pattern);
    path_ = name.data();
    // An absolute name, so that removing it does not depend on where the user went since.
    path_ = std::filesystem::absolute(path_);
    previous_ = std::filesystem::current_path();
    std::error_code entered;
    std::filesystem::current_path(path_, entered);
    if (entered) {
        std::filesystem::remove(path_, entered);
        throw std::system_error(entered, "entering scratch folder " + path_.string());
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchDir::in_memory_base() {
    if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

}  // namespace testing_support
