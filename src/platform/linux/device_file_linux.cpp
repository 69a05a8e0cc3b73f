// Device files on Linux: the usblp character device (/dev/usb/lpN), or the pseudo-terminal
// that the printer emulator serves in its place. Pipes, sockets and plain files work too (the
// benchmark sends into a pipe).
#include "platform/linux/device_file_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>

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

class LinuxDeviceFile final : public DeviceFile {
  public:
    LinuxDeviceFile(int fd, bool real_printer, int read_wait_ms)
        : fd_(fd), real_printer_(real_printer), read_wait_ms_(read_wait_ms) {}
    ~LinuxDeviceFile() override { ::close(fd_); }
    LinuxDeviceFile(const LinuxDeviceFile&) = delete;
    LinuxDeviceFile& operator=(const LinuxDeviceFile&) = delete;

    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        if (RefuseStandInPayload(real_printer_, {data, count})) {
            return -1;
        }
        // No SIGPIPE to fear: a pipe opened for reading and writing always has a reader.
        ssize_t n;
        do {
            n = ::write(fd_, data, count);
        } while (n < 0 && errno == EINTR);
        return n < 0 ? -1 : static_cast<std::int32_t>(n);
    }

    // Waits up to read_wait_ms_ for data; none gives 0 bytes. A device that went away, or a
    // peer that closed its end, gives -1.
    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        pollfd p{fd_, POLLIN, 0};
        int ready;
        do {
            p.revents = 0;
            ready = ::poll(&p, 1, read_wait_ms_);
        } while (ready < 0 && errno == EINTR);
        if (ready < 0) {
            return -1;
        }
        if (ready == 0) {
            return 0;
        }
        if ((p.revents & (POLLERR | POLLNVAL)) != 0 && (p.revents & POLLIN) == 0) {
            return -1;
        }
        ssize_t n;
        do {
            n = ::read(fd_, buffer, count);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            return -1;
        }
        if (n == 0 && (p.revents & POLLHUP) != 0) {
            return -1;  // end of stream: the other side is gone
        }
        return static_cast<std::int32_t>(n);
    }

  private:
    int fd_;
    bool real_printer_;
    int read_wait_ms_;
};

class LinuxDeviceFiles final : public DeviceFiles {
  public:
    explicit LinuxDeviceFiles(int read_wait_ms) : read_wait_ms_(read_wait_ms) {}

    std::unique_ptr<DeviceFile> Open(const std::u16string& path) override {
        const std::string native = Utf16ToUtf8(path);
        int fd;
        do {
            fd = ::open(native.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            return nullptr;
        }
        struct stat st {};
        const bool known = ::fstat(fd, &st) == 0;
        // A printer is a character device; the emulator's pseudo-terminal is not one, nor are
        // pipes, sockets and plain files. When in doubt it is one.
        const bool real = !known || (S_ISCHR(st.st_mode) && !IsPseudoTerminal(st.st_rdev));
        // A terminal's line discipline would rewrite bytes (line ends, control characters):
        // raw mode passes them through unchanged.
        termios tio{};
        if (::isatty(fd) && ::tcgetattr(fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd, TCSANOW, &tio);
        }
        return std::make_unique<LinuxDeviceFile>(fd, real, read_wait_ms_);
    }

  private:
    int read_wait_ms_;
};

}  // namespace

std::unique_ptr<DeviceFiles> MakeLinuxDeviceFiles(int read_wait_ms) {
    return std::make_unique<LinuxDeviceFiles>(read_wait_ms);
}

DeviceFiles& SystemDeviceFiles() {
    static LinuxDeviceFiles files(kDeviceReadWaitMs);
    return files;
}

}  // namespace tessel::platform
