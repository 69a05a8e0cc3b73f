// The Windows device file the link runs on, over a named pipe as the emulator serves it, and
// the NUL device as a stand-in for a printer.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device_reads.h"
#include "payloads/build_info.h"
#include "payloads/payload_format.h"
#include "platform/device_file.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "virtual_clock.h"

namespace tessel::platform {
namespace {

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

class WindowsDeviceFile : public ::testing::Test {
  protected:
    testing::VirtualClock clock;
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

TEST_F(WindowsDeviceFile, MissingDeviceDoesNotOpen) {
    EXPECT_EQ(SystemDeviceFiles().Open(u"\\\\.\\pipe\\tessel-nobody-listens"), nullptr);
}

// A stand-in build must not send a payload to anything but the emulator's pipe.
TEST_F(WindowsDeviceFile, StandInPayloadGoesOnlyToThePipe) {
    if (!payloads::kPayloadsAreStandIns) {
        GTEST_SKIP() << "this build carries the maker's payloads";
    }
    const auto loader = FindBinaryResource(payloads::IDR_BINARY_LOADER);
    ASSERT_TRUE(loader.has_value());
    const std::vector<std::uint8_t> head(loader->begin(), loader->begin() + 64);
    ASSERT_TRUE(payloads::LooksLikePayload(head));
    const std::string refusal =
        "Refusing to send a stand-in payload to a real printer: this build does not carry the "
        "maker's payloads";

    auto printer = SystemDeviceFiles().Open(u"NUL");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->Write(head.data(), 64), -1);
    EXPECT_EQ(debug.Count(refusal), 1u);
    EXPECT_EQ(printer->Write(head.data(), 34), 34);  // a query is no payload

    PipeServer server(UniqueName("payload"));
    ASSERT_TRUE(server.ok());
    auto emulator = SystemDeviceFiles().Open(server.path());
    ASSERT_NE(emulator, nullptr);
    ASSERT_TRUE(server.Connect());
    EXPECT_EQ(emulator->Write(head.data(), 64), 64);
    EXPECT_EQ(server.Read(64), head);
    EXPECT_EQ(debug.Count(refusal), 1u);
}

}  // namespace
}  // namespace tessel::platform
