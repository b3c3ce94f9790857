#include "statistics/child_work.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <iostream>

namespace {

bool write_all(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool read_all(int fd, void* data, std::size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = read(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// A message is its length, then its numbers.
void send(int fd, const ChildWork::Message& m) {
    const std::uint64_t count = m.size();
    if (!write_all(fd, &count, sizeof count) || !write_all(fd, m.data(), m.size() * sizeof(double)))
        _exit(1);
}

}  // namespace

ChildWork::ChildWork(const std::function<void(const Sender&)>& work) {
    int ends[2];
    // Whatever is buffered would be written twice, once by each process.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    if (pipe(ends) == 0) {
        pid_ = fork();
        if (pid_ == 0) {
            close(ends[0]);
            const int out = ends[1];
            try {
                work([out](const Message& m) { send(out, m); });
            } catch (...) {
                _exit(1);
            }
            // No exit handlers, no flushing of streams the parent owns.
            _exit(0);
        }
        close(ends[1]);
        if (pid_ > 0) {
            input_ = ends[0];
            return;
        }
        close(ends[0]);
    }
    pid_ = -1;
    work([this](const Message& m) { waiting_.push_back(m); });
}

ChildWork::~ChildWork() {
    if (input_ >= 0) close(input_);
    if (pid_ <= 0) return;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

bool ChildWork::receive(Message& message) {
    if (pid_ <= 0) {
        if (waiting_.empty()) return false;
        message = waiting_.front();
        waiting_.pop_front();
        return true;
    }
    std::uint64_t count = 0;
    if (!read_all(input_, &count, sizeof count) || count > (1u << 24)) return false;
    message.assign(count, 0.0);
    return read_all(input_, message.data(), count * sizeof(double));
}
