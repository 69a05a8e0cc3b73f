// One discovery pass (SearchUSBPrint through the Linux backend) over a sysfs tree of twelve
// emulated printers, against a baseline in the same run: the bare open/read/close of the same
// sysfs files the pass needs, with every path worked out beforehand. The tree lives in
// /dev/shm when there is one, which is closer to sysfs (memory) than a disk.
//
//   discovery-benchmark [--benchmark_repetitions=N ...]
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "discovery/usb_discovery.h"
#include "platform/device_config_flags.h"
#include "platform/print_spooler.h"
#include "platform/services.h"
#include "platform/usb_printer_interfaces.h"
#include "sysfs_tree.h"

namespace {

namespace fs = std::filesystem;
using tessel::testing::SysfsTree;
using tessel::testing::UsbPrinterSpec;

constexpr int kEntries = 12;
constexpr int kExamined = 10;

class QuietDebug final : public tessel::platform::DebugOutput {
  public:
    void Write(std::u16string_view) override {}
};

std::unique_ptr<SysfsTree> MakeTree(int printers) {
    if (fs::is_directory("/dev/shm")) {
        ::setenv("TMPDIR", "/dev/shm", 1);
    }
    auto tree = std::make_unique<SysfsTree>();
    for (int lp = 0; lp < printers; ++lp) {
        UsbPrinterSpec spec;
        spec.bus = "1-" + std::to_string(lp + 1);
        spec.lp = lp;
        spec.serial = "SER" + std::to_string(lp);
        tree->AddPrinter(spec);
    }
    return tree;
}

tessel::platform::Services SystemDiscovery(QuietDebug& debug) {
    return tessel::platform::Services{
        &tessel::platform::SystemClock(),        &debug,
        &tessel::platform::SystemDeviceFiles(),  &tessel::platform::SystemUsbPrinterInterfaces(),
        &tessel::platform::SystemPrintSpooler(), &tessel::platform::SystemDeviceConfigFlags()};
}

void RunPasses(benchmark::State& state, int printers) {
    auto tree = MakeTree(printers);
    QuietDebug debug;
    tessel::platform::ScopedServices services(SystemDiscovery(debug));
    std::vector<tessel::discovery::UsbPrinterEntry> list;
    for (auto _ : state) {
        list.clear();
        const std::int32_t result = tessel::discovery::SearchUSBPrint(list);
        if (result != tessel::discovery::kSearchDone ||
            list.size() != static_cast<std::size_t>(std::min(printers, kExamined))) {
            state.SkipWithError("the pass did not find the printers");
            break;
        }
        benchmark::DoNotOptimize(list.data());
    }
}

void BM_DiscoveryPassTwelveEntries(benchmark::State& state) {
    RunPasses(state, kEntries);
}
void BM_DiscoveryPassNoPrinter(benchmark::State& state) {
    RunPasses(state, 0);
}

// The floor: the files a pass reads for each examined entry, read with plain system calls.
void BM_BaselineSysfsReads(benchmark::State& state) {
    auto tree = MakeTree(kEntries);
    std::vector<std::string> files;
    for (int lp = 0; lp < kExamined; ++lp) {
        const fs::path device = tree->DeviceDir("1-" + std::to_string(lp + 1));
        const fs::path interface = device / (device.filename().string() + ":1.0");
        for (const fs::path& f : {interface / "usbmisc" / ("lp" + std::to_string(lp)) / "uevent",
                                  device / "idVendor", device / "idProduct", device / "serial",
                                  interface / "bInterfaceProtocol", interface / "ieee1284_id"}) {
            files.push_back(f.string());
        }
    }
    char buffer[4096];
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& f : files) {
            const int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                state.SkipWithError("a sysfs file is missing");
                return;
            }
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            total += n > 0 ? static_cast<std::size_t>(n) : 0;
            ::close(fd);
        }
        benchmark::DoNotOptimize(total);
    }
}

BENCHMARK(BM_BaselineSysfsReads)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DiscoveryPassNoPrinter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DiscoveryPassTwelveEntries)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
