#include "link/printer_queries.h"

#include <algorithm>
#include <string_view>

#include "discovery/device_globals.h"
#include "link/acl_link.h"
#include "link/acl_protocol.h"
#include "platform/ansi_text.h"
#include "platform/services.h"
#include "platform/text.h"

namespace tessel::link {
namespace {

constexpr std::string_view kVersionRequestText = "<!--#ssi IDr OID_PLATFORM_FW_VERSION -->";
static_assert(kVersionRequestText.size() == 40);
constexpr std::size_t kVersionCommandSize = kAclHeaderSize + kVersionRequestText.size();

constexpr std::uint32_t kPauseAfterSendMs = 500;
constexpr std::uint32_t kPauseAfterReadMs = 200;

enum class ReadOutcome { kComplete, kFailed, kTimedOut };

// Reads the parts of one version reply. Every read is followed by a pause, so that a printer
// that is slow to answer is not hammered; the query's time limit is checked before each read.
class VersionReplyReader {
  public:
    VersionReplyReader(platform::DeviceFile& device, std::int64_t limit_seconds)
        : device_(device), start_(platform::Clk().NowSeconds()), limit_seconds_(limit_seconds) {}

    bool TimeUp() const { return platform::Clk().NowSeconds() - start_ > limit_seconds_; }

    ReadOutcome ReadFully(std::uint8_t* buffer, std::uint32_t count) {
        std::uint32_t received = 0;
        while (received < count) {
            if (TimeUp()) {
                return ReadOutcome::kTimedOut;
            }
            last_read_ = ReadData(device_, buffer + received, count - received);
            if (last_read_ < 0) {
                return ReadOutcome::kFailed;
            }
            platform::Clk().SleepMs(kPauseAfterReadMs);
            received += static_cast<std::uint32_t>(last_read_);
        }
        return ReadOutcome::kComplete;
    }

    // Reads and drops `count` bytes: the part of an over-long text that does not fit the
    // buffer. Leaving it unread would make it the start of the next reply.
    ReadOutcome Discard(std::uint32_t count) {
        std::uint8_t scratch[4096];
        while (count > 0) {
            const std::uint32_t chunk = std::min<std::uint32_t>(count, sizeof scratch);
            const ReadOutcome outcome = ReadFully(scratch, chunk);
            if (outcome != ReadOutcome::kComplete) {
                return outcome;
            }
            count -= chunk;
        }
        return ReadOutcome::kComplete;
    }

    std::int32_t last_read() const { return last_read_; }

