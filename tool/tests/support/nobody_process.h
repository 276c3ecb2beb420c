#pragma once
// Another user at work beside the tool: a forked child of the test that runs
// as nobody (uid and gid 65534, no groups) and goes step by step with the test.
//
//   NobodyProcess reader([](NobodyProcess& self) {
//       const int fd = ::open(path, O_RDONLY | O_NONBLOCK);
//       if (fd < 0) return 1;
//       self.step();  // tells the test it is open; waits for go()
//       return 0;     // the child's exit status
//   });
//   ASSERT_TRUE(reader.reached());
//   ... run the tool ...
//   reader.go();
//   EXPECT_EQ(reader.wait(), 0);
//
// The body runs in a child forked from a process with threads, so it may
// only make async-signal-safe calls (open, read, poll, flock, ...).
#include <sys/types.h>

#include <chrono>
#include <functional>

namespace devctl::test {

class NobodyProcess {
public:
    explicit NobodyProcess(const std::function<int(NobodyProcess&)>& body);
    ~NobodyProcess();  // kills a child still running
    NobodyProcess(const NobodyProcess&) = delete;
    NobodyProcess& operator=(const NobodyProcess&) = delete;

    // In the child: tells the test this step is reached, then waits for its
    // go() (or for the test to end).
    void step();

    // In the test: waits for the child's next step(); false if the child
    // ended or took longer than timeout.
    bool reached(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void go();
    // Lets the child end and collects it: its exit status, or 128 + the
    // signal that ended it.
    int wait();

private:
    pid_t pid_ = -1;
    int to_test_[2] = {-1, -1};   // the child's steps
    int to_child_[2] = {-1, -1};  // the test's go()s
};

}  // namespace devctl::test
