// Device files on Linux: the usblp character device (/dev/usb/lpN), or the pseudo-terminal
// that the printer emulator serves in its place; a USB device node (/dev/bus/usb/BBB/DDD) goes
// to the libusb device file (usb_device_file_linux.cpp). Pipes, sockets and plain files work too (the
// benchmark sends into a pipe).
//
// Reads wait for data with poll(), in the slices of a DeviceWait. Writes block, as the usblp
// driver needs: only a blocking write learns that a block failed to reach the printer, and a
// non-blocking one returns while its last block is still on the way, which closing the file
// then cuts off. A watchdog ends a write that outlasts its bound by interrupting it with a
// signal.
#include "platform/linux/device_file_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <list>
#include <mutex>
#include <thread>

#include "platform/device_wait.h"
#include "platform/linux/usb_device_file_linux.h"
#include "platform/services.h"
#include "platform/text.h"

namespace tessel::platform {
namespace {

// Pseudo-terminals by device number: the legacy BSD pairs (2, 3), the Unix98 masters and
// slaves (128-143) and the multiplexer /dev/ptmx (5:2).
bool IsPseudoTerminal(dev_t rdev) {
    const unsigned maj = major(rdev);
    return maj == 2 || maj == 3 || (maj >= 128 && maj <= 143) || (maj == 5 && minor(rdev) == 2);
}

// A printer is a character device; the emulator's pseudo-terminal is not one, nor are pipes,
// sockets and plain files. When in doubt (`st` unknown) it is one.
bool CouldBePrinter(const struct stat* st) {
    return st == nullptr || (S_ISCHR(st->st_mode) && !IsPseudoTerminal(st->st_rdev));
}

// The signal that interrupts a write which outlasts its bound. Its handler does nothing and the
// signal is installed without SA_RESTART, so the write returns: with the bytes written so far,
// or with EINTR.
int InterruptSignal() {
    return SIGRTMIN + 4;
}

// Watches the writes of every thread from a thread of its own. Once a write has outlasted its
// bound, it sends the writing thread the interrupt signal, and again every slice until the write
// has ended: a signal that lands just before the write blocks would otherwise be lost.
class WriteWatchdog {
  public:
    struct Watch {
        pthread_t thread;
        DeviceWait wait;
        bool expired = false;
    };
    using Ticket = std::list<Watch>::iterator;

    static WriteWatchdog& Instance() {
        static WriteWatchdog* const watchdog = new WriteWatchdog;  // runs until the process ends
        return *watchdog;
    }

    // Watches the calling thread for `limit_ms` from now.
    Ticket Begin(std::int64_t limit_ms) {
        std::lock_guard lock(mutex_);
        watches_.push_back({pthread_self(), DeviceWait(limit_ms)});
        if (idle_) {
            wake_.notify_one();
        }
        return std::prev(watches_.end());
    }
    // Whether the write's time is up (it has been interrupted, or is about to be).
    bool Expired(Ticket ticket) {
        std::lock_guard lock(mutex_);
        return ticket->expired;
    }
    void End(Ticket ticket) {
        std::lock_guard lock(mutex_);
        watches_.erase(ticket);
    }

  private:
    WriteWatchdog() {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        ::sigaction(InterruptSignal(), &action, nullptr);
        std::thread([this] { Run(); }).detach();
    }

    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            idle_ = true;
            wake_.wait(lock, [this] { return !watches_.empty(); });
            idle_ = false;
            for (Watch& watch : watches_) {
                if (watch.expired || watch.wait.Over()) {
                    watch.expired = true;
                    pthread_kill(watch.thread, InterruptSignal());
                }
            }
            wake_.wait_for(lock, std::chrono::milliseconds(DeviceWait::kSliceMs));
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::list<Watch> watches_;
    bool idle_ = false;  // waiting for a write to watch, rather than looking every slice
};

// The watchdog's watch over one write, for the life of this object.
class WatchedWrite {
  public:
    explicit WatchedWrite(std::int64_t limit_ms)
        : ticket_(WriteWatchdog::Instance().Begin(limit_ms)) {}
    ~WatchedWrite() { WriteWatchdog::Instance().End(ticket_); }
    WatchedWrite(const WatchedWrite&) = delete;
    WatchedWrite& operator=(const WatchedWrite&) = delete;
    bool expired() const { return WriteWatchdog::Instance().Expired(ticket_); }

