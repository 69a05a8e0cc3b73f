#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

#include "platform/console.h"

namespace tessel::platform {
namespace {

// Writes every byte unless the descriptor fails; the failure is dropped.
void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

class LinuxConsole final : public Console {
  public:
    bool OutputIsTerminal() override { return ::isatty(STDOUT_FILENO) == 1; }
    bool InputIsTerminal() override { return ::isatty(STDIN_FILENO) == 1; }

    void Write(std::string_view utf8) override {
        std::lock_guard lock(write_mutex_);
        WriteAll(STDOUT_FILENO, utf8);
    }
    void WriteError(std::string_view utf8) override {
        std::lock_guard lock(write_mutex_);
        WriteAll(STDERR_FILENO, utf8);
    }

    std::optional<std::string> ReadLine() override {
        {
            std::lock_guard lock(read_mutex_);
            if (cancel_pending_) {
                cancel_pending_ = false;
                return std::nullopt;
            }
            if (wake_[0] < 0 && ::pipe(wake_) != 0) {
                wake_[0] = wake_[1] = -1;
            }
            reading_ = true;
        }
        std::optional<std::string> line = ReadUntilNewline();
        {
            std::lock_guard lock(read_mutex_);
            reading_ = false;
            // A cancel that came as the line ended must not cut the next read short.
            cancel_pending_ = false;
            DrainWake();
        }
        return line;
    }

    void CancelRead() override {
        std::lock_guard lock(read_mutex_);
        cancel_pending_ = true;
        if (reading_ && wake_[1] >= 0) {
            const char c = 1;
            [[maybe_unused]] const ssize_t n = ::write(wake_[1], &c, 1);
        }
    }

    void TakeInterrupts(std::function<void()> handler) override {
        handler_ = std::move(handler);
        // The interrupt signals wait, blocked in every thread (threads started later inherit
        // the mask), for the one thread that takes them with sigwait.
        sigset_t set;
        sigemptyset(&set);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            sigaddset(&set, signal);
        }
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        ::signal(SIGPIPE, SIG_IGN);
        std::thread([this, set] {
            for (;;) {
                int signal = 0;
                if (sigwait(&set, &signal) != 0) {
                    continue;
                }
                handler_();
            }
        }).detach();
    }

  private:
    std::optional<std::string> ReadUntilNewline() {
        std::string line;
        for (;;) {
            pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            const int ready = ::poll(fds, wake_[0] >= 0 ? 2 : 1, -1);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready < 0 || (fds[1].revents & POLLIN) != 0) {
                return std::nullopt;
            }
            char c = 0;
            const ssize_t n = ::read(STDIN_FILENO, &c, 1);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return std::nullopt;
            }
            if (c == '\n') {
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                return line;
            }
            line.push_back(c);
        }
    }

    void DrainWake() {
        if (wake_[0] < 0) {
            return;
        }
        pollfd fd{wake_[0], POLLIN, 0};
        char c = 0;
        while (::poll(&fd, 1, 0) > 0 && ::read(wake_[0], &c, 1) > 0) {
        }
    }

    std::mutex write_mutex_;
    std::mutex read_mutex_;
    int wake_[2] = {-1, -1};
    bool reading_ = false;
    bool cancel_pending_ = false;
    std::function<void()> handler_;
};

}  // namespace

Console& SystemConsole() {
    static LinuxConsole* console = new LinuxConsole;  // the signal thread uses it until exit
    return *console;
}

}  // namespace tessel::platform
