#include "sysfs_tree.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tessel::testing {
namespace fs = std::filesystem;

namespace {

fs::path MakeTempRoot() {
    std::string pattern = (fs::temp_directory_path() / "tessel-sysfs-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}

std::optional<std::string> Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

// A relative symlink at `link` to `target`, the way sysfs links.
void Link(const fs::path& target, const fs::path& link) {
    fs::create_directories(link.parent_path());
    fs::create_directory_symlink(fs::relative(target, link.parent_path()), link);
}

}  // namespace

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

SysfsTree::SysfsTree()
    : root(MakeTempRoot()),
      sys(root / "sys"),
      dev(root / "dev"),
      saved_sys_(Env("TESSEL_SYSFS_ROOT")),
      saved_dev_(Env("TESSEL_DEV_ROOT")) {
    fs::create_directories(sys);
    fs::create_directories(dev);
    ::setenv("TESSEL_SYSFS_ROOT", sys.c_str(), 1);
    ::setenv("TESSEL_DEV_ROOT", dev.c_str(), 1);
}

SysfsTree::~SysfsTree() {
    Restore("TESSEL_SYSFS_ROOT", saved_sys_);
    Restore("TESSEL_DEV_ROOT", saved_dev_);
    std::error_code ec;
    fs::remove_all(root, ec);
}

fs::path SysfsTree::DeviceDir(const std::string& bus) const {
    return sys / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / bus;
}

void SysfsTree::AddPrinter(const UsbPrinterSpec& spec) {
    const fs::path device = DeviceDir(spec.bus);
    WriteFile(device / "idVendor", spec.vendor + "\n");
    WriteFile(device / "idProduct", spec.product + "\n");
    if (spec.serial) {
        WriteFile(device / "serial", *spec.serial + "\n");
    }
    WriteFile(device / "busnum", "1\n");
    WriteFile(device / "devnum", "5\n");
    WriteFile(device / "manufacturer", "Bexlot\n");
    WriteFile(device / "product", "R7200 Series\n");
    WriteFile(device / "uevent", "DEVTYPE=usb_device\n");
    Link(device, sys / "bus" / "usb" / "devices" / spec.bus);

    const std::string interface_name = spec.bus + ":1.0";
    const fs::path interface = device / interface_name;
    WriteFile(interface / "bInterfaceClass", spec.interface_class + "\n");
    WriteFile(interface / "bInterfaceSubClass", "01\n");
    WriteFile(interface / "bInterfaceProtocol", spec.protocol + "\n");
    if (spec.ieee1284_id) {
        WriteFile(interface / "ieee1284_id", *spec.ieee1284_id + "\n");
    }
    if (!spec.driver.empty()) {
        const fs::path driver = sys / "bus" / "usb" / "drivers" / spec.driver;
        fs::create_directories(driver);
        Link(driver, interface / "driver");
    }

    if (spec.lp_node) {
        const std::string lp = "lp" + std::to_string(spec.lp);
        const fs::path node = interface / "usbmisc" / lp;
        WriteFile(node / "uevent",
                  "MAJOR=180\nMINOR=" + std::to_string(spec.lp) + "\nDEVNAME=usb/" + lp + "\n");
        WriteFile(node / "dev", "180:" + std::to_string(spec.lp) + "\n");
        Link(interface, node / "device");
        Link(node, sys / "class" / "usbmisc" / lp);
        WriteFile(dev / "usb" / lp, "");
    }
}

}  // namespace tessel::testing
