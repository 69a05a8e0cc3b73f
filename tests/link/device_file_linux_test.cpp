// The Linux device file the link runs on, over real kernel objects: a pseudo-terminal pair as
// the emulator serves it, a pipe, /dev/null as a stand-in for a printer's character device.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device_reads.h"
#include "platform/linux/device_file_linux.h"
#include "platform/services.h"
#include "platform/text.h"
#include "virtual_clock.h"

namespace tessel::platform {
namespace {

using namespace std::chrono_literals;

class PseudoTerminal {
  public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            slave_path_ = ::ptsname(master_);
        }
    }
    ~PseudoTerminal() { CloseMaster(); }

    std::u16string slave_path() const { return Utf8ToUtf16(slave_path_); }
    int master() const { return master_; }
    void CloseMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    // Reads `count` bytes from the master, giving up after a few seconds without data.
    std::vector<std::uint8_t> ReadMaster(std::size_t count) const {
        std::vector<std::uint8_t> out;
        std::uint8_t buffer[512];
        while (out.size() < count) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) {
                break;
            }
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            out.insert(out.end(), buffer, buffer + n);
        }
        return out;
    }

  private:
    int master_ = -1;
    std::string slave_path_;
};

std::vector<std::uint8_t> EveryByteValue() {
    std::vector<std::uint8_t> bytes(256);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}

// Runs `call`, a device call on the slave of `pty`. When it has not returned after a while
// of real time, closes the master, which fails the call, so that the test reports it instead
// of hanging.
std::int32_t ReturnsInTime(PseudoTerminal& pty, const std::function<std::int32_t()>& call) {
    auto result = std::async(std::launch::async, call);
    if (result.wait_for(20s) != std::future_status::ready) {
        ADD_FAILURE() << "the device call did not return";
        pty.CloseMaster();
    }
    return result.get();
}

class LinuxDeviceFile : public ::testing::Test {
  protected:
    // The device waits pass 100 times as fast: a read's second in 10 ms, a write's minute in
    // 0.6 s.
    ScaledClock clock{SystemClock(), 0.01};
    testing::RecordingDebugOutput debug;
    DeviceFiles& files = SystemDeviceFiles();
    ScopedServices services{{&clock, &debug, &files, nullptr, nullptr, nullptr}};
};

// Control characters, line ends and bytes above 0x7F pass unchanged both ways, although the
// terminal starts in its default (cooked) mode.
TEST_F(LinuxDeviceFile, PseudoTerminalCarriesEveryByteUnchanged) {
    PseudoTerminal pty;
    auto device = files.Open(pty.slave_path());
    ASSERT_NE(device, nullptr);
    const auto bytes = EveryByteValue();

    ASSERT_EQ(device->Write(bytes.data(), 256), 256);
    EXPECT_EQ(pty.ReadMaster(256), bytes);

    ASSERT_EQ(::write(pty.master(), bytes.data(), bytes.size()), 256);
    EXPECT_EQ(testing::ReadBytes(*device, bytes.size()), bytes);
}

// The wait is measured on the clock: on a compressed one it passes as fast as the clock runs.
TEST_F(LinuxDeviceFile, SilentDeviceReadComesBackEmptyAfterItsWait) {
    PseudoTerminal pty;
    auto device = files.Open(pty.slave_path());
    ASSERT_NE(device, nullptr);
    std::uint8_t buffer[16];
    const std::int64_t start = clock.NowMs();
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);
    const std::int64_t waited = clock.NowMs() - start;
    EXPECT_GE(waited, kDeviceReadWaitMs);
    EXPECT_LT(waited, 30 * kDeviceReadWaitMs);
}

// A printer that stops reading and stays connected: the write comes back after its wait with
// what the terminal's buffers took, and the handle takes no further write.
TEST_F(LinuxDeviceFile, WriteToADeviceThatStoppedReadingReturnsAfterItsWait) {
    PseudoTerminal pty;
    auto device = files.Open(pty.slave_path());
    ASSERT_NE(device, nullptr);
    const std::vector<std::uint8_t> bytes(1 << 20, 0x5A);  // more than the buffers hold
    const auto size = static_cast<std::uint32_t>(bytes.size());
    const std::int64_t start = clock.NowMs();

    const std::int32_t first =
        ReturnsInTime(pty, [&] { return device->Write(bytes.data(), size); });
    EXPECT_GT(first, 0);
    EXPECT_LT(first, static_cast<std::int32_t>(size));
    EXPECT_GE(clock.NowMs() - start, kDeviceWriteWaitMs);
    EXPECT_EQ(ReturnsInTime(pty, [&] { return device->Write(bytes.data(), size); }), -1);
}

// A printer that pauses for less than the wait gets every byte of the write.
TEST_F(LinuxDeviceFile, WriteRidesOutABriefPause) {
    PseudoTerminal pty;
    auto device = files.Open(pty.slave_path());
    ASSERT_NE(device, nullptr);
    const std::vector<std::uint8_t> bytes(1 << 20, 0x5A);
    std::thread printer([&] {
        clock.SleepMs(static_cast<std::uint32_t>(kDeviceWriteWaitMs / 2));
        EXPECT_EQ(pty.ReadMaster(bytes.size()).size(), bytes.size());
    });
    EXPECT_EQ(device->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size())),
              static_cast<std::int32_t>(bytes.size()));
    printer.join();
}

TEST_F(LinuxDeviceFile, ClosedPeerFailsReadsAndWrites) {
    PseudoTerminal pty;
    auto device = files.Open(pty.slave_path());
    ASSERT_NE(device, nullptr);
    pty.CloseMaster();
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(device->Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(device->Write(buffer, sizeof buffer), -1);
}

TEST_F(LinuxDeviceFile, MissingDeviceDoesNotOpen) {
    EXPECT_EQ(files.Open(u"/nonexistent/usb/lp9"), nullptr);
}

// What may be a printer (a character device other than a pseudo-terminal) says so; the
// emulator's terminal, pipes and files do not. The link refuses stand-in payloads to the first.
TEST_F(LinuxDeviceFile, SaysWhetherItCouldBeAPrinter) {
    auto printer = files.Open(u"/dev/null");
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(printer->CouldBePrinter());

    PseudoTerminal pty;
    const auto dir =
        std::filesystem::temp_directory_path() / ("tessel-device-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string fifo = (dir / "fifo").string();
    const std::string file = (dir / "file").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::fclose(std::fopen(file.c_str(), "wb"));
    for (const std::string& path : {std::string(::ptsname(pty.master())), fifo, file}) {
        auto device = files.Open(Utf8ToUtf16(path));
        ASSERT_NE(device, nullptr) << path;
        EXPECT_FALSE(device->CouldBePrinter()) << path;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tessel::platform
