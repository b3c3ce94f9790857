#include "outputs/pending_files.h"

#include <unistd.h>

#include <cstdio>

namespace {
// Beside the final name, so that the rename stays on one file system; the process id keeps
// two runs in one folder apart.
const char* const TEMPORARY_SUFFIX = ".partial-";
}  // namespace

PendingFiles::~PendingFiles() {
    for (const File& f : files_)
        if (!f.renamed) std::remove(f.temporary.c_str());
}

std::string PendingFiles::add(const std::string& final_path) {
    File f;
    f.final_path = final_path;
    f.temporary = final_path + TEMPORARY_SUFFIX + std::to_string(getpid());
    files_.push_back(f);
    return f.temporary;
}

bool PendingFiles::commit(std::string& failed) {
    for (File& f : files_) {
        if (std::rename(f.temporary.c_str(), f.final_path.c_str()) == 0) {
            f.renamed = true;
            continue;
        }
        failed = f.final_path;
        for (File& done : files_) {
            if (!done.renamed) continue;
            std::remove(done.final_path.c_str());
            done.renamed = false;
        }
        return false;
    }
    return true;
}
