// Writes the udev rule that gives the seated user access to the supported printers: the USB
// device itself and its usblp node. The IDs come from the supported-devices table, so a row
// added there reaches the rule with the next build.
//
//   tessel-udev-rule <output file>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "discovery/supported_devices.h"
#include "platform/text.h"

namespace {

using tessel::discovery::kHardIdCapacity;
using tessel::discovery::SupportedDeviceTable;

// "USB\VID_7a3c&PID_0c12" gives {"7a3c", "0c12"}, in lower case as sysfs writes them.
bool VendorAndProduct(std::u16string_view hard_id, std::pair<std::string, std::string>& ids) {
    constexpr std::u16string_view kVid = u"USB\\VID_";
    constexpr std::u16string_view kPid = u"&PID_";
    if (hard_id.size() != kVid.size() + 4 + kPid.size() + 4 || !hard_id.starts_with(kVid) ||
        hard_id.substr(kVid.size() + 4, kPid.size()) != kPid) {
        return false;
    }
    auto hex = [](std::u16string_view digits, std::string& out) {
        for (char16_t c : digits) {
            if (c >= u'A' && c <= u'F') {
                c = static_cast<char16_t>(c + 32);
            }
            if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) {
                return false;
            }
            out.push_back(static_cast<char>(c));
        }
        return true;
    };
    ids = {};
    return hex(hard_id.substr(kVid.size(), 4), ids.first) &&
           hex(hard_id.substr(kVid.size() + 4 + kPid.size()), ids.second);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tessel-udev-rule <output file>\n";
        return 64;
    }
    std::set<std::pair<std::string, std::string>> seen;
    std::string rules =
        "# Gives the user at the seat access to the printers Tessel upgrades: the USB device\n"
        "# and its usblp node (/dev/usb/lp*). Generated from Tessel's supported-devices table.\n";
    for (const auto& row : SupportedDeviceTable) {
        std::pair<std::string, std::string> ids;
        if (!VendorAndProduct(tessel::platform::FixedView(row.achHardID, kHardIdCapacity), ids)) {
            std::cerr << "tessel-udev-rule: a supported-devices row has no VID/PID pair\n";
            return 1;
        }
        if (!seen.insert(ids).second) {
            continue;
        }
        const std::string match =
            "ATTR{idVendor}==\"" + ids.first + "\", ATTR{idProduct}==\"" + ids.second + "\"";
        const std::string parent_match =
            "ATTRS{idVendor}==\"" + ids.first + "\", ATTRS{idProduct}==\"" + ids.second + "\"";
        rules += "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", " + match +
                 ", TAG+=\"uaccess\"\n";
        rules += "SUBSYSTEM==\"usbmisc\", KERNEL==\"lp[0-9]*\", " + parent_match +
                 ", TAG+=\"uaccess\"\n";
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << rules;
    out.close();
    if (!out) {
        std::cerr << "tessel-udev-rule: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
