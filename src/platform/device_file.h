// The printer's device file: open, one write, one read, close.
//
// Every read and every write comes back within a bound of its own, so that a printer that
// stops reading or answering while it stays connected cannot hold the tool: the link checks
// its own time limits (a minute per query, five minutes per payload) between calls, and those
// limits only end a run when each call returns. The bounds are measured on platform::Clk(), so
// a compressed clock shortens them with everything else: the backends look at the clock every
// few milliseconds of real time while a call waits.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tessel::platform {

// How long one read waits for the first byte before it returns 0 bytes.
inline constexpr std::int64_t kDeviceReadWaitMs = 1000;

// How long one write may take at most. It then returns the bytes written so far.
//
// A printer may pause (it is busy with what it already has), and a write of 0x40000 bytes, the
// most the link hands to one write, takes a fifth of a second at full USB speed, so a minute
// leaves a paused printer plenty of room. A minute is also what the link grants a printer that
// does not answer a query; a printer that cannot take one write in that time has stopped, not
// paused, and it could not take the firmware image within the five minutes a payload may take
// anyway. A stalled transfer thus ends about a minute after its last write began, well inside
// those five minutes.
inline constexpr std::int64_t kDeviceWriteWaitMs = 60'000;

class DeviceFile {
public:
    // Closing the handle is destroying it.
    virtual ~DeviceFile() = default;
    // Writes up to `count` bytes. Returns once all of them are written, or after
    // kDeviceWriteWaitMs with the number written by then (fewer than asked, possibly 0): the
    // write is then cut off, and every later write on this handle fails, since the device may
    // still be taking part of the cut-off one. Returns -1 when the write failed before any byte
    // was written: the device is gone (unplugged, restarted) or refused the bytes.
    virtual std::int32_t Write(const std::uint8_t* data, std::uint32_t count) = 0;
    // Reads up to `count` bytes: returns as soon as some are there, with their number, or
    // after kDeviceReadWaitMs with 0 when none came. Returns -1 when the read failed: the device
    // is gone, or the other side closed its end.
    virtual std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) = 0;
    // What kind of handle this is: false only for what is known not to be a printer (the
    // emulator's pipes and terminals, plain files); whatever else may be one is reported as
    // one. What may be written to it is decided above (link/stand_in_guard.h).
    virtual bool CouldBePrinter() const = 0;
};

// Why a device file did not open, as the system told it.
enum class OpenFailure {
    kNone,              // it opened
    kPermissionDenied,  // the user may not open it (no access rule for the printer)
    kNoDevice,          // no such device: gone, or no driver bound to make the node work
    kBusy,              // another program holds it
    kOther,             // any other reason, or a backend that cannot tell
};

class DeviceFiles {
public:
    virtual ~DeviceFiles() = default;
    // As Open, and says why it failed. Backends that cannot tell report kOther.
    virtual std::unique_ptr<DeviceFile> OpenWithReason(const std::u16string& path,
                                                       OpenFailure& failure) {
        auto file = Open(path);
        failure = file ? OpenFailure::kNone : OpenFailure::kOther;
        return file;
    }
    // Opens the device at `path` for reading and writing, shared for reading only.
    // Returns null when it cannot be opened.
    virtual std::unique_ptr<DeviceFile> Open(const std::u16string& path) = 0;
};

// The operating system's device files (the USB printer interface on Windows, the usblp node on
// Linux).
DeviceFiles& SystemDeviceFiles();

}  // namespace tessel::platform
