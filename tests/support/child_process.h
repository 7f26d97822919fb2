// A child process for tests that need another station: a forked process
// running a body of the test's, with a pipe each way so that parent and
// child can take turns.  A byte on a pipe says "your turn".
#ifndef TENTARIA_TESTS_SUPPORT_CHILD_PROCESS_H_
#define TENTARIA_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tentaria::test_support {

// Blocks until a byte arrives (false after a minute or a closed pipe).
inline bool Await(int fd) {
  pollfd entry{fd, POLLIN, 0};
  char byte = 0;
  return poll(&entry, 1, 60000) == 1 && read(fd, &byte, 1) == 1;
}

inline void Signal(int fd) {
  char byte = 1;
  if (write(fd, &byte, 1) != 1) _exit(90);
}

// A child process running `body(to_parent, from_parent)`; its exit status
// is body's answer.
class ChildProcess {
 public:
  explicit ChildProcess(const std::function<int(int to_parent, int from_parent)>& body) {
    int up[2], down[2];
    if (pipe(up) != 0 || pipe(down) != 0) ADD_FAILURE() << "pipe";
    pid_ = fork();
    if (pid_ == 0) {
      close(up[0]);
      close(down[1]);
      _exit(body(up[1], down[0]));
    }
    close(up[1]);
    close(down[0]);
    from_child_ = up[0];
    to_child_ = down[1];
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    close(from_child_);
    close(to_child_);
    if (pid_ > 0 && !waited_) Wait();
  }
  bool Await() { return test_support::Await(from_child_); }
  void Signal() { test_support::Signal(to_child_); }
  // The child's exit status, or -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int from_child_ = -1;
  int to_child_ = -1;
  bool waited_ = false;
};

}  // namespace tentaria::test_support

#endif  // TENTARIA_TESTS_SUPPORT_CHILD_PROCESS_H_
