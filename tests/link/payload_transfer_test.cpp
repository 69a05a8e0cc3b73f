#include <algorithm>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/acl_link.h"
#include "link/payload_transfer.h"
#include "link/stand_in_guard.h"
#include "payloads/build_info.h"
#include "link_fixture.h"
#include "payloads/payload_format.h"
#include "platform/resources.h"
#include "upgrade/upgrade_display.h"

namespace tessel::link {
namespace {

using ::testing::ElementsAre;
using testing::LinkTest;
using testing::ScriptedDevice;

using payloads::IDR_BINARY_FIRMWARE;
using payloads::IDR_BINARY_LOADER;

// Records each ShowUpgradeState with the number of bytes the device had received by then.
class RecordingDisplay final : public upgrade::UpgradeDisplay {
  public:
    explicit RecordingDisplay(const ScriptedDevice& device) : device_(device) {}
    void ShowUpgradeState(std::int32_t state, std::int32_t value) override {
        calls.emplace_back(state, value, device_.bytes().size());
    }
    std::int32_t ShowMessageDialog(std::u16string_view, std::int32_t) override { return 0; }
    void EnableCloseItem(bool) override {}
    void EnableStartControls(bool) override {}
    void SetFlashBurnInProgress(bool) override {}

    std::vector<std::tuple<std::int32_t, std::int32_t, std::size_t>> calls;

  private:
    const ScriptedDevice& device_;
};

class PayloadTransfer : public LinkTest {
  protected:
    PayloadTransfer() { upgrade::g_pMainDlg = &display; }
    ~PayloadTransfer() override { upgrade::g_pMainDlg = nullptr; }

    static std::span<const std::uint8_t> Payload(std::uint16_t id) {
        const auto payload = platform::FindBinaryResource(id);
        EXPECT_TRUE(payload.has_value());
        return payload.value_or(std::span<const std::uint8_t>{});
    }
    bool Received(std::uint16_t id) const {
        const auto payload = Payload(id);
        return std::equal(payload.begin(), payload.end(), device.bytes().begin(),
                          device.bytes().end());
    }