  private:
    WriteWatchdog::Ticket ticket_;
};

// Waits until `fd` reports one of `events` (or an error or hang-up), or `wait` is over.
// Returns the events reported, 0 when the wait ended first, -1 when poll() failed.
int WaitFor(int fd, short events, const DeviceWait& wait) {
    for (int slice = wait.NextSliceMs(); slice > 0; slice = wait.NextSliceMs()) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, slice);
        if (ready > 0) {
            return p.revents;
        }
        if (ready < 0 && errno != EINTR) {
            return -1;
        }
    }
    return 0;
}

class LinuxDeviceFile final : public DeviceFile {
  public:
    LinuxDeviceFile(int fd, bool could_be_printer) : fd_(fd), could_be_printer_(could_be_printer) {}
    ~LinuxDeviceFile() override { ::close(fd_); }
    LinuxDeviceFile(const LinuxDeviceFile&) = delete;
    LinuxDeviceFile& operator=(const LinuxDeviceFile&) = delete;

    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        if (cut_off_) {
            return -1;
        }
        // One write() as ever: a blocking one that returns short only on an error or a signal.
        // No SIGPIPE to fear: a pipe opened for reading and writing always has a reader.
        const WatchedWrite watch(kDeviceWriteWaitMs);
        ssize_t n;
        int error;
        do {
            n = ::write(fd_, data, count);
            error = errno;
        } while (n < 0 && error == EINTR && !watch.expired());
        const auto written = static_cast<std::int32_t>(n < 0 ? 0 : n);
        if (watch.expired() && written < static_cast<std::int32_t>(count)) {
            cut_off_ = true;
            return written;
        }
        return n < 0 ? -1 : written;
    }

    bool CouldBePrinter() const override { return could_be_printer_; }

    // A device that went away, or a peer that closed its end, gives -1.
    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        const int ready = WaitFor(fd_, POLLIN, DeviceWait(kDeviceReadWaitMs));
        if (ready <= 0) {
            return ready;  // 0: nothing came in time; -1: poll() failed
        }
        if ((ready & (POLLERR | POLLNVAL)) != 0 && (ready & POLLIN) == 0) {
            return -1;
        }
        ssize_t n;
        do {
            n = ::read(fd_, buffer, count);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            return -1;
        }
        if (n == 0 && (ready & POLLHUP) != 0) {
            return -1;  // end of stream: the other side is gone
        }
        return static_cast<std::int32_t>(n);
    }

  private:
    int fd_;
    bool could_be_printer_;
    // A write was cut off at its bound. The device may still be taking part of it, so no later
    // write can know where to go on: they all fail.
    bool cut_off_ = false;
};

class LinuxDeviceFiles final : public DeviceFiles {
  public:
    explicit LinuxDeviceFiles(PrinterGuess guess) : guess_(guess) {}

    std::unique_ptr<DeviceFile> Open(const std::u16string& path) override {
        OpenFailure ignored = OpenFailure::kNone;
        return OpenWithReason(path, ignored);
    }

    std::unique_ptr<DeviceFile> OpenWithReason(const std::u16string& path,
                                               OpenFailure& failure) override {
        const std::string native = Utf16ToUtf8(path);
        if (const std::optional<UsbDeviceNode> node = UsbDeviceNodeOf(native)) {
            return OpenUsbDeviceFile(native, *node, guess_ == PrinterGuess::kEveryFile, failure);
        }
        int fd;
        do {
            fd = ::open(native.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            failure = OpenFailureFromErrno(errno);
            return nullptr;
        }
        failure = OpenFailure::kNone;
        struct stat st {};
        const bool known = ::fstat(fd, &st) == 0;
        const bool could_be_printer =
            guess_ == PrinterGuess::kEveryFile || CouldBePrinter(known ? &st : nullptr);
        // A terminal's line discipline would rewrite bytes (line ends, control characters):
        // raw mode passes them through unchanged.
        termios tio{};
        if (::isatty(fd) && ::tcgetattr(fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd, TCSANOW, &tio);
        }
        return std::make_unique<LinuxDeviceFile>(fd, could_be_printer);
    }

  private:
    PrinterGuess guess_;
};

}  // namespace

OpenFailure OpenFailureFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return OpenFailure::kPermissionDenied;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return OpenFailure::kNoDevice;
        case EBUSY:
            return OpenFailure::kBusy;
        default:
            return OpenFailure::kOther;
    }
}

std::unique_ptr<DeviceFiles> MakeLinuxDeviceFiles(PrinterGuess guess) {
    return std::make_unique<LinuxDeviceFiles>(guess);
}

DeviceFiles& SystemDeviceFiles() {
    static LinuxDeviceFiles files(PrinterGuess::kCharacterDevices);
    return files;
}

}  // namespace tessel::platform
