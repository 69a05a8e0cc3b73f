// The printer's device file: open, one write, one read, close. All calls are synchronous and
// have no time-out of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tessel::platform {

class DeviceFile {
public:
    // Closing the handle is destroying it.
    virtual ~DeviceFile() = default;
    // One write of up to `count` bytes. Returns the number of bytes written (which may be
    // fewer than asked, or 0), or -1 when the call failed.
    virtual std::int32_t Write(const std::uint8_t* data, std::uint32_t count) = 0;
    // One read of up to `count` bytes. Returns the number of bytes read (0 or more), or -1
    // when the call failed.
    virtual std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) = 0;
};

class DeviceFiles {
public:
    virtual ~DeviceFiles() = default;
    // Opens the device at `path` for reading and writing, shared for reading only.
    // Returns null when it cannot be opened.
    virtual std::unique_ptr<DeviceFile> Open(const std::u16string& path) = 0;
};

// The operating system's device files (CreateFileW on Windows, the usblp node on Linux).
DeviceFiles& SystemDeviceFiles();

}  // namespace tessel::platform