    RecordingDisplay display{device};
};

TEST_F(PayloadTransfer, LoaderGoesOutInOneWriteAfterTheProgressDisplay) {
    EXPECT_EQ(SendFWResource(device, IDR_BINARY_LOADER), kLinkOk);
    EXPECT_THAT(device.WriteSizes(), ElementsAre(83'750u));
    EXPECT_TRUE(Received(IDR_BINARY_LOADER));
    EXPECT_THAT(display.calls, ElementsAre(std::make_tuple(upgrade::kStateProgress, 0, 0u)));

    // Without a main display the loader goes out all the same.
    upgrade::g_pMainDlg = nullptr;
    EXPECT_EQ(SendFWResource(device, IDR_BINARY_LOADER), kLinkOk);
    EXPECT_EQ(display.calls.size(), 1u);
}

TEST_F(PayloadTransfer, FirmwareGoesOutInFullChunksAndNeverTouchesTheDisplay) {
    EXPECT_EQ(SendFWResource(device, IDR_BINARY_FIRMWARE), kLinkOk);
    std::vector<std::uint32_t> expected(103, kMaxWriteSize);
    expected.push_back(14'923);
    EXPECT_EQ(device.WriteSizes(), expected);
    EXPECT_TRUE(Received(IDR_BINARY_FIRMWARE));
    EXPECT_TRUE(display.calls.empty());
}

TEST_F(PayloadTransfer, ShortWritesAreContinuedWhereTheyStopped) {
    device.SetMaxWriteSize(100'000);
    EXPECT_EQ(SendFWResource(device, IDR_BINARY_FIRMWARE), kLinkOk);
    EXPECT_EQ(device.write_calls().size(), 271u);  // 27,015,755 bytes, 100,000 at a time
    EXPECT_TRUE(Received(IDR_BINARY_FIRMWARE));
}

struct TransferFailure {
    const char* name;
    std::size_t failing_write;
    std::int32_t write_result;
    std::size_t bytes_received;
};

class PayloadWriteFailure : public PayloadTransfer,
                            public ::testing::WithParamInterface<TransferFailure> {};

// Nothing is resent: the bytes before the failing write are all the printer gets.
TEST_P(PayloadWriteFailure, EndsTheTransferAtThatWrite) {
    device.SetWriteResult(GetParam().failing_write, GetParam().write_result);
    EXPECT_EQ(SendFWResource(device, IDR_BINARY_FIRMWARE), kErrPayloadWrite);
    EXPECT_EQ(device.write_calls().size(), GetParam().failing_write + 1);
    EXPECT_EQ(device.bytes().size(), GetParam().bytes_received);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, PayloadWriteFailure,
    ::testing::Values(TransferFailure{"FirstFails", 0, -1, 0},
                      TransferFailure{"NothingWritten", 2, 0, 2 * kMaxWriteSize},
                      TransferFailure{"LastFails", 103, -1, 103 * kMaxWriteSize},
                      // A device that claims more than it was given.
                      TransferFailure{"MoreThanAsked", 5, 0x40001, 6 * kMaxWriteSize}),
    testing::ByName());

struct TransferTiming {
    std::int64_t write_ms;
    std::int32_t expected;
    std::size_t writes;
};

class PayloadTimeLimit : public PayloadTransfer,
                         public ::testing::WithParamInterface<TransferTiming> {};

// The limit is tested before each write in whole seconds; the write that starts in time may
// end after it.
TEST_P(PayloadTimeLimit, IsTestedBeforeEachWrite) {
    device.SetWriteMs(GetParam().write_ms);
    EXPECT_EQ(SendFWResource(device, IDR_BINARY_FIRMWARE), GetParam().expected);
    EXPECT_EQ(device.write_calls().size(), GetParam().writes);
}

INSTANTIATE_TEST_SUITE_P(Boundary, PayloadTimeLimit,
                         // 2.9 s a write: 298.7 s before the last one, done at 301.6 s.
                         ::testing::Values(TransferTiming{2'900, kLinkOk, 104},
                                           // 3 s a write: 303 s have passed after 101 writes.
                                           TransferTiming{3'000, kErrTransferTimeout, 101}));

TEST_F(PayloadTransfer, UnknownPayloadWritesNothing) {
    for (const int id : {0, 178, 181}) {
        EXPECT_EQ(SendFWResource(device, static_cast<std::uint16_t>(id)), kErrNoResource) << id;
    }
    EXPECT_TRUE(device.write_calls().empty());
    EXPECT_TRUE(display.calls.empty());
}

// A stand-in build sends no payload to a device that could be a printer: the transfer fails at
// its first write, with nothing written, while queries still go out.
TEST_F(PayloadTransfer, StandInPayloadGoesOnlyWhereNoPrinterCanBe) {
    if (!payloads::kPayloadsAreStandIns) {
        GTEST_SKIP() << "this build carries the maker's payloads";
    }
    const std::string refusal =
        "Refusing to send a stand-in payload to a real printer: this build does not carry the "
        "maker's payloads";
    device.SetCouldBePrinter(true);
    EXPECT_EQ(SendFWResource(device, IDR_BINARY_LOADER), kErrPayloadWrite);
    EXPECT_TRUE(device.bytes().empty());
    EXPECT_EQ(debug.Count(refusal), 1u);
    const auto head = Payload(IDR_BINARY_LOADER).first(64);
    EXPECT_EQ(WriteToDevice(device, head.data(), 34), 34);  // a query is no payload

    device.SetCouldBePrinter(false);
    EXPECT_EQ(SendFWResource(device, IDR_BINARY_LOADER), kLinkOk);
    EXPECT_EQ(debug.Count(refusal), 1u);
}

TEST(LoadBinaryResource, CopiesOnlyIntoABufferThatHoldsThePayload) {
    std::vector<std::uint8_t> buffer(83'750 + 1, 0xEE);
    std::size_t size = 83'750 - 1;
    EXPECT_FALSE(LoadBinaryResource(buffer.data(), size, IDR_BINARY_LOADER));
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](auto b) { return b == 0xEE; }));

    size = buffer.size();
    ASSERT_TRUE(LoadBinaryResource(buffer.data(), size, IDR_BINARY_LOADER));
    EXPECT_EQ(size, 83'750u);
    EXPECT_EQ(buffer.back(), 0xEE);
    const auto payload = platform::FindBinaryResource(IDR_BINARY_LOADER);
    ASSERT_TRUE(payload.has_value());
    EXPECT_TRUE(std::equal(payload->begin(), payload->end(), buffer.begin()));

    size = buffer.size();
    EXPECT_FALSE(LoadBinaryResource(buffer.data(), size, 181));
}

}  // namespace
}  // namespace tessel::link
