#include "sysfs_tree.h"

#include "sysfs_layout.h"

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
    return sim::SysfsLayout(sys, dev).UsbDevice(bus);
}

void SysfsTree::AddPrinter(const UsbPrinterSpec& spec) {
    sim::UsbPrinterEntries entries;
    entries.port = spec.bus;
    entries.lp = spec.lp;
    entries.devnum = spec.lp + 2;
    entries.vendor_id = static_cast<std::uint16_t>(std::stoul(spec.vendor, nullptr, 16));
    entries.product_id = static_cast<std::uint16_t>(std::stoul(spec.product, nullptr, 16));
    entries.serial = spec.serial;
    entries.ieee1284_id = spec.ieee1284_id;
    entries.interface_class = static_cast<std::uint8_t>(std::stoul(spec.interface_class, nullptr, 16));
    entries.interface_protocol = static_cast<std::uint8_t>(std::stoul(spec.protocol, nullptr, 16));
    entries.driver = spec.driver;
    entries.lp_node = spec.lp_node;
    entries.descriptors = spec.descriptors;
    sim::SysfsLayout(sys, dev).Add(entries);
}

}  // namespace tessel::testing
