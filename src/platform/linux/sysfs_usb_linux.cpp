#include "platform/linux/sysfs_usb.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/text.h"
#include "platform/usb_names.h"

namespace tessel::platform::sysfs {
namespace fs = std::filesystem;

namespace {

fs::path RootFrom(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    return fs::path(value && *value ? value : fallback);
}

}  // namespace

fs::path SysfsRoot() {
    return RootFrom("TESSEL_SYSFS_ROOT", "/sys");
}
fs::path DevRoot() {
    return RootFrom("TESSEL_DEV_ROOT", "/dev");
}

std::optional<std::string> ReadAttributeBytes(const fs::path& file) {
    // Not blocking: a FIFO in place of an attribute would otherwise wait for a writer at
    // open, and one with a writer that never ends at read.
    int fd;
    do {
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return std::nullopt;
    }
    // Read to the end, but never past kMaxAttributeBytes: a file that goes on longer (one
    // that never ends, such as a character device) is no attribute of the kernel's.
    std::string text;
    char chunk[4096];
    bool whole = false;
    while (text.size() <= kMaxAttributeBytes) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            whole = n == 0;
            break;
        }
        text.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!whole || text.size() > kMaxAttributeBytes) {
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> ReadAttribute(const fs::path& file) {
    std::optional<std::string> text = ReadAttributeBytes(file);
    if (text && !text->empty() && text->back() == '\n') {
        text->pop_back();
    }
    return text;
}

std::optional<std::uint32_t> ReadHexAttribute(const fs::path& file) {
    const std::optional<std::string> text = ReadAttribute(file);
    if (!text || text->empty() || text->size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : *text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::optional<std::u16string> UsbInstanceId(const fs::path& device_dir) {
    const auto vendor = ReadHexAttribute(device_dir / "idVendor");
    const auto product = ReadHexAttribute(device_dir / "idProduct");
    if (!vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) {
        return std::nullopt;
    }
    const std::optional<std::string> serial = ReadAttribute(device_dir / "serial");
    const std::u16string tail =
        serial && !serial->empty()
            ? Utf8ToUtf16(*serial)
            : LocationInstanceTail(Utf8ToUtf16(device_dir.filename().string()));
    return FormatUsbInstanceId(static_cast<std::uint16_t>(*vendor),
                               static_cast<std::uint16_t>(*product), tail);
}

}  // namespace tessel::platform::sysfs
