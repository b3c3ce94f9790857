// An argument vector with the program name in front, for driving the command line.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Must outlive any parser that borrows it.
class Argv {
  public:
    explicit Argv(const std::vector<std::string>& words) : storage{"velkor"} {
        storage.insert(storage.end(), words.begin(), words.end());
        for (std::string& word : storage)
            pointers.push_back(word.data());
        pointers.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(storage.size()); }
    char** argv() { return pointers.data(); }

  private:
    std::vector<std::string> storage;
    std::vector<char*> pointers;
};

}  // namespace testing_support
