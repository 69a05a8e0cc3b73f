#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tessel::testing {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env, Input input) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        return;
    }
    std::string terminal_name;
    if (input == Input::kTerminal) {
        terminal_fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (terminal_fd_ < 0 || ::grantpt(terminal_fd_) != 0 || ::unlockpt(terminal_fd_) != 0) {
            return;
        }
        terminal_name = ::ptsname(terminal_fd_);
    }
    // Everything the child needs is made before the fork.
    std::vector<std::string> argv_strings = {program};
    argv_strings.insert(argv_strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argv_strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env_strings;
    for (const auto& [name, value] : env) {
        env_strings.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& s : env_strings) {
        envp.push_back(s.data());
    }
    envp.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        const int in = input == Input::kTerminal ? ::open(terminal_name.c_str(), O_RDWR)
                                                 : ::open("/dev/null", O_RDONLY);
        if (in < 0 || ::dup2(in, STDIN_FILENO) < 0 || ::dup2(pipe_fds[1], STDOUT_FILENO) < 0 ||
            ::dup2(pipe_fds[1], STDERR_FILENO) < 0) {
            ::_exit(127);
        }
        // The test runner may have blocked or ignored signals; the child starts clean.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGINT, SIG_DFL);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(pipe_fds[1]);
    output_fd_ = pipe_fds[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (output_fd_ >= 0) {
        ::close(output_fd_);
    }
    if (terminal_fd_ >= 0) {
        ::close(terminal_fd_);
    }
}

bool ChildProcess::ReadSome(std::chrono::milliseconds timeout) {
    pollfd fd{output_fd_, POLLIN, 0};
    const int ready = ::poll(&fd, 1, static_cast<int>(timeout.count()));
    if (ready <= 0) {
        return ready == 0 || errno == EINTR;
    }
    char buffer[4096];
    const ssize_t n = ::read(output_fd_, buffer, sizeof buffer);
    if (n <= 0) {
        return false;
    }
    output_.append(buffer, static_cast<std::size_t>(n));
    return true;
}

bool ChildProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout,
                                 std::size_t from) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (output_.find(text, from) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadSome(left)) {
            return output_.find(text, from) != std::string::npos;
        }
    }
    return true;
}

void ChildProcess::Type(const std::string& text) {
    if (terminal_fd_ >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(terminal_fd_, text.data(), text.size());
    }
}

void ChildProcess::Signal(int signal) {
    if (pid_ > 0) {
        ::kill(pid_, signal);
    }
}

void ChildProcess::CloseOutput() {
    if (output_fd_ >= 0) {
        ::close(output_fd_);
        output_fd_ = -1;
    }
}

std::optional<int> ChildProcess::Finish(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    if (output_fd_ < 0) {
        // Nothing to read the end from: look for it every few milliseconds.
        for (;;) {
            const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
            if (reaped == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
            }
            if (reaped < 0 || std::chrono::steady_clock::now() >= deadline) {
                return std::nullopt;
            }
            ::usleep(10'000);
        }
    }
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;  // the destructor kills it
        }
        if (!ReadSome(left)) {
            break;  // end of output: the child closed it, by ending
        }
    }
    const pid_t reaped = ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (reaped < 0 || !WIFEXITED(status)) {
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

}  // namespace tessel::testing
