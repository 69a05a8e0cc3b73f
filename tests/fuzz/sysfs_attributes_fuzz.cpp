// The sysfs attributes the Linux backend reads for a USB printer, with any bytes and of any
// length: the lp node's uevent (its DEVNAME), the interface's ieee1284_id (the device ID the
// port URI is built from) and the device's serial number. One printer's entries are made
// once in a throwaway tree; each input rewrites the three attributes (or removes them) and
// runs the backend and a discovery pass over them.
//
// Input: a byte of flags (bit 0: uevent present, bit 1: ieee1284_id present, bit 2: serial
// present), the uevent and the ieee1284_id each after a two-byte length, then the serial.
#include <cups/http.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "discovery/usb_discovery.h"
#include "fuzz_input.h"
#include "platform/linux/sysfs_usb.h"
#include "platform/text.h"
#include "platform/usb_names.h"
#include "platform/usb_printer_interfaces.h"
#include "sysfs_tree.h"

namespace {

using namespace tessel;
namespace fs = std::filesystem;
namespace sysfs = platform::sysfs;

constexpr char16_t kDeviceId[] = u"USB\\VID_7A3C&PID_0C12";

struct Attributes {
    fs::path uevent;
    fs::path ieee1284_id;
    fs::path serial;
};

Attributes& Tree() {
    // In memory where the system offers it: every run writes three files.
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec)) {
        ::setenv("TMPDIR", "/dev/shm", 1);
    }
    static testing::SysfsTree tree;
    static Attributes attributes = [] {
        tree.AddPrinter({});
        const fs::path device = tree.DeviceDir("1-1");
        const fs::path interface = device / "1-1:1.0";
        return Attributes{interface / "usbmisc" / "lp0" / "uevent", interface / "ieee1284_id",
                          device / "serial"};
    }();
    return attributes;
}

void Place(const fs::path& file, bool present, const std::string& text) {
    if (present) {
        testing::WriteFile(file, text);
    } else {
        fs::remove(file);
    }
}

// No blank, control character below DEL or anything beyond ASCII: libcups percent-encodes them
// (DEL it leaves, as in the URIs of the CUPS usb backend, which the port must equal).
bool EncodedAscii(std::u16string_view text) {
    for (char16_t c : text) {
        if (c <= u' ' || c > 0x7F) {
            return false;
        }
    }
    return true;
}

// The device path stays a path below the /dev root: no parent steps, no zero characters.
bool BelowDevRoot(const std::u16string& device_path) {
    const std::string dev_root = sysfs::DevRoot().string() + "/";
    const std::string path = platform::Utf16ToUtf8(device_path);
    if (path.find('\0') != std::string::npos || !path.starts_with(dev_root)) {
        return false;
    }
    for (const fs::path& part : fs::path(path.substr(dev_root.size()))) {
        if (part == "..") {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Attributes& files = Tree();
    fuzz::FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::string uevent = in.Be16Text();
    const std::string ieee1284_id = in.Be16Text();
    const std::string serial = in.Text(in.size());
    Place(files.uevent, (flags & 1) != 0, uevent);
    Place(files.ieee1284_id, (flags & 2) != 0, ieee1284_id);
    Place(files.serial, (flags & 4) != 0, serial);

    auto set = platform::SystemUsbPrinterInterfaces().OpenPresent();
    FUZZ_CHECK(set && set->SelectElement(0));
    const std::optional<std::u16string> instance_id = set->InstanceId();
    FUZZ_CHECK(instance_id && platform::EnumeratorCovers(kDeviceId, *instance_id));
    // Whatever the serial number holds, the ID carries it whole or the location stands in.
    const std::u16string_view tail = std::u16string_view(*instance_id).substr(22);
    FUZZ_CHECK(instance_id->size() > 22 && (*instance_id)[21] == u'\\');
    std::string readable = serial;
    if (!readable.empty() && readable.back() == '\n') {
        readable.pop_back();
    }
    if ((flags & 4) != 0 && !readable.empty() && serial.size() <= sysfs::kMaxAttributeBytes) {
        FUZZ_CHECK(tail == platform::Utf8ToUtf16(readable));
    } else {
        FUZZ_CHECK(tail == platform::LocationInstanceTail(u"1-1"));
    }

    FUZZ_CHECK(set->SelectFirstInterface());
    const std::optional<std::uint32_t> detail_size = set->InterfaceDetailSize();
    FUZZ_CHECK(detail_size);
    const std::optional<platform::InterfaceDetail> detail = set->ReadInterfaceDetail(*detail_size);
    FUZZ_CHECK(detail && BelowDevRoot(detail->device_path));

    auto parameters = set->OpenDeviceParameters(set->DeviceParametersName(detail->device_path));
    FUZZ_CHECK(parameters);
    const platform::PortValue port = parameters->ReadPort();
    FUZZ_CHECK(port.kind != platform::PortValue::Kind::kNumber);
    if (port.kind == platform::PortValue::Kind::kName) {
        // A well-formed usb: URI that reads back to the make it was built from.
        FUZZ_CHECK((flags & 2) != 0 && port.name.starts_with(u"usb://") &&
                   EncodedAscii(port.name));
        const std::string uri = platform::Utf16ToUtf8(port.name);
        // libcups will not read back a URI with DEL in it (nor one its usb backend made so).
        if (uri.find('\x7F') == std::string::npos) {
            char scheme[32], user[256], host[1024], resource[1024];
            int port_number = 0;
            FUZZ_CHECK(httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme,
                                       user, sizeof user, host, sizeof host, &port_number,
                                       resource, sizeof resource) >= HTTP_URI_STATUS_OK);
            const platform::UsbDeviceUriParts parts = platform::UsbDeviceUriPartsFrom(
                sysfs::ReadAttribute(files.ieee1284_id).value_or(""),
                sysfs::ReadAttribute(files.serial), 0);
            FUZZ_CHECK(std::string(scheme) == "usb" && parts.make == host);
        }
    }

    // The discovery pass over the same entries finds the printer with the same answers (the
    // instance ID as it matched, which a long serial number makes a cut one).
    std::vector<discovery::FoundUsbPrinter> found;
    FUZZ_CHECK(discovery::SearchUSBPrinters(found) == discovery::kSearchDone);
    FUZZ_CHECK(found.size() == 1 && instance_id->starts_with(found[0].instance_id) &&
               found[0].device_path == detail->device_path);
    FUZZ_CHECK(port.kind != platform::PortValue::Kind::kName || found[0].port == port.name);
    return 0;
}
