#include "discovery/usb_discovery.h"

#include <algorithm>
#include <functional>

#include "discovery/device_globals.h"
#include "platform/services.h"
#include "platform/text.h"
#include "platform/usb_descriptors.h"
#include "platform/usb_names.h"
#include "platform/usb_printer_interfaces.h"

namespace tessel::discovery {
namespace {

using platform::CopyToFixed;
using platform::Debug;
using platform::FixedView;
using platform::PortValue;

constexpr std::size_t kInstanceIdCapacity = 512;
constexpr std::u16string_view kDot4Marker = u"#dot4#";

std::u16string_view Cut(std::u16string_view s, std::size_t capacity) {
    return s.substr(0, std::min(s.size(), capacity - 1));
}

// The port as the spooler names it, whole; empty when nothing was read.
std::u16string PortText(const PortValue& port) {
    switch (port.kind) {
        case PortValue::Kind::kNumber:
            // The value is formatted as a signed number, the way the registry's DWORD was
            // always printed into port names.
            return platform::FormatU16("USB%03d", static_cast<int>(port.number));
        case PortValue::Kind::kName:
            return port.name;
        case PortValue::Kind::kMissing:
            break;
    }
    return {};
}

// What a pass does with each supported printer it found. `current` tells whether
// SearchUSBPrint makes its device path the current device; its device_path is empty otherwise.
using MatchSink = std::function<void(FoundUsbPrinter&& printer, bool current)>;

// One pass over the present interfaces, shared by every search so the per-element steps
// exist once.
std::int32_t SearchPass(const MatchSink& sink) {
    Debug(u"SearchUSBPrint()<----");
    platform::UsbPrinterInterfaces* interfaces = platform::Current().usb;
    std::unique_ptr<platform::UsbPrinterInterfaceSet> set =
        interfaces ? interfaces->OpenPresent() : nullptr;
    if (!set) {
        return kSearchNoDeviceSet;
    }

    for (std::uint32_t index = 0; index < kMaxDeviceElements; ++index) {
        if (!set->SelectElement(index)) {
            break;
        }
        Debug(platform::FormatU16("iDevNum = %d", static_cast<int>(index)));

        const std::optional<std::u16string> instanceId = set->InstanceId();
        if (!instanceId) {
            return kSearchInstanceIdFailed;
        }
        const std::u16string_view id = Cut(*instanceId, kInstanceIdCapacity);
        FoundUsbPrinter found{};
        if (!MatchSupportedDevice(found.entry, id)) {
            continue;
        }
        found.instance_id = std::u16string(id);
        found.hard_id = g_strHardID;  // the row that matched last

        if (!set->SelectFirstInterface()) {
            return kSearchNoPrinterInterface;
        }
        const std::optional<std::uint32_t> detailSize = set->InterfaceDetailSize();
        if (!detailSize) {
            return kSearchDetailSizeFailed;
        }
        const std::optional<platform::InterfaceDetail> detail =
            set->ReadInterfaceDetail(*detailSize);
        if (!detail) {
            return kSearchDetailReadFailed;
        }
        // A printer reached through its USB device node is listed only when its descriptors
        // show the printer interface the tool knows; FindUnusablePrinters names the others.
        if (detail->transport == platform::DeviceTransport::kUsbDevice &&
            platform::FindUsbPrinterInterface(detail->usb_descriptors,
                                              detail->active_configuration)
                    .problem != platform::DescriptorProblem::kNone) {
            continue;
        }
        found.transport = detail->transport;

        const std::u16string keyName = set->DeviceParametersName(detail->device_path);
        Debug(u"achKeyName = " + keyName + u" \r\n");
        if (std::unique_ptr<platform::DeviceParameters> parameters =
                set->OpenDeviceParameters(keyName)) {
            // A DOT4 interface gets no port and is never the device the link opens.
            const bool dot4 = detail->dot4 || platform::ConvertedDevicePath(detail->device_path)
                                                       .find(kDot4Marker) != std::u16string::npos;
            if (!dot4) {
                found.port = PortText(parameters->ReadPort());
                if (!found.port.empty()) {
                    CopyToFixed(found.entry.achUSBPort, kUsbPortCapacity, found.port);
                    Debug(u"achUSBPort = " +
                          std::u16string(FixedView(found.entry.achUSBPort, kUsbPortCapacity)) +
                          u" \r\n");
                }
                found.device_path = detail->device_path;
                sink(std::move(found), true);
                continue;
            }
        }
        sink(std::move(found), false);
    }

    set.reset();
    Debug(u"SearchUSBPrint()----->");
    return kSearchDone;
}

}  // namespace

std::int32_t SearchUSBPrint(std::vector<UsbPrinterEntry>& list) {
    return SearchPass([&list](FoundUsbPrinter&& printer, bool current) {
        if (current) {
            g_strDevicePath = std::move(printer.device_path);
        }
        list.push_back(printer.entry);
    });
}

std::int32_t SearchUSBPrinters(std::vector<FoundUsbPrinter>& list) {
    return SearchPass(
        [&list](FoundUsbPrinter&& printer, bool) { list.push_back(std::move(printer)); });
}

}  // namespace tessel::discovery
