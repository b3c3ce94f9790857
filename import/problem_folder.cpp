#include "import/problem_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "formats/dataset.h"

namespace velkor_import {

namespace {

namespace fs = std::filesystem;

// A new empty sibling of `folder` with a name no one else uses.
fs::path temporary_sibling(const fs::path& folder, const char* what) {
    std::string pattern =
        (folder.parent_path() / ("." + folder.filename().string() + what)).string();
    pattern += "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw WriteError(folder.string() +
                         ": cannot create a folder beside it: " + std::strerror(errno));
    return pattern;
}

// mkdtemp makes 0700; a problem folder gets the permissions of any new folder.
void usual_permissions(const fs::path& folder) {
    const mode_t mask = umask(0);
    umask(mask);
    chmod(folder.c_str(), 0777 & ~mask);
}

// The folders above `folder` that are not there yet, made outermost first; they are removed
// again (when still empty) if the write fails.
std::vector<fs::path> make_parents(const fs::path& folder) {
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path p = folder.parent_path(); !p.empty() && !fs::exists(fs::symlink_status(p, ec));
         p = p.parent_path())
        missing.insert(missing.begin(), p);
    for (std::size_t i = 0; i < missing.size(); ++i) {
        if (!fs::create_directory(missing[i], ec) && ec) {
            for (std::size_t k = i; k-- > 0;)
                fs::remove(missing[k], ec);
            throw WriteError(missing[i].string() + ": cannot create it: " + ec.message());
        }
    }
    return missing;
}

void check_replaceable(const fs::path& folder, const Files& files, bool force) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(folder, ec);
    if (!fs::exists(status)) return;
    if (!fs::is_directory(status))
        throw formats::InputError(folder.string() + " exists and is not a folder");
    std::set<std::string> ours;
    for (const auto& file : files)
        ours.insert(file.first);
    std::string others;
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (ours.count(name)) continue;
        if (count++ < 3) others += (others.empty() ? "" : ", ") + name;
    }
    if (ec) throw WriteError(folder.string() + ": " + ec.message());
    if (count > 3) others += ", ...";
    if (count && !force)
        throw formats::InputError(folder.string() + " holds other files (" + others +
                                  "): choose a new folder, or give --force to replace it whole");
}

}  // namespace

void write_problem_folder(const std::string& name, const Files& files, bool force) {
    fs::path folder = fs::path(name).lexically_normal();
    if (folder.filename().empty()) folder = folder.parent_path();  // "out/"
    if (folder.filename().empty() || folder.filename() == "." || folder.filename() == "..")
        throw formats::InputError(name + ": expected a folder name");
    check_replaceable(folder, files, force);
    const std::vector<fs::path> parents = make_parents(folder);
    std::error_code ec;
    fs::path fresh;
    try {
        fresh = temporary_sibling(folder, ".new");
        for (const auto& [file, content] : files) {
            std::ofstream out(fresh / file, std::ios::binary);
            out << content;
            out.close();
            if (!out)
                throw WriteError((folder / file).string() +
                                 ": cannot write: " + std::strerror(errno));
        }
        usual_permissions(fresh);
        if (fs::exists(fs::symlink_status(folder, ec))) {
            const fs::path old = temporary_sibling(folder, ".old");
            fs::remove(old, ec);
            if (std::rename(folder.c_str(), old.c_str()) != 0)
                throw WriteError(folder.string() + ": cannot replace it: " + std::strerror(errno));
            if (std::rename(fresh.c_str(), folder.c_str()) != 0) {
                const int error = errno;
                std::rename(old.c_str(), folder.c_str());
                throw WriteError(folder.string() + ": cannot replace it: " + std::strerror(error));
            }
            fs::remove_all(old, ec);
        } else if (std::rename(fresh.c_str(), folder.c_str()) != 0) {
            throw WriteError(folder.string() + ": cannot create it: " + std::strerror(errno));
        }
    } catch (...) {
        if (!fresh.empty()) fs::remove_all(fresh, ec);
        for (auto p = parents.rbegin(); p != parents.rend(); ++p)
            fs::remove(*p, ec);
        throw;
    }
}

}  // namespace velkor_import
