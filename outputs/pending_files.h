// Output files written all or nothing: each is written under a temporary name beside its
// final one, and all are renamed into place only once every one of them is complete. What
// was not committed is removed, so a failure leaves none of them behind.
#pragma once

#include <string>
#include <vector>

class PendingFiles {
  public:
    PendingFiles() = default;
    PendingFiles(const PendingFiles&) = delete;
    PendingFiles& operator=(const PendingFiles&) = delete;
    ~PendingFiles();  // removes every temporary file not yet renamed

    // The temporary name under which to write `final_path`.
    std::string add(const std::string& final_path);
    // Renames every file into place; on a failure undoes what it renamed, and names the file
    // in `failed`. True when all are in place.
    bool commit(std::string& failed);

  private:
    struct File {
        std::string final_path, temporary;
        bool renamed = false;
    };
    std::vector<File> files_;
};
