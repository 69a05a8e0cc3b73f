// Builds throwaway sysfs and /dev trees in the kernel's layout (made by the printer emulator's
// layout writer) and points the Linux backends at them for the life of the object.
#pragma once

#include <filesystem>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel::testing {

inline constexpr char kR7200DeviceId[] = "MFG:Bexlot;CMD:ACL,PJL;MDL:R7200 Series;CLS:PRINTER;";

struct UsbPrinterSpec {
    std::string bus = "1-1";  // the device's sysfs name, its place on the bus
    int lp = 0;               // the lp node's number
    std::string vendor = "7a3c";
    std::string product = "0c12";
    std::optional<std::string> serial = "SER1";
    std::optional<std::string> ieee1284_id = kR7200DeviceId;
    std::string interface_class = "07";
    std::string protocol = "02";
    std::string driver = "usblp";  // empty: no driver bound
    bool lp_node = true;
    // The "descriptors" attribute; unset: the emulated printer's.
    std::optional<std::vector<std::uint8_t>> descriptors;
};

class SysfsTree {
  public:
    SysfsTree();
    ~SysfsTree();
    SysfsTree(const SysfsTree&) = delete;
    SysfsTree& operator=(const SysfsTree&) = delete;

    void AddPrinter(const UsbPrinterSpec& spec);

    // The USB device's folder under devices/.
    std::filesystem::path DeviceDir(const std::string& bus) const;

    const std::filesystem::path root;
    const std::filesystem::path sys;
    const std::filesystem::path dev;

  private:
    std::optional<std::string> saved_sys_;
    std::optional<std::string> saved_dev_;
};

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& text);

}  // namespace tessel::testing
