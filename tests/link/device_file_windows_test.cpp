// The Windows device file the link runs on, over a named pipe as the emulator serves it, and
// the NUL device as a stand-in for a printer.
#include <windows.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device_reads.h"
#include "platform/device_file.h"
#include "platform/services.h"
#include "virtual_clock.h"

namespace tessel::platform {
namespace {

using namespace std::chrono_literals;

class PipeServer {
  public:
    explicit PipeServer(const std::u16string& name) : path_(u"\\\\.\\pipe\\" + name) {
        handle_ = CreateNamedPipeW(wide().c_str(), PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 65536, 65536,
                                   0, nullptr);
    }
    ~PipeServer() { Close(); }

    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
    const std::u16string& path() const { return path_; }
    bool Connect() {
        return ConnectNamedPipe(handle_, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    }
    void Close() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            DisconnectNamedPipe(handle_);
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }
    std::vector<std::uint8_t> Read(std::size_t count) {
        std::vector<std::uint8_t> out(count);
        std::size_t got = 0;
        while (got < count) {
            DWORD n = 0;
            if (!ReadFile(handle_, out.data() + got, static_cast<DWORD>(count - got), &n,
                          nullptr) ||
                n == 0) {
                break;
            }
            got += n;
        }
        out.resize(got);
        return out;
    }
    bool Write(const std::vector<std::uint8_t>& bytes) {
        DWORD n = 0;
        return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
               n == bytes.size();
    }

  private:
    std::wstring wide() const { return std::wstring(path_.begin(), path_.end()); }
    std::u16string path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

std::u16string UniqueName(const char* what) {
    const std::string name =
        std::string("tessel-") + what + "-" + std::to_string(GetCurrentProcessId());
    return std::u16string(name.begin(), name.end());
}

// Runs `call`, a device call on a client of `server`. When it has not returned after a while of
// real time, closes the server's end, which fails the call, so that the test reports it
// instead of hanging.
std::int32_t ReturnsInTime(PipeServer& server, const std::function<std::int32_t()>& call) {
    auto result = std::async(std::launch::async, call);
    if (result.wait_for(20s) != std::future_status::ready) {
        ADD_FAILURE() << "the device call did not return";
        server.Close();
    }
    return result.get();
}

class WindowsDeviceFile : public ::testing::Test {
  protected:
    // The device waits pass 100 times as fast: a read's second in 10 ms, a write's minute in
    // 0.6 s.
    ScaledClock clock{SystemClock(), 0.01};
    testing::RecordingDebugOutput debug;
    ScopedServices services{{&clock, &debug, &SystemDeviceFiles(), nullptr, nullptr, nullptr}};
};

TEST_F(WindowsDeviceFile, NamedPipeCarriesEveryByteBothWays) {
    PipeServer server(UniqueName("bytes"));
    ASSERT_TRUE(server.ok());
    auto device = SystemDeviceFiles().Open(server.path());
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(server.Connect());

    std::vector<std::uint8_t> bytes(256);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    ASSERT_EQ(device->Write(bytes.data(), 256), 256);
    EXPECT_EQ(server.Read(256), bytes);

    ASSERT_TRUE(server.Write(bytes));
    EXPECT_EQ(testing::ReadBytes(*device, bytes.size()), bytes);
}

TEST_F(WindowsDeviceFile, ClosedPeerFailsReadsAndWrites) {
    PipeServer server(UniqueName("closed"));
    ASSERT_TRUE(server.ok());
    auto device = SystemDeviceFiles().Open(server.path());
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(server.Connect());
    server.Close();

    std::uint8_t buffer[16] = {};
    EXPECT_EQ(device->Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(device->Write(buffer, sizeof buffer), -1);
}

// The waits are measured on the clock: on a compressed one they pass as fast as the clock runs.
TEST_F(WindowsDeviceFile, SilentDeviceReadComesBackEmptyAfterItsWait) {
    PipeServer server(UniqueName("silent"));
    ASSERT_TRUE(server.ok());
    auto device = SystemDeviceFiles().Open(server.path());
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(server.Connect());
    std::uint8_t buffer[16];
    const std::int64_t start = clock.NowMs();
    EXPECT_EQ(ReturnsInTime(server, [&] { return device->Read(buffer, sizeof buffer); }), 0);
    const std::int64_t waited = clock.NowMs() - start;
    EXPECT_GE(waited, kDeviceReadWaitMs);
    EXPECT_LT(waited, 30 * kDeviceReadWaitMs);
}

// A printer that stops reading and stays connected: the write is cancelled after its wait, and
// the handle takes no further write.
TEST_F(WindowsDeviceFile, WriteToADeviceThatStoppedReadingReturnsAfterItsWait) {
    PipeServer server(UniqueName("stalled"));
    ASSERT_TRUE(server.ok());
    auto device = SystemDeviceFiles().Open(server.path());
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(server.Connect());
    const std::vector<std::uint8_t> bytes(1 << 20, 0x5A);  // more than the pipe holds
    const auto size = static_cast<std::uint32_t>(bytes.size());
    const std::int64_t start = clock.NowMs();

    const std::int32_t first =
        ReturnsInTime(server, [&] { return device->Write(bytes.data(), size); });
    EXPECT_GE(first, 0);
    EXPECT_LT(first, static_cast<std::int32_t>(size));
    EXPECT_GE(clock.NowMs() - start, kDeviceWriteWaitMs);
    EXPECT_EQ(ReturnsInTime(server, [&] { return device->Write(bytes.data(), size); }), -1);
}

TEST_F(WindowsDeviceFile, MissingDeviceDoesNotOpen) {
    EXPECT_EQ(SystemDeviceFiles().Open(u"\\\\.\\pipe\\tessel-nobody-listens"), nullptr);
}

// Only a pipe, however its path is spelled, says it is no printer: the link refuses stand-in
// payloads to everything else.
TEST_F(WindowsDeviceFile, OnlyAPipeIsNoPrinter) {
    auto printer = SystemDeviceFiles().Open(u"NUL");
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(printer->CouldBePrinter());

    PipeServer server(UniqueName("payload"));
    ASSERT_TRUE(server.ok());
    std::u16string path = server.path();
    path[2] = u'?';  // \\?\pipe\... names the same pipe
    auto emulator = SystemDeviceFiles().Open(path);
    ASSERT_NE(emulator, nullptr);
    ASSERT_TRUE(server.Connect());
    EXPECT_FALSE(emulator->CouldBePrinter());
}

}  // namespace
}  // namespace tessel::platform
