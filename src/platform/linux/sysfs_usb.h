// Reading the kernel's USB view in sysfs, shared by the Linux discovery backends. The roots
// come from TESSEL_SYSFS_ROOT (default /sys) and TESSEL_DEV_ROOT (default /dev), read anew
// on every call so that tests and the emulator can point them elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tessel::platform::sysfs {

std::filesystem::path SysfsRoot();
std::filesystem::path DevRoot();

// The kernel hands over an attribute of at most a page; no page is larger than this.
inline constexpr std::size_t kMaxAttributeBytes = std::size_t{64} * 1024;

// The attribute file's text with one trailing newline removed; nothing when it cannot be read,
// would block (a FIFO), or holds more than kMaxAttributeBytes (a file that never ends).
std::optional<std::string> ReadAttribute(const std::filesystem::path& file);
// The same, the bytes as they are (a binary attribute such as "descriptors").
std::optional<std::string> ReadAttributeBytes(const std::filesystem::path& file);

// A hexadecimal attribute ("7a3c\n", "07\n"); nothing when missing or not a number.
std::optional<std::uint32_t> ReadHexAttribute(const std::filesystem::path& file);

// The instance ID of the USB device whose sysfs folder is `device_dir`, written like Windows
// writes it: "USB\VID_7A3C&PID_0C12\<serial>", with the bus location standing in for a
// missing or empty serial number. Nothing when the vendor or product ID cannot be read.
std::optional<std::u16string> UsbInstanceId(const std::filesystem::path& device_dir);

}  // namespace tessel::platform::sysfs
