#include "compare/law_runs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {

std::string report_path(const std::string& program) {
    return program_folder() + "/" + program + "-report";
}

// Starts `argv` with its standard output and error into files; -1 when it cannot start.
pid_t start(std::vector<std::string> argv, const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(&a[0]);
    args.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

int wait_for(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string file_contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string program_folder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string exe(path, static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

std::vector<nlohmann::json> laws_of(const std::vector<std::string>& programs) {
    std::vector<nlohmann::json> laws(programs.size(), nullptr);
    char folder[] = "/tmp/velkor-law.XXXXXX";
    if (mkdtemp(folder) == nullptr) return laws;
    // All at once: each is a process start, no work.
    std::vector<pid_t> pids;
    for (size_t i = 0; i < programs.size(); ++i) {
        const std::string out = std::string(folder) + "/" + std::to_string(i);
        pids.push_back(start({report_path(programs[i]), "--law"}, out + ".json", out + ".err"));
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        const std::string out = std::string(folder) + "/" + std::to_string(i);
        if (pids[i] > 0 && wait_for(pids[i]) == 0) {
            laws[i] = nlohmann::json::parse(file_contents(out + ".json"), nullptr, false);
            if (laws[i].is_discarded()) laws[i] = nullptr;
        }
        std::remove((out + ".json").c_str());
        std::remove((out + ".err").c_str());
    }
    rmdir(folder);
    return laws;
}

void run_side_by_side(std::vector<LawRun>& runs) {
    std::vector<pid_t> pids;
    for (LawRun& run : runs)
        pids.push_back(start(
            {report_path(run.program), "--free-only", "-f", run.parameter_file, "-o", run.prefix},
            run.prefix + ".out", run.prefix + ".err"));
    for (size_t i = 0; i < runs.size(); ++i) {
        LawRun& run = runs[i];
        run.status = pids[i] > 0 ? wait_for(pids[i]) : -1;
        run.error = file_contents(run.prefix + ".err");
        if (run.status == 0)
            run.result = nlohmann::json::parse(file_contents(run.prefix + ".json"), nullptr, false);
        std::remove((run.prefix + ".out").c_str());
        std::remove((run.prefix + ".err").c_str());
        std::remove((run.prefix + ".json").c_str());
    }
}