  private:
    platform::DeviceFile& device_;
    std::int64_t start_;
    std::int64_t limit_seconds_;
    std::int32_t last_read_ = 0;
};

}  // namespace

std::int32_t ReadPrinterSTATUS(platform::DeviceFile& device, std::uint8_t& status,
                               std::int64_t time_limit_seconds) {
    platform::Debug(u"ReadPrinterSTATUS()<------");

    AclHeader command;
    command.Set16(0, kAclMagic);
    command.Set16(2, kCmdStatus);
    const std::int32_t sent = SendAclCommand(device, command.bytes.data(), kAclHeaderSize);
    if (sent < 0) {
        return sent;
    }

    AclHeader reply;
    std::uint32_t received = 0;
    const std::int64_t start = platform::Clk().NowSeconds();
    do {
        const std::int32_t read = ReadData(device, reply.bytes.data() + received,
                                           static_cast<std::uint32_t>(kAclHeaderSize) - received);
        if (read < 0) {
            return kErrStatusRead;
        }
        received += static_cast<std::uint32_t>(read);
        // Checked before completeness: a reply that took too long fails even when it is whole.
        if (platform::Clk().NowSeconds() - start > time_limit_seconds) {
            return kErrStatusTimeout;
        }
    } while (received < kAclHeaderSize);

    if (reply.magic() != kAclMagic || reply.command() != kCmdStatus) {
        return kErrStatusReply;
    }
    status = reply.bytes[6];
    platform::Debug(u"ReadPrinterSTATUS()------->");
    return kLinkOk;
}

std::int32_t ReadPrinterFWVersion(platform::DeviceFile& device, VersionResult& result,
                                  std::int64_t time_limit_seconds) {
    std::array<std::uint8_t, kVersionCommandSize> command{};
    AclHeader header;
    header.Set16(0, kAclMagic);
    header.Set16(2, kCmdObjectQuery);
    header.Set16(4, static_cast<std::uint16_t>(kVersionRequestText.size()));
    std::copy(header.bytes.begin(), header.bytes.end(), command.begin());
    std::copy(kVersionRequestText.begin(), kVersionRequestText.end(),
              command.begin() + kAclHeaderSize);

    VersionReplyReader reader(device, time_limit_seconds);
    const std::u16string no_text = platform::FormatU16(
        "ReadPrinterFWVersion(): no version text within %d seconds",
        static_cast<int>(time_limit_seconds));
    int attempts = 0;
    for (;;) {
        // Only reached again after an empty text or a failed read.
        if (reader.TimeUp()) {
            platform::Debug(no_text);
            return kErrVersionQuery;
        }
        const std::int32_t sent =
            SendAclCommand(device, command.data(), static_cast<std::uint32_t>(command.size()));
        if (sent < 0) {
            return sent;
        }

        std::array<std::uint8_t, kVersionBufferSize> text{};
        platform::Clk().SleepMs(kPauseAfterSendMs);

        AclHeader reply;
        ReadOutcome outcome = reader.ReadFully(reply.bytes.data(), kAclHeaderSize);
        if (outcome == ReadOutcome::kComplete) {
            // The buffer keeps its last byte for the terminating zero; the rest of a longer
            // text is read and dropped so the next command starts in step.
            const std::uint32_t announced = reply.Get16(6);
            const std::uint32_t kept = std::min(announced, kVersionBufferSize - 1);
            outcome = reader.ReadFully(text.data(), kept);
            if (outcome == ReadOutcome::kComplete && announced > kept) {
                outcome = reader.Discard(announced - kept);
            }
        }
        if (outcome == ReadOutcome::kTimedOut) {
            platform::Debug(no_text);
            return kErrVersionQuery;
        }
        if (outcome == ReadOutcome::kFailed) {
            if (++attempts == kMaxVersionAttempts) {
                platform::Debug(u"nReSendNum == 5");
                return kErrVersionQuery;
            }
            continue;
        }

        const auto length = static_cast<std::size_t>(
            std::find(text.begin(), text.end(), std::uint8_t{0}) - text.begin());
        const std::string_view version(reinterpret_cast<const char*>(text.data()), length);
        platform::Debug(platform::FormatU16("ReadLen = %d, verbuf = ", reader.last_read()) +
                        platform::AnsiToUtf16(version));
        if (version.empty()) {
            continue;  // not counted as an attempt; the time limit bounds these
        }
        result.fill(0);
        std::copy_n(version.begin(), std::min(version.size(), result.size()), result.begin());
        return kLinkOk;
    }
}

std::int32_t CompareVersionKey(std::uint16_t printer_key) {
    if (kCarriedVersionKey < printer_key) {
        return kPrinterVersionHigher;
    }
    if (kCarriedVersionKey == printer_key) {
        return kPrinterVersionEqual;
    }
    return kPrinterVersionLower;
}

std::int32_t CompareFirmwareVersion() {
    VersionResult version{};
    std::int32_t queried;
    {
        const auto device = platform::Current().devices->Open(discovery::g_strDevicePath);
        if (!device) {
            return kErrOpenDevice;
        }
        queried = ReadPrinterFWVersion(*device, version);
    }  // closed whatever the result
    if (queried < 0) {
        return kErrVersionQuery;
    }
    return CompareVersionKey(VersionKey(version));
}

}  // namespace tessel::link
