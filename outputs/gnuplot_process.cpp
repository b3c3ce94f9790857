#include "outputs/gnuplot_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "outputs/gnuplot_text.h"

extern char** environ;

namespace {

bool file_is_non_empty(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

// A gnuplot that died early would make the write raise SIGPIPE and end the report; with the
// signal ignored the write fails with EPIPE instead.
bool write_all(int fd, const std::string& text) {
    struct sigaction ignore = {}, previous;
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    sigaction(SIGPIPE, &previous, nullptr);
    return written == text.size();
}

// Most of what gnuplot spends before its first picture goes to loading cairo and the fonts;
// an empty picture drawn into /dev/null at once does that while the fit runs (about 40 ms of
// a render's 150 on the development machine). It prints nothing, and the script's own
// `reset` and terminal settings leave no trace of it.
const char* const WARM_UP =
    "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n"
    "    set terminal pngcairo\n"
    "    set output '/dev/null'\n"
    "    set xrange [0:1]\n"
    "    set yrange [0:1]\n"
    "    plot NaN notitle\n"
    "    set output\n"
    "}\n";

}  // namespace

// gnuplot reads its commands from a pipe and writes nothing the report's standard output
// should carry, so its standard output goes to standard error with its messages.
FigureRenderer::FigureRenderer() {
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    char program[] = "gnuplot";
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    // posix_spawnp searches PATH itself and reports a missing program as an error, where a
    // shell would print "not found".
    // The scripts are UTF-8: under a locale that is not (a bare system sets none) gnuplot
    // warns about every script, so it gets C.UTF-8, which every glibc has, for its text.
    std::vector<std::string> variables;
    for (char** v = environ; *v != nullptr; ++v)
        if (std::strncmp(*v, "LC_ALL=", 7) != 0) variables.emplace_back(*v);
    variables.emplace_back("LC_ALL=C.UTF-8");
    std::vector<char*> envp;
    for (std::string& v : variables)
        envp.push_back(&v[0]);
    envp.push_back(nullptr);
    const int error = posix_spawnp(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[0]);
    if (error != 0) {
        close(pipe_ends[1]);
        return;
    }
    pid_ = pid;
    input_ = pipe_ends[1];
    if (!write_all(input_, WARM_UP)) finish();
}

FigureRenderer::~FigureRenderer() {
    finish();
}

bool FigureRenderer::available() const {
    return pid_ > 0;
}

bool FigureRenderer::finish() {
    if (pid_ <= 0) return false;
    close(input_);
    input_ = -1;
    int status = 0;
    pid_t result;
    do {
        result = waitpid(pid_, &status, 0);
    } while (result < 0 && errno == EINTR);
    const bool clean = result == pid_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    pid_ = -1;
    return clean;
}

bool FigureRenderer::render(const std::string& script, const std::string& output_prefix) {
    if (!available()) return false;
    const std::string svg = output_prefix + ".svg", png = output_prefix + ".png";
    // Images left by an earlier run must not pass for this one's.
    std::remove(svg.c_str());
    std::remove(png.c_str());
    const bool sent = write_all(input_, "output_prefix = " + gnuplot_string(output_prefix) +
                                            "\nload " + gnuplot_string(script) + "\nquit\n");
    const bool exited_cleanly = finish();
    return sent && exited_cleanly && file_is_non_empty(svg) && file_is_non_empty(png);
}
