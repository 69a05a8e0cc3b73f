// The descriptors a USB device reports, with any bytes: the reading of the printer interface,
// and the Linux backend and discovery over a device whose sysfs "descriptors" attribute holds
// them (a printer that no kernel driver holds, so only the descriptors decide). The printer is
// listed on its USB device node exactly when the reading finds the printer interface, and named
// unusable with the reading's problem otherwise; what is found is always a usable pair of bulk
// endpoints of the active configuration.
//
// Input: a byte that is the active configuration's value (0: none known), then the descriptors.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "discovery/unusable_printers.h"
#include "discovery/usb_discovery.h"
#include "fuzz_input.h"
#include "platform/usb_descriptors.h"
#include "sysfs_tree.h"

namespace {

using namespace tessel;
namespace fs = std::filesystem;

struct Files {
    fs::path descriptors;
    fs::path configuration;
};

Files& Tree() {
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec)) {
        ::setenv("TMPDIR", "/dev/shm", 1);
    }
    static testing::SysfsTree tree;
    static Files files = [] {
        testing::UsbPrinterSpec unbound;
        unbound.driver.clear();
        unbound.lp_node = false;
        tree.AddPrinter(unbound);
        const fs::path device = tree.DeviceDir("1-1");
        return Files{device / "descriptors", device / "bConfigurationValue"};
    }();
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::uint8_t active_byte = in.Byte();
    const std::vector<std::uint8_t> bytes = in.ByteVector(in.size());
    const std::optional<std::uint8_t> active =
        active_byte ? std::optional<std::uint8_t>(active_byte) : std::nullopt;

    const platform::UsbPrinterInterfaceResult found =
        platform::FindUsbPrinterInterface(bytes, active);
    FUZZ_CHECK(found.printer.has_value() == (found.problem == platform::DescriptorProblem::kNone));
    if (found.printer) {
        const platform::UsbPrinterInterface& p = *found.printer;
        FUZZ_CHECK((p.out_endpoint & 0x80) == 0 && (p.out_endpoint & 0x0F) != 0);
        FUZZ_CHECK((p.in_endpoint & 0x80) != 0 && (p.in_endpoint & 0x0F) != 0);
        FUZZ_CHECK(p.out_max_packet != 0 && p.in_max_packet != 0);
        FUZZ_CHECK(!active || p.configuration == *active);
    }

    // The same bytes through sysfs, the backend and discovery.
    const Files& files = Tree();
    {
        std::ofstream out(files.descriptors, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    if (active) {
        testing::WriteFile(files.configuration, std::to_string(*active) + "\n");
    } else {
        fs::remove(files.configuration);
    }
    std::vector<discovery::FoundUsbPrinter> listed;
    FUZZ_CHECK(discovery::SearchUSBPrinters(listed) == discovery::kSearchDone);
    const std::vector<discovery::UnusablePrinter> unusable = discovery::FindUnusablePrinters();
    if (found.printer) {
        FUZZ_CHECK(listed.size() == 1 && unusable.empty());
        FUZZ_CHECK(listed[0].transport == platform::DeviceTransport::kUsbDevice);
    } else {
        FUZZ_CHECK(listed.empty() && unusable.size() == 1);
        FUZZ_CHECK(unusable[0].reason == discovery::UnusableReason::kOddDescriptors &&
                   unusable[0].descriptor_problem == found.problem);
    }
    return 0;
}
