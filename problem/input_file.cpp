#include "problem/input_file.h"

#include <filesystem>
#include <system_error>

bool open_for_reading(std::ifstream& file, const std::string& fileName) {
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored)) return false;
    file.open(fileName);
    return file.is_open();
}
