// The libusb device file's contract (platform/device_file.h), in this process against the
// emulator's printer served as a USB device under umockdev: replies read in pieces of any size,
// a read that gets nothing returns 0 after its wait, a write the printer stops taking is cut
// off with the bytes placed and no later write goes out, a vanished device gives -1, and the
// open says why it failed. Runs under umockdev's preload library, as usb_end_to_end_test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "emulator.h"
#include "link/acl_protocol.h"
#include "platform/clock.h"
#include "platform/device_file.h"
#include "platform/services.h"
#include "platform/text.h"
#include "time_scales.h"

namespace tessel::platform {
namespace {

using std::chrono::seconds;

constexpr double kTimeScale = tessel::testing::kShortRunScale;
const std::u16string kNode = u"/dev/bus/usb/001/002";

class UsbDeviceFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* preload = std::getenv("LD_PRELOAD");
        if (!preload || std::string(preload).find("libumockdev-preload") == std::string::npos) {
            GTEST_SKIP() << "needs LD_PRELOAD=libumockdev-preload.so.0 (CTest sets it)";
        }
    }
    void Start(sim::PrinterConfig config = {}) {
        sim::EmulatorOptions options;
        options.printers = {config};
        options.time_scale = kTimeScale;
        options.transport = sim::SimTransport::kUsb;
        std::string error;
        emulator_ = sim::Emulator::Start(options, &error);
        ASSERT_TRUE(emulator_) << error;
    }
    std::unique_ptr<DeviceFile> Open(OpenFailure& failure, const std::u16string& node = kNode) {
        return SystemDeviceFiles().OpenWithReason(node, failure);
    }

    ScaledClock clock_{SystemClock(), kTimeScale};
    ScopedServices services_{[this] {
        Services s = Current();
        s.clock = &clock_;
        return s;
    }()};
    std::unique_ptr<sim::Emulator> emulator_;
};

TEST_F(UsbDeviceFileTest, RepliesArriveInPiecesOfAnySizeAndSilenceReadsZero) {
    Start();
    OpenFailure failure = OpenFailure::kOther;
    auto device = Open(failure);
    ASSERT_TRUE(device);
    EXPECT_EQ(failure, OpenFailure::kNone);

    // Nothing asked, nothing to read: 0 once the read's wait is over.
    std::uint8_t byte = 0;
    EXPECT_EQ(device->Read(&byte, 1), 0);

    // The status query, then its 16-byte reply read 3 bytes at a time: the bytes of one USB
    // transfer wait in the file for the reads that take them.
    const std::vector<std::uint8_t> uel(link::kUel.begin(), link::kUel.end());
    const std::vector<std::uint8_t> enter(link::kEnterAcl.begin(), link::kEnterAcl.end());
    std::vector<std::uint8_t> query(16, 0);  // the header of the status query
    query[0] = 0x00;
    query[1] = 0xAC;
    query[2] = 0xFF;
    query[3] = 0x87;
    const std::vector<std::uint8_t>& header = query;
    for (const std::vector<std::uint8_t>* part : {&uel, &enter, &header, &uel}) {
        ASSERT_EQ(device->Write(part->data(), static_cast<std::uint32_t>(part->size())),
                  static_cast<std::int32_t>(part->size()));
    }
    std::vector<std::uint8_t> reply;
    for (int reads = 0; reply.size() < 16 && reads < 50; ++reads) {
        std::uint8_t piece[3];
        const std::int32_t n = device->Read(piece, sizeof piece);
        ASSERT_GE(n, 0);
        reply.insert(reply.end(), piece, piece + n);
    }
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ(reply[0], 0x00);
    EXPECT_EQ(reply[1], 0xAC);
    EXPECT_EQ(reply[2], 0xFF);
    EXPECT_EQ(reply[3], 0x87);
    EXPECT_EQ(emulator_->usb_counters().zero_length_out, 0u);
}

// A printer that takes a byte a second cannot take a block within the write's bound: the write
// comes back with what it placed, and the handle writes nothing more.
TEST_F(UsbDeviceFileTest, AWriteThePrinterStopsTakingIsCutOff) {
    sim::PrinterConfig slow;
    slow.faults.throughput = 1;
    Start(slow);
    OpenFailure failure = OpenFailure::kOther;
    auto device = Open(failure);
    ASSERT_TRUE(device);
    const std::vector<std::uint8_t> block(0x40000, 0x20);
    const std::int32_t placed = device->Write(block.data(), static_cast<std::uint32_t>(block.size()));
    EXPECT_GE(placed, 0);
    EXPECT_LT(placed, static_cast<std::int32_t>(block.size()));
    EXPECT_EQ(device->Write(block.data(), 1), -1);
    EXPECT_GE(emulator_->usb_counters().discarded, 1u);
}

TEST_F(UsbDeviceFileTest, AVanishedDeviceGivesMinusOne) {
    Start();
    OpenFailure failure = OpenFailure::kOther;
    auto device = Open(failure);
    ASSERT_TRUE(device);
    const std::size_t from = emulator_->Events().size();
    emulator_->Replug(0);  // gone, and back at once under another device number
    ASSERT_TRUE(emulator_->WaitFor([](const sim::Json& e) { return e["event"] == "appear"; },
                                   seconds(10), from));
    std::uint8_t byte = 0x20;
    EXPECT_EQ(device->Write(&byte, 1), -1);
    EXPECT_EQ(device->Read(&byte, 1), -1);
    // The old node is gone; the printer answers on its new one.
    EXPECT_FALSE(Open(failure));
    EXPECT_EQ(failure, OpenFailure::kNoDevice);
    EXPECT_TRUE(Open(failure, u"/dev/bus/usb/001/003"));
}

TEST_F(UsbDeviceFileTest, AnOpenThatFailsSaysWhy) {
    Start();
    OpenFailure failure = OpenFailure::kOther;
    auto first = Open(failure);
    ASSERT_TRUE(first);
    // The interface is claimed by the first handle, as by another program.
    EXPECT_FALSE(Open(failure));
    EXPECT_EQ(failure, OpenFailure::kBusy);
    first.reset();
    EXPECT_TRUE(Open(failure));
    EXPECT_FALSE(Open(failure, u"/dev/bus/usb/001/077"));
    EXPECT_EQ(failure, OpenFailure::kNoDevice);
}

}  // namespace
}  // namespace tessel::platform
