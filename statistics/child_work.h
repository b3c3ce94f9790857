// Work done in a child process, on another core, while the caller goes on. The child is a
// copy of the whole process (the problem, the workspace), so nothing needs handing over; it
// sends numbers back through a pipe, message by message. Where no child can be made, the
// work runs at once in this process and its messages wait here.
#pragma once

#include <sys/types.h>

#include <deque>
#include <functional>
#include <vector>

class ChildWork {
  public:
    using Message = std::vector<double>;
    using Sender = std::function<void(const Message&)>;

    explicit ChildWork(const std::function<void(const Sender&)>& work);
    ~ChildWork();  // waits for the child
    ChildWork(const ChildWork&) = delete;
    ChildWork& operator=(const ChildWork&) = delete;

    // The next message, in order of sending; false when the child ended without it.
    bool receive(Message& message);

  private:
    pid_t pid_ = -1;
    int input_ = -1;               // the read end of the child's pipe
    std::deque<Message> waiting_;  // messages of work run in this process
};
