// The Linux front: what the tool's discovery reads, and the pseudo-terminal it talks through.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "emulator.h"
#include "platform/device_file.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "sim_streams.h"

namespace tessel::sim::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Printer time runs 1000 times as fast: the 50-second restart takes 50 ms.
constexpr double kTimeScale = 0.001;
constexpr auto kBound = 10s;
// A restart that lasts a second of real time at that scale: what a test looks at while the
// printer is away is still so when a busy machine is slow to look.
constexpr std::uint32_t kLongRestartSeconds = 1000;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

auto Is(std::string_view event, int printer = 0) {
    return [event = std::string(event), printer](const Json& e) {
        return e["event"] == event && e.value("printer", -1) == printer;
    };
}

std::unique_ptr<Emulator> StartOrFail(const EmulatorOptions& options) {
    std::string error;
    auto emulator = Emulator::Start(options, &error);
    EXPECT_TRUE(emulator) << error;
    return emulator;
}

std::unique_ptr<platform::DeviceFile> OpenNode(const Emulator& e, int lp) {
    return platform::SystemDeviceFiles().Open(
        platform::Utf8ToUtf16(e.dev_root() + "/usb/lp" + std::to_string(lp)));
}

bool WriteAll(platform::DeviceFile& file, const Bytes& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const auto n = file.Write(
            bytes.data() + at,
            static_cast<std::uint32_t>(std::min<std::size_t>(bytes.size() - at, 0x40000)));
        if (n <= 0) {
            return false;
        }
        at += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads `count` bytes; returns what each read brought.
std::vector<Bytes> ReadReply(platform::DeviceFile& file, std::size_t count) {
    std::vector<Bytes> reads;
    std::size_t have = 0;
    while (have < count) {
        Bytes piece(count - have);
        const auto n = file.Read(piece.data(), static_cast<std::uint32_t>(piece.size()));
        if (n <= 0) {
            break;
        }
        piece.resize(static_cast<std::size_t>(n));
        have += piece.size();
        reads.push_back(std::move(piece));
    }
    return reads;
}

Bytes Joined(const std::vector<Bytes>& reads) {
    Bytes out;
    for (const auto& r : reads) {
        Append(out, r);
    }
    return out;
}

TEST(Emulator, PresentsEachPrinterAsTheKernelDoesAndRemovesItAll) {
    EmulatorOptions options;
    options.time_scale = kTimeScale;
    options.printers.resize(12);
    for (std::size_t i = 0; i < options.printers.size(); ++i) {
        options.printers[i].serial = "SER" + std::to_string(i + 1);
    }
    PrinterConfig& bare = options.printers[1];  // no serial, no IEEE 1284 ID, 1284.4
    bare.product_id = 0x0C14;
    bare.product = "R7400 Series";
    bare.serial.reset();
    bare.has_ieee1284_id = false;
    bare.interface_protocol = 3;
    PrinterConfig& other = options.printers[2];  // another maker
    other.vendor_id = 0x04B8;
    other.product_id = 0x0005;
    other.manufacturer = "Other";
    other.product = "Laser";

    auto e = StartOrFail(options);
    ASSERT_TRUE(e);
    const fs::path sys = e->sysfs_root();
    const fs::path usb1 = sys / "devices/pci0000:00/0000:00:14.0/usb1";

    // The first printer, entry by entry.
    EXPECT_EQ(fs::read_symlink(sys / "class/usbmisc/lp0"),
              "../../devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/usbmisc/lp0");
    EXPECT_EQ(fs::read_symlink(sys / "bus/usb/devices/1-1"),
              "../../../devices/pci0000:00/0000:00:14.0/usb1/1-1");
    const std::map<std::string, std::string> device_files = {
        {"1-1/idVendor", "7a3c\n"},
        {"1-1/idProduct", "0c12\n"},
        {"1-1/serial", "SER1\n"},
        {"1-1/busnum", "1\n"},
        {"1-1/devnum", "2\n"},
        {"1-1/manufacturer", "Bexlot\n"},
        {"1-1/product", "R7200 Series\n"},
        {"1-1/1-1:1.0/bInterfaceClass", "07\n"},
        {"1-1/1-1:1.0/bInterfaceSubClass", "01\n"},
        {"1-1/1-1:1.0/bInterfaceProtocol", "02\n"},
        {"1-1/1-1:1.0/ieee1284_id", "MFG:Bexlot;CMD:ACL,PJL;MDL:R7200 Series;CLS:PRINTER;\n"},
        {"1-1/1-1:1.0/usbmisc/lp0/uevent", "MAJOR=180\nMINOR=0\nDEVNAME=usb/lp0\n"},
        {"1-1/1-1:1.0/usbmisc/lp0/dev", "180:0\n"},
        {"1-2/idProduct", "0c14\n"},
        {"1-2/1-2:1.0/bInterfaceProtocol", "03\n"},
        {"1-3/idVendor", "04b8\n"},
        {"1-3/1-3:1.0/ieee1284_id", "MFG:Other;CMD:ACL,PJL;MDL:Laser;CLS:PRINTER;\n"},
        {"1-12/serial", "SER12\n"},
        {"1-12/1-12:1.0/usbmisc/lp11/dev", "180:11\n"},
    };
    for (const auto& [file, text] : device_files) {
        EXPECT_EQ(ReadText(usb1 / file), text) << file;
    }
    EXPECT_FALSE(fs::exists(usb1 / "1-2/serial"));
    EXPECT_FALSE(fs::exists(usb1 / "1-2/1-2:1.0/ieee1284_id"));
    EXPECT_EQ(fs::read_symlink(usb1 / "1-1/1-1:1.0/usbmisc/lp0/device"), "../../../1-1:1.0");
    EXPECT_EQ(fs::canonical(sys / "class/usbmisc/lp0/device"), fs::canonical(usb1 / "1-1/1-1:1.0"));

    // Twelve printers, twelve class entries and nodes, each a raw pseudo-terminal.
    for (int lp = 0; lp < 12; ++lp) {
        SCOPED_TRACE(lp);
        EXPECT_TRUE(fs::is_directory(sys / "class/usbmisc" / ("lp" + std::to_string(lp))));
        const fs::path node = fs::path(e->dev_root()) / "usb" / ("lp" + std::to_string(lp));
        EXPECT_EQ(fs::read_symlink(node).string().rfind("/dev/pts/", 0), 0u);
        const int fd = ::open(node.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(::isatty(fd));
        ::close(fd);
    }

    auto handle = OpenNode(*e, 0);
    ASSERT_TRUE(handle);
    const fs::path dir = fs::path(e->sysfs_root()).parent_path();
    e->Stop();
    EXPECT_FALSE(fs::exists(dir));
    const Bytes query = StatusQuery();
    EXPECT_EQ(handle->Write(query.data(), static_cast<std::uint32_t>(query.size())), -1);
}

TEST(Emulator, StatusReplyInPiecesReachesTheClientIntactAndTheLogHasItsBytes) {
    EmulatorOptions options;
    options.time_scale = kTimeScale;
    options.printers[0].status = 4;
    options.printers[0].faults.split_piece = 10;
    options.printers[0].faults.split_pause_ms = 200'000;  // 200 ms of real time
    auto e = StartOrFail(options);
    ASSERT_TRUE(e);
    auto handle = OpenNode(*e, 0);
    ASSERT_TRUE(handle);

    const Bytes query = StatusQuery();
    ASSERT_TRUE(WriteAll(*handle, query));
    const auto reads = ReadReply(*handle, 16);
    Bytes expected = Header(link::kCmdStatus);
    expected[6] = 4;
    EXPECT_EQ(Joined(reads), expected);
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads[0].size(), 10u);

    const auto job = e->WaitFor(Is("job"), kBound);
    ASSERT_TRUE(job);
    EXPECT_EQ((*job)["bytes"], Hex(query));
}

// A client that puts the terminal into raw mode itself (blocking reads) still meets reads
// that return 0 bytes.
TEST(Emulator, ReadsReturnZeroBytesWhenSoConfigured) {
    EmulatorOptions options;
    options.time_scale = kTimeScale;
    options.printers[0].faults.zero_reads = kAllQueries;
    auto e = StartOrFail(options);
    ASSERT_TRUE(e);
    const std::string node = e->dev_root() + "/usb/lp0";
    const int fd = ::open(node.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::cfmakeraw(&tio);
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);

    const Bytes query = StatusQuery();
    ASSERT_EQ(::write(fd, query.data(), query.size()), static_cast<ssize_t>(query.size()));
    ASSERT_TRUE(e->WaitFor(Is("no_answer"), kBound));
    // Blocking reads would hang here: read on a helper, and stop the emulator (which hangs
    // the terminal up) if they do not come back.
    auto reads = std::async(std::launch::async, [fd] {
        std::vector<ssize_t> results;
        std::uint8_t buffer[16];
        for (int i = 0; i < 3; ++i) {
            results.push_back(::read(fd, buffer, sizeof buffer));
        }
        return results;
    });
    if (reads.wait_for(kBound) != std::future_status::ready) {
        ADD_FAILURE() << "reads blocked";
        e->Stop();
    }
    EXPECT_EQ(reads.get(), (std::vector<ssize_t>{0, 0, 0}));
    ::close(fd);
}

// The whole upgrade over the pseudo-terminal with the payloads the tool carries: the loader
// makes the printer vanish and come back under a new node, the firmware image makes it burn,
// restart and report the new version.
TEST(Emulator, UpgradeThroughThePseudoTerminal) {
    EmulatorOptions options;
    options.time_scale = kTimeScale;
    options.printers[0].restart_delay_s = kLongRestartSeconds;
    auto e = StartOrFail(options);
    ASSERT_TRUE(e);
    const fs::path sys = e->sysfs_root();
    const fs::path dev = e->dev_root();
    const auto loader = platform::FindBinaryResource(payloads::IDR_BINARY_LOADER);
    const auto firmware = platform::FindBinaryResource(payloads::IDR_BINARY_FIRMWARE);
    ASSERT_TRUE(loader && firmware);

    auto handle = OpenNode(*e, 0);
    ASSERT_TRUE(handle);
    ASSERT_TRUE(WriteAll(*handle, Bytes(loader->begin(), loader->end())));
    std::size_t at = 0;
    const auto accepted = e->WaitFor(Is("payload"), kBound, 0, &at);
    ASSERT_TRUE(accepted);
    EXPECT_EQ((*accepted)["valid"], true) << (*accepted)["reason"];

    // Gone: entries and node removed, the open handle fails.
    const auto gone = e->WaitFor(Is("disconnect"), kBound, at, &at);
    ASSERT_TRUE(gone);
    EXPECT_FALSE(fs::exists(sys / "class/usbmisc/lp0"));
    EXPECT_FALSE(fs::is_symlink(dev / "usb/lp0"));
    EXPECT_FALSE(fs::exists(sys / "bus/usb/devices/1-1"));
    const Bytes query = StatusQuery();
    EXPECT_EQ(handle->Write(query.data(), static_cast<std::uint32_t>(query.size())), -1);
    handle.reset();

    // Back under the lowest free lp number, which is its own again, and a new device number.
    const auto back = e->WaitFor(Is("appear"), kBound, at, &at);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)["lp"], 0);
    EXPECT_EQ((*back)["mode"], "loader");
    // Not before the restart delay (on real time, a little after it).
    EXPECT_GE((*back)["t_ms"].get<std::int64_t>() - (*gone)["t_ms"].get<std::int64_t>(),
              std::int64_t{kLongRestartSeconds} * 1000);
    EXPECT_TRUE(fs::is_directory(sys / "class/usbmisc/lp0"));
    EXPECT_EQ(ReadText(sys / "bus/usb/devices/1-1/devnum"), "3\n");

    handle = OpenNode(*e, 0);
    ASSERT_TRUE(handle);
    ASSERT_TRUE(WriteAll(*handle, Bytes(firmware->begin(), firmware->end())));
    const auto burned = e->WaitFor(Is("payload"), kBound, at, &at);
    ASSERT_TRUE(burned);
    EXPECT_EQ((*burned)["kind"], "firmware");
    EXPECT_EQ((*burned)["valid"], true) << (*burned)["reason"];
    handle.reset();

    const auto again = e->WaitFor(Is("appear"), kBound, at, &at);
    ASSERT_TRUE(again);
    EXPECT_EQ((*again)["lp"], 0);
    EXPECT_EQ((*again)["version"], "3.3.3.8");
    handle = OpenNode(*e, 0);
    ASSERT_TRUE(handle);
    ASSERT_TRUE(WriteAll(*handle, VersionQuery()));
    const Bytes reply = Joined(ReadReply(*handle, 16 + 7));
    ASSERT_EQ(reply.size(), 23u);
    EXPECT_EQ(std::string(reply.begin() + 16, reply.end()), "3.3.3.8");
}

