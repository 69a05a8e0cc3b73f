// A device file for link tests: it records every write, plays a script of read results, can
// make chosen writes fail or fall short, and moves a VirtualClock on while a call "takes time".
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_file.h"
#include "virtual_clock.h"

namespace tessel::testing {

class ScriptedDevice final : public platform::DeviceFile {
  public:
    explicit ScriptedDevice(VirtualClock& clock) : clock_(clock) {}

    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override;
    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override;
    // No printer (stand-in payloads go through), unless a test makes it one.
    bool CouldBePrinter() const override { return could_be_printer_; }
    void SetCouldBePrinter(bool could_be) { could_be_printer_ = could_be; }

    // --- Reads, played in order. The bytes of one step are handed out over as many reads as
    // the reader's counts need; an empty step is one read that returns 0 bytes.
    void AddRead(std::vector<std::uint8_t> bytes, std::int64_t advance_ms = 0);
    void AddRead(std::string_view text, std::int64_t advance_ms = 0);
    void AddReadFailure(std::int64_t advance_ms = 0);
    // One read that hands out `bytes` (as many as fit) and reports a byte more than it was
    // asked for.
    void AddOverstatedRead(std::vector<std::uint8_t> bytes);
    // When the script is used up, a read returns 0 bytes after this much time (a silent printer).
    void SetIdleReadMs(std::int64_t ms) { idle_read_ms_ = ms; }
    bool ScriptDone() const { return script_.empty(); }
    std::size_t read_calls() const { return read_calls_; }

    // --- Writes. Write number `index` (from 0) returns `result` instead: -1 fails it, a count
    // below the one asked takes only that many bytes.
    void SetWriteResult(std::size_t index, std::int32_t result) { write_results_[index] = result; }
    // Every write takes at most this many bytes.
    void SetMaxWriteSize(std::uint32_t max) { max_write_ = max; }
    // Every write takes this much time.
    void SetWriteMs(std::int64_t ms) { write_ms_ = ms; }

    struct WriteCall {
        std::uint32_t asked;
        std::int32_t result;
    };
    const std::vector<WriteCall>& write_calls() const { return write_calls_; }
    // The bytes the device accepted, in order, and those of each write.
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::vector<std::uint8_t>> WrittenChunks() const;
    // The accepted sizes of the writes.
    std::vector<std::uint32_t> WriteSizes() const;

  private:
    struct Step {
        std::vector<std::uint8_t> bytes;
        bool fail = false;
        std::int64_t advance_ms = 0;
        bool overstate = false;
    };

    VirtualClock& clock_;
    std::deque<Step> script_;
    std::int64_t idle_read_ms_ = 1000;
    std::size_t read_calls_ = 0;
    bool could_be_printer_ = false;

    std::map<std::size_t, std::int32_t> write_results_;
    std::uint32_t max_write_ = UINT32_MAX;
    std::int64_t write_ms_ = 0;
    std::vector<WriteCall> write_calls_;
    std::vector<std::uint8_t> bytes_;
};

// Device files that all open the one scripted device (or fail to open).
class FakeDeviceFiles final : public platform::DeviceFiles {
  public:
    explicit FakeDeviceFiles(platform::DeviceFile& device) : device_(device) {}
    std::unique_ptr<platform::DeviceFile> Open(const std::u16string& path) override;

    void FailOpen() { fail_open_ = true; }
    const std::vector<std::u16string>& opened() const { return opened_; }
    int open_handles() const { return open_handles_; }

  private:
    platform::DeviceFile& device_;
    bool fail_open_ = false;
    std::vector<std::u16string> opened_;
    int open_handles_ = 0;
};

// Replies of the printer.
std::vector<std::uint8_t> StatusReply(std::uint8_t status, std::uint16_t magic = 0x00AC,
                                      std::uint16_t code = 0xFF87);
std::vector<std::uint8_t> VersionReplyHeader(std::uint16_t length);
std::vector<std::uint8_t> Bytes(std::string_view text);
std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b);

}  // namespace tessel::testing
