// The printer's status and version replies, as a device hands them out: in pieces of any size,
// with failed reads, reads that claim more than they were asked, reads without bytes, and
// time passing between them (on the virtual clock).
//
// Input: a first byte choosing the query (bit 0: version, else status) and its time limit
// (bit 1: a short one), then read steps. A step's first byte gives its kind (bits 0-1: 0 or 1
// a piece of bytes whose length follows, 2 a failed read, 3 an overstated read of a piece) and
// the time it takes (bits 2-7, in seconds).
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "link/acl_protocol.h"
#include "link/link_result.h"
#include "link/printer_queries.h"
#include "platform/services.h"
#include "scripted_device.h"
#include "virtual_clock.h"

namespace {

using namespace tessel;

class DiscardedDebugOutput final : public platform::DebugOutput {
  public:
    void Write(std::u16string_view) override {}
};

constexpr std::int64_t kShortLimitSeconds = 2;
constexpr std::int64_t kLongestStepMs = 63'000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::uint8_t mode = in.Byte();
    const bool version_query = (mode & 1) != 0;
    const bool short_limit = (mode & 2) != 0;

    testing::VirtualClock clock;
    DiscardedDebugOutput debug;
    testing::ScriptedDevice device(clock);
    testing::FakeDeviceFiles files(device);
    platform::ScopedServices services{{&clock, &debug, &files, nullptr, nullptr, nullptr}};

    // The bytes the device hands out before its first failed or overstated read.
    std::vector<std::uint8_t> clean_stream;
    bool clean = true;
    while (!in.empty()) {
        const std::uint8_t op = in.Byte();
        const std::int64_t advance_ms = (op >> 2) * 1000;
        switch (op & 3) {
            case 0:
            case 1: {
                std::vector<std::uint8_t> piece = in.ByteVector(in.Byte());
                if (clean) {
                    clean_stream.insert(clean_stream.end(), piece.begin(), piece.end());
                }
                device.AddRead(std::move(piece), advance_ms);
                break;
            }
            case 2:
                device.AddReadFailure(advance_ms);
                clean = false;
                break;
            default:
                device.AddOverstatedRead(in.ByteVector(in.Byte()));
                clean = false;
                break;
        }
    }

    const std::int64_t start_ms = clock.NowMs();
    std::int64_t limit_seconds;
    std::int32_t result;
    if (version_query) {
        limit_seconds = short_limit ? kShortLimitSeconds : link::kVersionTimeLimitSeconds;
        link::VersionResult version{};
        version.fill(0xEE);  // unchanged on failure
        result = link::ReadPrinterFWVersion(device, version, limit_seconds);
        FUZZ_CHECK(result == link::kLinkOk || result == link::kErrVersionQuery);
        if (result == link::kLinkOk) {
            // A text of one to eight bytes, zero-filled after its end.
            FUZZ_CHECK(version[0] != 0);
            const auto end = std::find(version.begin(), version.end(), std::uint8_t{0});
            FUZZ_CHECK(std::all_of(end, version.end(), [](std::uint8_t b) { return b == 0; }));
        } else {
            FUZZ_CHECK(std::all_of(version.begin(), version.end(),
                                   [](std::uint8_t b) { return b == 0xEE; }));
        }
        // Only whole version queries were sent: envelope, command, closing UEL.
        FUZZ_CHECK(!device.write_calls().empty() && device.write_calls().size() % 4 == 0);
        FUZZ_CHECK(device.write_calls().size() / 4 <=
                   static_cast<std::size_t>(limit_seconds * 2 + 4 + link::kMaxVersionAttempts));
    } else {
        limit_seconds = short_limit ? kShortLimitSeconds : link::kStatusTimeLimitSeconds;
        std::uint8_t status = 0xEE;
        result = link::ReadPrinterSTATUS(device, status, limit_seconds);
        FUZZ_CHECK(result == link::kLinkOk || result == link::kErrStatusRead ||
                   result == link::kErrStatusTimeout || result == link::kErrStatusReply);
        FUZZ_CHECK(device.write_calls().size() == 4);
        link::AclHeader reply;
        const bool whole = clean_stream.size() >= link::kAclHeaderSize;
        if (whole) {
            std::copy_n(clean_stream.begin(), link::kAclHeaderSize, reply.bytes.begin());
        }
        const bool sound = whole && reply.magic() == link::kAclMagic &&
                           reply.command() == link::kCmdStatus;
        if (result == link::kLinkOk) {
            // Only a whole status reply, read without a failure, gives a status: its byte 6.
            FUZZ_CHECK(sound && status == reply.bytes[6]);
        } else {
            FUZZ_CHECK(status == 0xEE);
        }
        if (result == link::kErrStatusReply) {
            FUZZ_CHECK(whole && !sound);
        }
    }
    // However the device behaves, the query ends soon after its time limit.
    FUZZ_CHECK(clock.NowMs() - start_ms <= (limit_seconds + 3) * 1000 + kLongestStepMs);
    return 0;
}
