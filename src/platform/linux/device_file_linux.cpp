// Device files on Linux: the usblp character device (/dev/usb/lpN), or the pseudo-terminal
// that the printer emulator serves in its place. Pipes, sockets and plain files work too (the
// benchmark sends into a pipe).
//
// The descriptor is non-blocking: every call waits with poll(), in the slices of a DeviceWait,
// for the device to become readable or writable, so no call blocks past its bound.
#include "platform/linux/device_file_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>

#include "platform/device_wait.h"
#include "platform/services.h"
#include "platform/stand_in_guard.h"
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

bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

class LinuxDeviceFile final : public DeviceFile {
  public:
    LinuxDeviceFile(int fd, bool could_be_printer) : fd_(fd), could_be_printer_(could_be_printer) {}
    ~LinuxDeviceFile() override { ::close(fd_); }
    LinuxDeviceFile(const LinuxDeviceFile&) = delete;
    LinuxDeviceFile& operator=(const LinuxDeviceFile&) = delete;

    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        if (RefuseStandInPayload(could_be_printer_, {data, count})) {
            return -1;
        }
        // No SIGPIPE to fear: a pipe opened for reading and writing always has a reader.
        const DeviceWait wait(kDeviceWriteWaitMs);
        std::uint32_t written = 0;
        bool hung_up = false;
        while (written < count) {
            const ssize_t n = ::write(fd_, data + written, count - written);
            if (n > 0) {
                written += static_cast<std::uint32_t>(n);
                hung_up = false;
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if ((n < 0 && !WouldBlock(errno)) || hung_up) {
                break;  // failed, or no room after the device reported an error or hang-up
            }
            // The device takes nothing now: wait for room.
            const int ready = WaitFor(fd_, POLLOUT, wait);
            if (ready == 0) {
                return static_cast<std::int32_t>(written);  // the wait is over
            }
            hung_up = ready < 0 || (ready & POLLOUT) == 0;
        }
        return written > 0 || count == 0 ? static_cast<std::int32_t>(written) : -1;
    }

    // A device that went away, or a peer that closed its end, gives -1.
    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        const DeviceWait wait(kDeviceReadWaitMs);
        for (;;) {
            const int ready = WaitFor(fd_, POLLIN, wait);
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
            if (n < 0 && WouldBlock(errno)) {
                continue;  // announced, then taken by nobody else: wait on
            }
            if (n < 0) {
                return -1;
            }
            if (n == 0 && (ready & POLLHUP) != 0) {
                return -1;  // end of stream: the other side is gone
            }
            return static_cast<std::int32_t>(n);
        }
    }

  private:
    int fd_;
    bool could_be_printer_;
};

class LinuxDeviceFiles final : public DeviceFiles {
  public:
    explicit LinuxDeviceFiles(PrinterGuess guess) : guess_(guess) {}

    std::unique_ptr<DeviceFile> Open(const std::u16string& path) override {
        const std::string native = Utf16ToUtf8(path);
        int fd;
        do {
            fd = ::open(native.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            return nullptr;
        }
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

std::unique_ptr<DeviceFiles> MakeLinuxDeviceFiles(PrinterGuess guess) {
    return std::make_unique<LinuxDeviceFiles>(guess);
}

DeviceFiles& SystemDeviceFiles() {
    static LinuxDeviceFiles files(PrinterGuess::kCharacterDevices);
    return files;
}

}  // namespace tessel::platform
