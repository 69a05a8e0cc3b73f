// Device files on Linux: the usblp character device (/dev/usb/lpN), or the pseudo-terminal
// that the printer emulator serves in its place.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "payloads/build_info.h"
#include "payloads/payload_format.h"
#include "platform/debug_output.h"
#include "platform/device_file.h"
#include "platform/services.h"
#include "platform/text.h"

namespace tessel::platform {
namespace {

constexpr unsigned kUsbLpMajor = 180;

class LinuxDeviceFile final : public DeviceFile {
public:
    LinuxDeviceFile(int fd, bool real_printer) : fd_(fd), real_printer_(real_printer) {}
    ~LinuxDeviceFile() override { ::close(fd_); }

    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        if (payloads::kPayloadsAreStandIns && real_printer_ &&
            payloads::LooksLikePayload({data, count})) {
            Debug(u"Refusing to send a stand-in payload to a real printer: this build does not "
                  u"carry the maker's payloads");
            return -1;
        }
        ssize_t n;
        do {
            n = ::write(fd_, data, count);
        } while (n < 0 && errno == EINTR);
        return n < 0 ? -1 : static_cast<std::int32_t>(n);
    }

    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        ssize_t n;
        do {
            n = ::read(fd_, buffer, count);
        } while (n < 0 && errno == EINTR);
        return n < 0 ? -1 : static_cast<std::int32_t>(n);
    }

private:
    int fd_;
    bool real_printer_;
};

class LinuxDeviceFiles final : public DeviceFiles {
public:
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
        // Anything that is not the emulator's pseudo-terminal counts as a real printer.
        const bool real = ::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) ||
                          major(st.st_rdev) == kUsbLpMajor || !::isatty(fd);
        return std::make_unique<LinuxDeviceFile>(fd, real);
    }
};

}  // namespace

DeviceFiles& SystemDeviceFiles() {
    static LinuxDeviceFiles files;
    return files;
}

}  // namespace tessel::platform
