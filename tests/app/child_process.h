// Runs a program as a child process the way a user's shell would: chosen environment,
// standard input from /dev/null or a pseudo-terminal, standard output and error captured
// through one pipe. Every wait is bounded; a child that outlives its bound is killed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessel::testing {

class ChildProcess {
  public:
    enum class Input { kNull, kTerminal };

    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env, Input input);
    ~ChildProcess();  // kills a child that still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }

    // Reads output until it contains `text` after `from` (true) or `timeout` passes.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout,
                       std::size_t from = 0);
    // Types `text` on the terminal (Input::kTerminal only).
    void Type(const std::string& text);
    void Signal(int signal);
    // Closes the reading end of the output, as a pager that quits early does.
    void CloseOutput();
    // Reads the rest of the output and reaps the child: its exit status, or nothing when it
    // was still running after `timeout` (it is killed then) or ended by a signal.
    std::optional<int> Finish(std::chrono::milliseconds timeout);

    const std::string& output() const { return output_; }

  private:
    // Reads what is there within `timeout`; false at the end of the output.
    bool ReadSome(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int output_fd_ = -1;
    int terminal_fd_ = -1;  // the pseudo-terminal's controlling side
    std::string output_;
};

}  // namespace tessel::testing