// lp numbers go out as the kernel gives them: the lowest one free. A printer that restarts
// while the other one was plugged in again comes back above it.
TEST(Emulator, EachAppearanceTakesTheLowestFreeLpNumber) {
    EmulatorOptions options;
    options.time_scale = kTimeScale;
    options.printers.resize(2);
    options.printers[0].restart_delay_s = kLongRestartSeconds;  // printer 1 is back before it
    options.printers[1].serial = "SER2";
    auto e = StartOrFail(options);
    ASSERT_TRUE(e);
    const fs::path sys = e->sysfs_root();
    auto device_of = [&](int lp) {
        return fs::canonical(sys / "class/usbmisc" / ("lp" + std::to_string(lp)) / "device")
            .parent_path()
            .filename()
            .string();
    };
    ASSERT_EQ(device_of(0), "1-1");
    ASSERT_EQ(device_of(1), "1-2");

    // Printer 0 takes the loader and leaves lp0 free.
    const auto loader = platform::FindBinaryResource(payloads::IDR_BINARY_LOADER);
    ASSERT_TRUE(loader);
    auto handle = OpenNode(*e, 0);
    ASSERT_TRUE(handle);
    ASSERT_TRUE(WriteAll(*handle, Bytes(loader->begin(), loader->end())));
    handle.reset();
    std::size_t at = 0;
    ASSERT_TRUE(e->WaitFor(Is("disconnect", 0), kBound, 0, &at));

    // Printer 1, plugged in again meanwhile, takes lp0; printer 0 comes back under lp1.
    e->Replug(1);
    const auto moved = e->WaitFor(Is("appear", 1), kBound, at, &at);
    ASSERT_TRUE(moved);
    EXPECT_EQ((*moved)["lp"], 0);
    EXPECT_EQ((*moved)["mode"], "normal");
    const auto back = e->WaitFor(Is("appear", 0), kBound, at, &at);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)["lp"], 1);
    EXPECT_EQ((*back)["mode"], "loader");
    EXPECT_EQ(device_of(0), "1-2");
    EXPECT_EQ(device_of(1), "1-1");
}

}  // namespace
}  // namespace tessel::sim::testing
